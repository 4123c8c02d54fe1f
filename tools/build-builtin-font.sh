#!/bin/sh
# Regenerates src/raster/builtin_font.cpp from the misc-fixed 8x13 font of
# xfonts-base, using BUILD_DIR/make_builtin_font.
#   tools/build-builtin-font.sh BUILD_DIR
# VUSK_FONT_DIR overrides the font directory (/usr/share/fonts/X11/misc).
set -eu
build=${1:?usage: $0 BUILD_DIR}
fonts=${VUSK_FONT_DIR:-/usr/share/fonts/X11/misc}
root=$(cd "$(dirname "$0")/.." && pwd)
command -v pcf2bdf >/dev/null || { echo "pcf2bdf is missing (apt-get install pcf2bdf)" >&2; exit 1; }
[ -f "$fonts/8x13.pcf.gz" ] || { echo "$fonts/8x13.pcf.gz is missing (apt-get install xfonts-base)" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pcf2bdf -o "$tmp/8x13.bdf" "$fonts/8x13.pcf.gz"
"$build/make_builtin_font" "$tmp/8x13.bdf" "$root/src/raster/builtin_font.cpp"
