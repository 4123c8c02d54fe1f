#!/bin/sh
# Builds BUILD_DIR/jisfont.bin (or OUT), the 16x15 double-byte font, from the
# k14 font of xfonts-base and shnmk14 of xfonts-shinonome, using
# BUILD_DIR/make_jisfont.
#   tools/build-jisfont.sh BUILD_DIR [OUT]
# VUSK_FONT_DIR overrides the font directory (/usr/share/fonts/X11/misc).
set -eu
build=${1:?usage: $0 BUILD_DIR [OUT]}
out=${2:-$build/jisfont.bin}
fonts=${VUSK_FONT_DIR:-/usr/share/fonts/X11/misc}
command -v pcf2bdf >/dev/null || { echo "pcf2bdf is missing (apt-get install pcf2bdf)" >&2; exit 1; }
for f in k14 shnmk14; do
  [ -f "$fonts/$f.pcf.gz" ] || { echo "$fonts/$f.pcf.gz is missing (apt-get install xfonts-base xfonts-shinonome)" >&2; exit 1; }
done
[ -x "$build/make_jisfont" ] || { echo "$build/make_jisfont is missing; build the project first" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pcf2bdf -o "$tmp/k14.bdf" "$fonts/k14.pcf.gz"
pcf2bdf -o "$tmp/shnmk14.bdf" "$fonts/shnmk14.pcf.gz"
# Written beside the final name and moved into place, so that a failed run
# never leaves a short font behind.
"$build/make_jisfont" "$tmp/k14.bdf" "$tmp/shnmk14.bdf" "$tmp/jisfont.bin"
mv "$tmp/jisfont.bin" "$out"
echo "wrote $out"
