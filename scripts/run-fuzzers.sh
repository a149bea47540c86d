#!/usr/bin/env bash
# Runs every libFuzzer target for a while on its seed corpus (fuzz/corpus/<name>).
# A crash leaves its input in fuzz/crashes/ to be turned into a regression test.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
mkdir -p "$here/fuzz/crashes"
for f in "$build"/bin/fuzz_*; do
  name=$(basename "$f"); name=${name#fuzz_}
  corpus="$here/fuzz/corpus/$name"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "== fuzz_$name for ${seconds}s"
  QT_QPA_PLATFORM=offscreen "$f" "$work" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -artifact_prefix="$here/fuzz/crashes/${name}-" -print_final_stats=1
  rm -rf "$work"
done
