#!/usr/bin/env bash
# Runs every benchmark program of a build tree and prints its figures.
set -euo pipefail
build=${1:-build}
shopt -s nullglob
status=0
for b in "$build"/bin/bench_*; do
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$b" ${BENCH_ARGS:-} || status=1
done
exit $status
