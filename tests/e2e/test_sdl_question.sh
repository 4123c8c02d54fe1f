#!/usr/bin/env bash
# Unsaved changes in the SDL2 window: typing puts a '*' in the title, Ctrl+S
# saves (the bytes checked on disk) and takes it away, and so does Ctrl+Z
# after more typing; Ctrl+C puts the text
# on the X clipboard as UTF-8 with LF line ends (read back with xclip). The
# file rewritten by the test: Ctrl+S asks, No keeps it, Yes saves. Then,
# with a new change, a close request asks: Cancel keeps the window and the
# change, No ends the program with exit code 0 and the file as saved.
#   test_sdl_question.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)

e2e_require_x
command -v xclip >/dev/null 2>&1 || { echo "skipped: xclip is not installed"; exit 77; }
e2e_copy_programs "$build" vusk
e2e_document small.txt $'alpha\r\nbeta\r\n'
e2e_start_display
cd "$E2E_REAL"
e2e_start_app "$E2E_BIN/vusk" "$E2E_FILE"
wid=$(e2e_wait_window '^small\.txt - Vusk$' 30)

e2e_key "$wid" x
e2e_wait_window '^small\.txt\* - Vusk$' >/dev/null
e2e_key "$wid" ctrl+s
e2e_wait_window '^small\.txt - Vusk$' >/dev/null
printf 'xalpha\r\nbeta\r\n' >"$E2E_WORK/saved.txt"
e2e_poll 10 cmp -s "$E2E_FILE" "$E2E_WORK/saved.txt" || e2e_fail "Ctrl+S saved: $(od -c "$E2E_FILE")"

# Typing after the save, then Ctrl+Z: back at the saved bytes, the '*' goes.
e2e_key "$wid" q
e2e_wait_window '^small\.txt\* - Vusk$' >/dev/null
e2e_key "$wid" ctrl+z
e2e_wait_window '^small\.txt - Vusk$' >/dev/null

# From column 1 to column 1 of the next line: "alpha", its line end, "b".
clipboard_hex() { xclip -selection clipboard -o 2>/dev/null | od -An -tx1 | tr -d ' \n'; }
e2e_key "$wid" shift+Down ctrl+c
e2e_poll 10 sh -c "[ \"\$(xclip -selection clipboard -o 2>/dev/null | od -An -tx1 | tr -d ' \n')\" = 616c7068610a62 ]" ||
  e2e_fail "the clipboard holds $(clipboard_hex), not alpha LF b"

e2e_key "$wid" y
e2e_wait_window '^small\.txt\* - Vusk$' >/dev/null

# Another program rewrites the file: Ctrl+S asks first. Escape answers No
# and keeps their text; Return answers Yes and saves ours over it.
printf 'theirs\r\n' >"$E2E_WORK/theirs.txt"
cp "$E2E_WORK/theirs.txt" "$E2E_FILE"
e2e_key "$wid" ctrl+s
box=$(e2e_wait_box Vusk)
xdotool key --window "$box" Escape
e2e_poll 10 sh -c "! xwininfo -id $box >/dev/null 2>&1" || e2e_fail "the changed-file question stayed after Escape"
cmp -s "$E2E_FILE" "$E2E_WORK/theirs.txt" || e2e_fail "No overwrote the other program's text: $(od -c "$E2E_FILE")"
e2e_wait_window '^small\.txt\* - Vusk$' >/dev/null
e2e_key "$wid" ctrl+s
box=$(e2e_wait_box Vusk)
xdotool windowfocus "$box"
xdotool key Return
e2e_wait_window '^small\.txt - Vusk$' >/dev/null
printf 'xalpha\r\nbyeta\r\n' >"$E2E_WORK/saved.txt"
e2e_poll 10 cmp -s "$E2E_FILE" "$E2E_WORK/saved.txt" || e2e_fail "Yes saved: $(od -c "$E2E_FILE")"

# The question box is SDL's own; Escape answers Cancel.
e2e_key "$wid" v
e2e_wait_window '^small\.txt\* - Vusk$' >/dev/null
kill -TERM "$E2E_APP_PID"
box=$(e2e_wait_box Vusk)
xdotool key --window "$box" Escape
e2e_poll 10 sh -c "! xwininfo -id $box >/dev/null 2>&1" || e2e_fail "the question box stayed after Escape"
e2e_app_running || e2e_fail "Cancel ended the program"
e2e_wait_window '^small\.txt\* - Vusk$' >/dev/null

# No is the middle one of the three buttons, on the box's lower part.
kill -TERM "$E2E_APP_PID"
box=$(e2e_wait_box Vusk)
read -r box_width box_height < <(xwininfo -id "$box" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
xdotool mousemove --window "$box" $((box_width / 2)) $((box_height * 72 / 100)) click 1
e2e_wait_exit 10
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "the program ended with code $E2E_EXIT_CODE"
cmp -s "$E2E_FILE" "$E2E_WORK/saved.txt" || e2e_fail "No changed the file: $(od -c "$E2E_FILE")"
echo "ok: the title, Ctrl+S, Ctrl+C to the X clipboard, a file changed meanwhile, and Cancel then No on closing"
