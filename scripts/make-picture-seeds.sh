#!/usr/bin/env bash
# Writes the seed corpora of the picture decoders' fuzz targets
# (fuzz/corpus/decode_<format>/) with lumora-cli samples.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
QT_QPA_PLATFORM=offscreen "$build/bin/lumora-cli" samples "$tmp"
for pair in jpeg:jpg gif:gif bmp:bmp ico:ico wmf:wmf emf:emf png:png svg:svg webp:webp tiff:tif; do
  target=${pair%%:*} ext=${pair##*:}
  mkdir -p "$here/fuzz/corpus/decode_$target"
  cp "$tmp"/*."$ext" "$here/fuzz/corpus/decode_$target/"
done
