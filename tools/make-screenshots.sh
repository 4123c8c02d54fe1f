#!/usr/bin/env bash
# Draws the README's pictures with vusk-script (the real program, headless)
# and writes them, recompressed, into OUT_DIR:
#   text-selection.png  a text with a selection made with Shift+arrows
#   hex-listing.png     a binary file as a hex listing (Ctrl+F2)
#   file-menu.png       the File menu, opened with Alt and Enter
#   find-bar.png        the find bar after a search
#   japanese.png        Shift_JIS text in the double-byte font
#   utf8-tabs.png       a UTF-8 file with tabs, accents and wide characters
#   tools/make-screenshots.sh BUILD_DIR OUT_DIR [FONT]   (`make screenshots`)
# BUILD_DIR must hold vusk-script, vusk.png and unicodefont.bin, and
# jisfont.bin (`make jisfont`) unless FONT names the font file.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR OUT_DIR}" && pwd)
mkdir -p "${2:?usage: $0 BUILD_DIR OUT_DIR}"
out=$(cd "$2" && pwd)
font=${3:-$build/jisfont.bin}
for f in "$build/vusk-script" "$font" "$build/vusk.png" "$build/unicodefont.bin"; do
  [ -f "$f" ] || { echo "$f is missing: build the project and run make jisfont" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "ImageMagick's convert is missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The driver finds the font beside itself; the pictures never depend on what
# the build folder holds besides.
cp "$build/vusk-script" "$work/"
cp "$font" "$work/jisfont.bin"
cp "$build/unicodefont.bin" "$work/"
cd "$work"

cat >sample.c <<'TEXT'
/* wc.c: counts the lines, words and bytes of standard input. */
#include <ctype.h>
#include <stdio.h>

int main(void) {
    long lines = 0, words = 0, bytes = 0;
    int c, in_word = 0;

    while ((c = getchar()) != EOF) {
        bytes++;
        if (c == '\n')
            lines++;
        if (isspace(c))
            in_word = 0;
        else if (!in_word) {
            in_word = 1;
            words++;
        }
    }
    printf("%ld %ld %ld\n", lines, words, bytes);
    return 0;
}
TEXT
sed -i 's/$/\r/' sample.c
cp "$build/vusk.png" icon.png
printf '%s\r\n' '吾輩は猫である。名前はまだ無い。' 'どこで生れたかとんと見当がつかぬ。' \
  '何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。' '' \
  'ｶﾀｶﾅ (half-width katakana) and ASCII share the rows.' | iconv -f UTF-8 -t CP932 >japanese.txt

printf '%b\r\n' '# café.tsv: tab-separated, UTF-8' 'name\tcity\tgreeting' 'Zoë\tKöln\tGrüß Gott' \
  'Ελένη\tΑθήνα\tΓειά σου' 'Дмитрий\tМосква\tПривет' '山田\t東京\tこんにちは' 'José\tSão Paulo\tOlá' \
  'e\xcc\x81 (e and U+0301)\t€ 12,50\t☺ ♥ ✓' >utf8.tsv

# Runs `lines` on FILE and keeps the last frame as OUT_DIR/NAME.
shoot() {
  local name=$1 file=$2
  shift 2
  { printf '%s\n' "$@"; echo "shot $work/$name"; } >"$name.vsk"
  ./vusk-script "$name.vsk" "$file" >"$name.log" || { cat "$name.log" >&2; exit 1; }
  # Palette PNG without dates, so that an unchanged picture stays byte-equal.
  convert "$work/$name" -strip -define png:exclude-chunks=date,time "$out/$name"
  echo "wrote $out/$name"
}

shoot text-selection.png sample.c 'key Down Down Down Down Down Down Down Down Right Right Right Right' \
  'key shift+Down shift+Down shift+Down shift+End'
shoot hex-listing.png icon.png 'key ctrl+F2' 'key Down Down Down Right Right Right Right Right Right Right'
shoot file-menu.png sample.c 'key Down Down' 'key alt Enter' 'key Down Down'
shoot find-bar.png sample.c 'key alt Right Down f' 'type in_word' 'key Enter' 'key F3'
shoot japanese.png japanese.txt 'key Down shift+End'
shoot utf8-tabs.png utf8.tsv 'key Down Down Down Down Down Right Right Right Right Right Right Right Right Right' \
  'key shift+Down shift+Right shift+Right'
