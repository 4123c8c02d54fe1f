#!/usr/bin/env bash
# Editing in the SDL2 window: typing, arrows, Backspace, Delete, Enter, undo
# and redo, Shift+arrow and mouse-drag selections, the wheel, Alt to the menu
# bar, and "Save" from the File menu by keyboard. Each picture matches the headless
# driver given the same keys, and the saved file holds the edited text with
# CR LF line ends.
#   test_sdl_editing.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)

e2e_require_x
e2e_copy_programs "$build" vusk vusk-script
e2e_document small.txt $'alpha beta gamma\r\ndelta epsilon\r\nzeta eta theta\r\n'
e2e_start_display
cd "$E2E_REAL"
e2e_start_app "$E2E_BIN/vusk" "$E2E_FILE"
wid=$(e2e_wait_window "^$E2E_FILE - Vusk\$" 30)
e2e_expect_picture "$wid" start-up

# Types "xy" after "al", deletes the last two letters of line 1 with
# Backspace and Delete, breaks the line and types "z" on the new one.
e2e_key "$wid" Right Right x y Down End BackSpace Left Delete Return z
e2e_script 'key Right Right x y Down End Backspace Left Delete Enter z'
e2e_expect_picture "$wid" typing

# Ctrl+Z takes back the "z" and the line break; Ctrl+Y and Ctrl+Shift+Z
# bring them back.
e2e_key "$wid" ctrl+z ctrl+z
e2e_script 'key ctrl+z ctrl+z'
e2e_expect_picture "$wid" undone
e2e_key "$wid" ctrl+y ctrl+shift+z
e2e_script 'key ctrl+y ctrl+shift+z'
e2e_expect_picture "$wid" redone

e2e_key "$wid" shift+Right shift+Right shift+Right shift+Down
e2e_script 'key shift+Right shift+Right shift+Right shift+Down'
e2e_expect_picture "$wid" shift-selection

# A drag from row 0, column 2 to row 2, column 8.
xdotool mousemove --window "$wid" 22 44 mousedown 1 mousemove --window "$wid" 76 76 mouseup 1
e2e_script 'down 22 44' 'move 76 76' 'up 76 76'
e2e_expect_picture "$wid" drag-selection

e2e_pointer "$wid" 500 300
xdotool click 5
e2e_script 'move 500 300' 'wheel -1'
e2e_expect_picture "$wid" wheel

# Alt alone puts the focus on the File title; Enter opens the File menu and
# its hotkey "s" saves.
e2e_key "$wid" alt
e2e_script 'key alt'
e2e_expect_picture "$wid" alt-focus
e2e_key "$wid" Return
e2e_script 'key Enter'
e2e_expect_picture "$wid" file-menu
e2e_key "$wid" s
e2e_script 'key s'
e2e_expect_picture "$wid" saved

printf 'alxypha beta gamma\r\ndelta epsil\r\nz\r\nzeta eta theta\r\n' >"$E2E_WORK/expected.txt"
e2e_expect_saved "$E2E_WORK/expected.txt"

e2e_close_app
echo "ok: edits, selections, menu focus and the saved file match the headless run"
