#!/usr/bin/env bash
# The README's pictures in docs/ are what the program draws now: they are
# drawn again with this build's vusk-script (and a font built afresh) and
# compared pixel by pixel. After a change of the look, `make screenshots`
# brings them up to date. Skipped when ImageMagick or the fonts are missing.
#   test_screenshots.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
for tool in convert compare pcf2bdf iconv; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$source_dir/tools/build-jisfont.sh" "$build" "$work/jisfont.bin" >"$work/font.log" 2>&1 ||
  { echo "skipped: the font cannot be built: $(cat "$work/font.log")"; exit 77; }
"$source_dir/tools/make-screenshots.sh" "$build" "$work/shots" "$work/jisfont.bin" >/dev/null
stale=()
for committed in "$source_dir"/docs/*.png; do
  name=$(basename "$committed")
  [ -f "$work/shots/$name" ] || { echo "FAIL: docs/$name is no longer drawn by tools/make-screenshots.sh" >&2; exit 1; }
done
for drawn in "$work"/shots/*.png; do
  name=$(basename "$drawn")
  differing=$(compare -metric AE "$drawn" "$source_dir/docs/$name" null: 2>&1 || true)
  [ "$differing" = 0 ] || stale+=("$name ($differing pixels)")
done
[ ${#stale[@]} -eq 0 ] || { echo "FAIL: stale pictures, run make screenshots: ${stale[*]}" >&2; exit 1; }
echo "ok: the $(ls "$work"/shots | wc -l) pictures in docs/ are current"
