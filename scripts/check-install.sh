#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the installed desktop
# files with the desktop's own validators (each only where it is installed).
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
DESTDIR= cmake --install "$build" --prefix "$prefix" >/dev/null
share="$prefix/share"
id=com.velantis.Lumora
for f in "$prefix/bin/lumora" "$prefix/bin/lumora-cli" "$share/applications/$id.desktop" \
         "$share/mime/packages/$id.xml" "$share/metainfo/$id.metainfo.xml" "$share/man/man1/lumora-cli.1" \
         "$share/icons/hicolor/scalable/apps/$id.svg" "$share/icons/hicolor/512x512/apps/$id.png" \
         "$share/icons/hicolor/16x16/mimetypes/application-x-lumora.png"; do
  [ -e "$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$share/applications/$id.desktop")
  [ -z "$out" ] || { echo "$out" >&2; exit 1; }
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null
fi
if command -v xmllint >/dev/null; then
  xmllint --noout "$share/mime/packages/$id.xml"
fi
# The MIME database of the prefix knows the type (updated by the install
# itself, since DESTDIR was empty).
[ ! -x "$(command -v update-mime-database)" ] || grep -q "application/x-lumora:\*\.lmra" "$share/mime/globs"
if command -v man >/dev/null; then
  MANWIDTH=80 man -l "$share/man/man1/lumora-cli.1" >/dev/null 2>&1
fi
echo "installed and validated in $prefix"
