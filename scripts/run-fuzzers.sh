#!/usr/bin/env bash
# Runs every libFuzzer target for FUZZ_SECONDS each on its seed corpus
# (fuzz/corpus/<name>), one after the other, and prints each run's figures.
# A finding leaves its input in fuzz/crashes/ to be turned into a regression
# test; the script goes on with the other targets and fails at the end.
# FUZZ_TARGETS="render_document dump_document" runs only those.
set -uo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
mkdir -p "$here/fuzz/crashes"
status=0
ran=0
for f in "$build"/bin/fuzz_*; do
  name=$(basename "$f"); name=${name#fuzz_}
  if [ -n "${FUZZ_TARGETS:-}" ] && [[ " $FUZZ_TARGETS " != *" $name "* ]]; then continue; fi
  corpus="$here/fuzz/corpus/$name"
  if [ ! -d "$corpus" ]; then
    echo "== fuzz_$name has no seed corpus in fuzz/corpus/$name" >&2
    status=1
    continue
  fi
  work=$(mktemp -d)
  cp -r "$corpus"/. "$work"/
  echo "== fuzz_$name for ${seconds}s"
  # An input that takes more than 2 seconds in a decoder counts as a finding
  # (no picture may cost more than about a second), its input kept like a
  # crash; a whole document may take up to 20 seconds.
  timeout=20
  [[ $name == decode_* ]] && timeout=2
  # Leaks are checked input by input; at exit Qt's font caches (held by the never-ended
  # application object) would count as leaks, so that check is off.
  QT_QPA_PLATFORM=offscreen LSAN_OPTIONS="suppressions=$here/fuzz/lsan-suppressions.txt:leak_check_at_exit=0" "$f" "$work" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout="$timeout" \
    -artifact_prefix="$here/fuzz/crashes/${name}-" -print_final_stats=1 || { echo "== fuzz_$name: finding"; status=1; }
  rm -rf "$work"
  ran=$((ran + 1))
done
if [ "$ran" -eq 0 ]; then
  echo "no fuzz targets in $build/bin" >&2
  exit 1
fi
exit $status
