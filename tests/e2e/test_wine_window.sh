#!/usr/bin/env bash
# The cross-built vusk.exe (64-bit, then 32-bit) under Wine: its window is
# titled by its document, its client area shows exactly the headless frame for
# the same document, before and after a few keys, the wheel, a click and a
# save from the File menu, the file saved has CR LF line ends, dragging the
# frame's corner cannot make the window smaller than the least frame, and
# Alt+F4 closes the window with exit code 0. Both
# runs share one fresh Wine prefix. Skipped when Wine or both exes
# (`make win32`) are missing.
#   test_wine_window.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)

e2e_require_x
. "$(dirname "$0")/wine_lib.sh"
e2e_wine_require
e2e_wine_exes
exes=("${E2E_WINE_BITS[@]}")
e2e_copy_programs "$build" vusk-script
e2e_document small.txt $'Hello world\r\nsecond line\r\n\tthird, after a tab\r\n'

e2e_start_display
e2e_wine_prefix

printf 'Hello world\r\nsecond linexyz\r\n        q\r\n\tthird, after a tab\r\n' >"$E2E_WORK/expected.txt"
windows_path=$(winepath -w "$E2E_REAL/$E2E_FILE")

# Wine draws the frame inside the X window: the borders left, right and below
# are equally wide, and the caption adds the rest on top. The program resizes
# its window once after it appears (so that the client area is exactly the
# frame), so the crop of the client_width x client_height client area is
# worked out again for every screenshot.
e2e_update_crop() {
  read -r outer_width outer_height < <(e2e_window_size "$1" | tr x ' ')
  left=$(((outer_width - client_width) / 2))
  top=$((outer_height - client_height - left))
  [ "$left" -ge 0 ] && [ "$top" -ge 0 ] || return 1
  E2E_CLIENT_CROP=${client_width}x${client_height}+$left+$top
}
for bits in "${exes[@]}"; do
  : >"$E2E_SCRIPT"
  client_width=1024 client_height=768
  cp "$E2E_WORK/pristine-$E2E_FILE" "$E2E_REAL/$E2E_FILE"
  cd "$E2E_REAL"
  echo "vusk$bits.exe $windows_path"
  e2e_start_app wine "$E2E_BIN/vusk$bits.exe" "$windows_path"
  # A 32-bit exe that Wine cannot start (no wine32) ends at once with code 0:
  # only the window counts as a sign of life.
  wid=$(e2e_wait_window '^small\.txt - Vusk$' 60)
  e2e_update_crop "$wid" || e2e_fail "the window ${outer_width}x${outer_height} is smaller than the frame"
  echo "vusk$bits.exe: window ${outer_width}x${outer_height}, client area at ($left,$top)"
  E2E_KEEP_DIR=$build/e2e-failures/test_wine_window/vusk$bits
  e2e_expect_picture "$wid" "start-up-$bits" 30

  e2e_key "$wid" Down End x y z Return Tab q
  e2e_script 'key Down End x y z Enter Tab q'
  e2e_expect_picture "$wid" "typed-$bits" 30

  # Ctrl+Z takes back the "q" and the Tab; Ctrl+Y and Ctrl+Shift+Z redo them.
  e2e_key "$wid" ctrl+z ctrl+z
  e2e_script 'key ctrl+z ctrl+z'
  e2e_expect_picture "$wid" "undone-$bits" 30
  e2e_key "$wid" ctrl+y ctrl+shift+z
  e2e_script 'key ctrl+y ctrl+shift+z'
  e2e_expect_picture "$wid" "redone-$bits" 30

  # The wheel scrolls one line; a click places the cursor (row 1, column 10).
  # Positions in the X window are offset by the frame Wine draws.
  e2e_update_crop "$wid"
  xdotool mousemove --window "$wid" $((left + 500)) $((top + 300)) click 5
  e2e_script 'move 500 300' 'wheel -1'
  e2e_expect_picture "$wid" "wheel-$bits" 30
  xdotool mousemove --window "$wid" $((left + 94)) $((top + 60)) click 1
  e2e_script 'click 94 60'
  e2e_expect_picture "$wid" "click-$bits" 30

  # Alt, Enter and the hotkey "s": File, Save.
  e2e_key "$wid" alt Return s
  e2e_script 'key alt Enter s'
  e2e_expect_picture "$wid" "saved-$bits" 30
  cmp -s "$E2E_REAL/$E2E_FILE" "$E2E_WORK/expected.txt" ||
    e2e_fail "vusk$bits.exe saved: $(od -c "$E2E_REAL/$E2E_FILE" | head -20)"

  # The frame's bottom-right corner dragged far up and left: the window stops
  # at the least frame and the frame's own extras.
  e2e_update_crop "$wid"
  least=$((624 + outer_width - 1024))x$((288 + outer_height - 768))
  xdotool mousemove --window "$wid" $((outer_width - 2)) $((outer_height - 2)) sleep 0.2 mousedown 1 sleep 0.2 \
    mousemove --window "$wid" 700 500 sleep 0.2 mousemove --window "$wid" 300 200 sleep 0.2 mouseup 1
  e2e_poll 30 sh -c "xdotool getwindowgeometry $wid | grep -q 'Geometry: $least\$'" ||
    e2e_fail "vusk$bits.exe: dragged to 300x200, the window is $(e2e_window_size "$wid"), not $least"
  client_width=624 client_height=288
  e2e_script 'resize 624 288'
  e2e_expect_picture "$wid" "least-size-$bits" 30

  e2e_key "$wid" alt+F4
  e2e_wait_exit 30
  [ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "vusk$bits.exe ended with code $E2E_EXIT_CODE"
  echo "vusk$bits.exe: closed with code 0"
done
echo "ok: vusk.exe (${exes[*]}-bit) under Wine shows the headless frames and closes with code 0"
