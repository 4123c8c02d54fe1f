#!/bin/sh
# Packs one Windows build's vusk.exe with its data files (jisfont.bin and
# unicodefont.bin) into a zip whose folder runs as it is unpacked (the
# program finds the fonts beside itself).
#   tools/make-win-zip.sh WIN_BUILD_DIR OUT.zip FILE...
set -eu
usage="usage: $0 WIN_BUILD_DIR OUT.zip FILE..."
win=${1:?$usage}
out=${2:?$usage}
shift 2
[ $# -gt 0 ] || { echo "$usage" >&2; exit 2; }
command -v zip >/dev/null || { echo "zip is missing (apt-get install zip)" >&2; exit 1; }
[ -f "$win/vusk.exe" ] || { echo "$win/vusk.exe is missing; run make win32" >&2; exit 1; }
for f in "$@"; do
  [ -f "$f" ] || { echo "$f is missing; build the Linux program first (make build jisfont)" >&2; exit 1; }
done
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/vusk"
cp "$win/vusk.exe" "$@" "$stage/vusk/"
case $out in /*) ;; *) out=$PWD/$out ;; esac
rm -f "$out"
(cd "$stage" && zip -q -r "$out" vusk)
echo "wrote $out"
