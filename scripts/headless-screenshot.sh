#!/usr/bin/env bash
# Runs the editor on a virtual screen, waits until its untitled (or given)
# document shows, saves a picture of the screen to build/screenshot.png and
# exits. Used by `make run` when there is no display.
set -euo pipefail
build=${1:-build}
file=${2:-}
out="$build/screenshot.png"
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "xvfb-run is missing (package xvfb); run 'make deps' first." >&2
  exit 1
fi
rm -f "$out"
# A private instance name keeps this run from handing its file to an editor
# that is already open on a real display.
export LUMORA_INSTANCE_NAME="lumora-screenshot-$$"
args=(--screenshot "$out")
[ -n "$file" ] && args+=("$file")
timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$build/bin/lumora" "${args[@]}"
if [ ! -s "$out" ]; then
  echo "No screenshot was written." >&2
  exit 1
fi
echo "The editor ran on a virtual screen; its picture is in $out"
