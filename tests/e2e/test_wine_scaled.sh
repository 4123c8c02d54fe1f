#!/usr/bin/env bash
# vusk.exe (64-bit) under Wine with the screen set to 192 DPI: the program
# picks factor 2 from the density itself, its client area is 2048x1536 and
# shows each pixel of the headless frame as a 2x2 square, and a click made
# in display pixels lands on the frame pixel it covers. The exe runs from
# its unpacked zip, when `make win32` made one, and draws the document's
# Japanese line with the font from beside it. Given VUSK_SCALE=2 on a
# smaller screen, the frame shrinks to fit it. Skipped when Wine or the exe
# is missing.
#   test_wine_scaled.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)

e2e_require_x
. "$(dirname "$0")/wine_lib.sh"
e2e_wine_require
e2e_wine_exes
e2e_copy_programs "$build" vusk-script
e2e_document small.txt "Hello world"$'\r\nsecond line\r\n'"$(printf '日本語の行' | iconv -f UTF-8 -t CP932)"$'\r\n'
E2E_SCREEN=2400x1800x24 e2e_start_display
e2e_wine_prefix
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1 ||
  e2e_fail "cannot set the screen's density"
wineserver -w

bits=${E2E_WINE_BITS[0]}
exe=$E2E_BIN/vusk$bits.exe
zip=$source_dir/build-win$bits/vusk-win$bits.zip
if [ -f "$zip" ] && command -v unzip >/dev/null; then
  unzip -q "$zip" -d "$E2E_WORK/unpacked" || e2e_fail "cannot unpack $zip"
  exe=$E2E_WORK/unpacked/vusk/vusk.exe
  # The headless run draws with the same fonts.
  cp "$E2E_WORK/unpacked/vusk/"*.bin "$E2E_HEADLESS_BIN/"
  echo "running vusk.exe from $(basename "$zip")"
fi
cd "$E2E_REAL"
e2e_start_app wine "$exe" "$(winepath -w "$E2E_REAL/$E2E_FILE")"
wid=$(e2e_wait_window '^small\.txt - Vusk$' 60)

# The client area, 2048x1536, inside the frame Wine draws (see test_wine_window.sh).
e2e_update_crop() {
  read -r outer_width outer_height < <(e2e_window_size "$1" | tr x ' ')
  left=$(((outer_width - 2048) / 2))
  top=$((outer_height - 1536 - left))
  [ "$left" -ge 0 ] && [ "$top" -ge 0 ] || return 1
  E2E_CLIENT_CROP=2048x1536+$left+$top
}

e2e_expect_scaled_picture "$wid" start-up 2
# Row 1, column 10: frame pixel (94, 60), display pixel (189, 121).
e2e_update_crop "$wid"
xdotool mousemove --window "$wid" $((left + 189)) $((top + 121)) click 1
e2e_script 'click 94 60'
e2e_key "$wid" x
e2e_script 'type x'
e2e_expect_scaled_picture "$wid" click 2

# Undone, the typing leaves no change behind, so closing asks nothing.
e2e_key "$wid" ctrl+z
e2e_wait_window '^small\.txt - Vusk$' 30 >/dev/null
e2e_key "$wid" alt+F4
e2e_wait_exit 30
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "vusk$bits.exe ended with code $E2E_EXIT_CODE"

# VUSK_SCALE=2 on a 1280x1024 screen: the factor stays (the window is wider
# than a 1:1 one) and the frame shrinks until the window lies on the screen.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
E2E_SCREEN=1280x1024x24 e2e_start_display
VUSK_SCALE=2 e2e_start_app wine "$exe" "$(winepath -w "$E2E_REAL/$E2E_FILE")"
wid=$(e2e_wait_window '^small\.txt - Vusk$' 60)
read -r x y < <(xdotool getwindowgeometry "$wid" | sed -n 's/^ *Position: \([0-9-]*\),\([0-9-]*\) .*/\1 \2/p')
read -r w h < <(e2e_window_size "$wid" | tr x ' ')
if [ "$x" -lt 0 ] || [ "$y" -lt 0 ] || [ $((x + w)) -gt 1280 ] || [ $((y + h)) -gt 1024 ] || [ "$w" -le 1100 ]; then
  e2e_fail "at VUSK_SCALE=2 on a 1280x1024 screen the window is ${w}x$h at $x,$y"
fi
e2e_key "$wid" alt+F4
e2e_wait_exit 30
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "vusk$bits.exe ended with code $E2E_EXIT_CODE"
echo "ok: at 192 DPI vusk$bits.exe under Wine doubles its frame pixel for pixel and divides the pointer's position;" \
  "at VUSK_SCALE=2 on a small screen its frame shrinks to fit"
