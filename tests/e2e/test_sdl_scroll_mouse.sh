#!/usr/bin/env bash
# The SDL2 window scrolls a long document with the wheel, the UP/DN/LF/RT
# buttons and a drag of the scroll thumb, and places the cursor where a text
# row is clicked; after each step it shows the frame the headless driver
# draws for the same input.
#   test_sdl_scroll_mouse.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)

e2e_require_x
e2e_copy_programs "$build" vusk vusk-script
text=""
for i in $(seq 1 300); do
  text+="line $i:$(printf ' word%.0s' $(seq 1 $((i % 17))))"$'\r\n'
done
e2e_document long.txt "$text"
e2e_start_display
cd "$E2E_REAL"
e2e_start_app "$E2E_BIN/vusk" "$E2E_FILE"
wid=$(e2e_wait_window "^$E2E_FILE - Vusk\$" 30)
e2e_expect_picture "$wid" start-up

# Checks that the script so far leaves `field` at `value` in the headless run,
# so that each step is known to do what it is meant to.
expect_state() {
  local state value
  state=$(e2e_headless_state)
  value=$(e2e_state_field "$state" "$1")
  [ "$value" = "$2" ] || e2e_fail "after the script $(tr '\n' ';' <"$E2E_SCRIPT") $1 is $value, not $2"
}

# Three notches towards the user, one away: two lines down.
e2e_pointer "$wid" 500 300
xdotool click --repeat 3 --delay 30 5 click 4
e2e_script 'move 500 300' 'wheel -1' 'wheel -1' 'wheel -1' 'wheel 1'
expect_state top_line 2
e2e_expect_picture "$wid" wheel

# DN twice and UP once, RT twice and LF once.
for button in '1012 741' '1012 741' '1012 27' '990 759' '990 759' '10 759'; do
  # shellcheck disable=SC2086
  e2e_click "$wid" $button
  e2e_script "click $button"
done
expect_state top_line 3
expect_state left_col 1
e2e_expect_picture "$wid" buttons

# The thumb stands at y 36 + 678 * 3 / 300 = 42; dragged 300 pixels down,
# then on past the window's top edge, released there, and the pointer comes
# back. The window does not see the pointer outside it (as under Win32), so
# the thumb stays where the pointer left the window, and the next move
# inside ends the drag.
xdotool mousemove --window "$wid" 1012 50 mousedown 1 mousemove --window "$wid" 1012 350 \
  mousemove --window "$wid" 1012 -40 mouseup 1 mousemove --window "$wid" 500 300
e2e_script 'down 1012 50' 'move 1012 350' 'up 500 300'
expect_state top_line 135
e2e_expect_picture "$wid" thumb

# A click at row 5, column 10 (the view starts at column 1).
e2e_click "$wid" 94 124
e2e_script 'click 94 124'
expect_state cursor_row 5
expect_state cursor_col 10
e2e_expect_picture "$wid" click

e2e_close_app
echo "ok: wheel, scroll buttons, thumb drag and a click show the headless frames"
