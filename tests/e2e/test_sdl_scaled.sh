#!/usr/bin/env bash
# At VUSK_SCALE=2 the SDL2 window is twice the frame's size each way and
# shows every frame pixel as a 2x2 square of the frame that the headless
# driver draws; a click on a text row and a drag of the scroll thumb, made
# in display pixels, act at the frame pixels they cover. On a screen too
# small for that, the frame shrinks so that the window fits.
#   test_sdl_scaled.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)

e2e_require_x
e2e_copy_programs "$build" vusk vusk-script
text=""
for i in $(seq 1 200); do
  text+="line $i:$(printf ' word%.0s' $(seq 1 $((i % 13))))"$'\r\n'
done
e2e_document long.txt "$text"
E2E_SCREEN=2200x1700x24 e2e_start_display
cd "$E2E_REAL"
VUSK_SCALE=2 e2e_start_app "$E2E_BIN/vusk" "$E2E_FILE"
wid=$(e2e_wait_window "^$E2E_FILE - Vusk\$" 30)
size=$(e2e_window_size "$wid")
[ "$size" = 2048x1536 ] || e2e_fail "the window is $size, not 2048x1536"

expect_state() {
  local value
  value=$(e2e_state_field "$(e2e_headless_state)" "$1")
  [ "$value" = "$2" ] || e2e_fail "after the script $(tr '\n' ';' <"$E2E_SCRIPT") $1 is $value, not $2"
}

e2e_expect_scaled_picture "$wid" start-up 2
# Pixel (20, 40) of the frame is the top-left of a 2x2 square at (40, 80).
e2e_screenshot "$wid" "$E2E_WORK/square.png"
corner=$(e2e_pixel "$E2E_WORK/square.png" 40 80)
for xy in "41 80" "40 81" "41 81"; do
  # shellcheck disable=SC2086
  [ "$(e2e_pixel "$E2E_WORK/square.png" $xy)" = "$corner" ] || e2e_fail "pixel $xy differs from (40, 80)"
done

# Row 5, column 10: frame pixel (94, 124), display pixel (189, 249).
e2e_click "$wid" 189 249
e2e_script 'click 94 124'
expect_state cursor_row 5
expect_state cursor_col 10
e2e_expect_scaled_picture "$wid" click 2

# The thumb (frame x 1002..1023, y 36..53) dragged 300 frame pixels down.
xdotool mousemove --window "$wid" 2025 81 mousedown 1 mousemove --window "$wid" 2025 381 \
  mousemove --window "$wid" 2025 681 mouseup 1
e2e_script 'down 1012 40' 'move 1012 190' 'move 1012 340' 'up 1012 340'
expect_state top_line 88
e2e_expect_scaled_picture "$wid" thumb 2

e2e_close_app

# On a screen too small for the doubled 1024x768 frame the factor stays, and
# the frame shrinks until the window fits: all of it, bars included, on the
# screen.
E2E_SCREEN=1280x1024x24 e2e_start_display
VUSK_SCALE=2 e2e_start_app "$E2E_BIN/vusk" "$E2E_FILE"
wid=$(e2e_wait_window "^$E2E_FILE - Vusk\$" 30)
place=$(xdotool getwindowgeometry "$wid" | sed -n 's/^ *Position: \([^ ]*\) .*/\1/p')
[ "$(e2e_window_size "$wid")" = 1280x1024 ] && [ "$place" = 0,0 ] ||
  e2e_fail "on a 1280x1024 screen the window is $(e2e_window_size "$wid") at $place, not 1280x1024 at 0,0"
: >"$E2E_SCRIPT"
e2e_script 'resize 640 512'
e2e_expect_scaled_picture "$wid" fitted 2
e2e_close_app
echo "ok: at factor 2 the window is doubled pixel for pixel, and a click and a thumb drag land where they should;" \
  "on a smaller screen the frame shrinks to fit"
