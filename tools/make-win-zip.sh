#!/bin/sh
# Packs one Windows build's vusk.exe with jisfont.bin into a zip whose folder
# runs as it is unpacked (the program finds the font beside itself).
#   tools/make-win-zip.sh WIN_BUILD_DIR FONT OUT.zip
set -eu
win=${1:?usage: $0 WIN_BUILD_DIR FONT OUT.zip}
font=${2:?usage: $0 WIN_BUILD_DIR FONT OUT.zip}
out=${3:?usage: $0 WIN_BUILD_DIR FONT OUT.zip}
command -v zip >/dev/null || { echo "zip is missing (apt-get install zip)" >&2; exit 1; }
[ -f "$win/vusk.exe" ] || { echo "$win/vusk.exe is missing; run make win32" >&2; exit 1; }
[ -f "$font" ] || { echo "$font is missing; run make jisfont" >&2; exit 1; }
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/vusk"
cp "$win/vusk.exe" "$font" "$stage/vusk/"
case $out in /*) ;; *) out=$PWD/$out ;; esac
rm -f "$out"
(cd "$stage" && zip -q -r "$out" vusk)
echo "wrote $out"
