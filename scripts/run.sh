#!/usr/bin/env bash
# `make run`: starts the editor. Without a display it runs the editor under
# Xvfb, saves a screenshot to build/screenshot.png and exits. Until the editor
# exists, it shows the command-line tool's summary of an example document.
set -euo pipefail
build=${1:-build}
file=${2:-}
if [ ! -x "$build/bin/lumora" ]; then
  example=${file:-examples/shapes.lmra}
  echo "The editor window is not built yet; here is lumora-cli on $example:"
  exec "$build/bin/lumora-cli" info "$example"
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/lumora" ${file:+"$file"}
fi
exec bash "$(dirname "$0")/headless-screenshot.sh" "$build" "$file"
