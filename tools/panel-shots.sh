#!/usr/bin/env bash
# Renders every panel of the program through vusk-script, at 1024x768 and at
# the least frame (624x288), without and with the double-byte font, as PNG
# files for a look over the whole user interface:
#   tools/panel-shots.sh BUILD_DIR OUT_DIR
# BUILD_DIR holds vusk-script (and jisfont.bin for the "jis" pictures: make
# jisfont). Pictures are named PANEL-WxH-FONT.png; the transcripts beside
# them (PANEL-WxH-FONT.txt) hold the message boxes and status messages.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR OUT_DIR}" && pwd)
mkdir -p "${2:?usage: $0 BUILD_DIR OUT_DIR}"
out=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A copy of vusk-script per font: it reads jisfont.bin from its own folder.
mkdir -p "$work/plain" "$work/jis"
cp "$build/vusk-script" "$work/plain/"
cp "$build/vusk-script" "$work/jis/"
fonts=(plain)
if [ -f "$build/jisfont.bin" ]; then
  cp "$build/jisfont.bin" "$work/jis/"
  fonts+=(jis)
else
  echo "no $build/jisfont.bin (make jisfont): pictures without the double-byte font only"
fi

# The document: ASCII, half-width katakana and Shift_JIS kanji and kana, a
# tab, a line longer than the least frame, and enough lines to scroll.
{
  printf 'Vusk panels: plain ASCII text, then a tab:\there.\r\n'
  printf 'Half-width katakana: \xb1\xb2\xb3\xb4\xb5  Shift_JIS: \x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67\r\n'
  printf '%s\r\n' "A line longer than the least window: $(printf 'word%.0s ' $(seq 1 30))"
  for i in $(seq 4 80); do printf 'line %d of the document\r\n' "$i"; done
} >"$work/doc.txt"

# Panel name, then the script lines that show it (after the resize).
panels=(
  "main|key Down shift+Right shift+Right shift+Right shift+Down"
  "file-menu|key alt Enter"
  "edit-menu|key alt Right Enter"
  "view-menu|key alt Right Right Enter"
  "about-box|key alt Right Right Enter a"
  "find-bar|key alt Right Enter f|type Shift"
  "not-found|key alt Right Enter f|type zzz|key Enter"
  "replace-bar|key ctrl+h|type Shift|key Tab|type pin"
  "go-to-bar|key ctrl+g|type 12"
  "hex-listing|key ctrl+F2"
  "white-on-black|key shift+Down shift+End alt Right Right Enter w minus"
  "black-on-white|key shift+Down shift+End alt Right Right Enter b minus"
  "scrolled|key ctrl+End Up Up Up"
  "error-box|answer open missing.txt|key alt Enter o"
  "path-prompt|dialog-none|key alt Enter a"
)

for font in "${fonts[@]}"; do
  for size in 1024x768 624x288; do
    for entry in "${panels[@]}"; do
      name=${entry%%|*}
      script=$work/$name.vsk
      { echo "resize ${size%x*} ${size#*x}"; echo "${entry#*|}" | tr '|' '\n'; echo "shot $out/$name-$size-$font.png"; } >"$script"
      (cd "$work" && "$work/$font/vusk-script" "$script" doc.txt >"$out/$name-$size-$font.txt")
    done
  done
done
echo "wrote $(ls "$out"/*.png | wc -l) pictures into $out"
