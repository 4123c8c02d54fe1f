#!/usr/bin/env bash
# Copy and paste in the SDL2 window: Ctrl+Insert across a CR LF line end,
# Shift+Insert at the end of the text, then Ctrl+V of text that xclip holds
# in the real X clipboard with LF line ends, which arrive as lines. Each
# picture matches the headless driver given the same keys (its clipboard
# holding the CR LF text the backend hands over), and the saved file holds
# the pastes with CR LF line ends.
#   test_sdl_transfer.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)

e2e_require_x
command -v xclip >/dev/null 2>&1 || { echo "skipped: xclip is not installed"; exit 77; }
e2e_copy_programs "$build" vusk vusk-script
e2e_document small.txt $'alpha beta\r\ngamma delta\r\n'
e2e_start_display
cd "$E2E_REAL"
e2e_start_app "$E2E_BIN/vusk" "$E2E_FILE"
wid=$(e2e_wait_window "^$E2E_FILE - Vusk\$" 30)
e2e_expect_picture "$wid" start-up

# "beta", the line end and "gamma " copied, then pasted on the last line.
e2e_key "$wid" End Left Left Left Left shift+Down ctrl+Insert ctrl+End shift+Insert
e2e_script 'key End Left Left Left Left shift+Down ctrl+Insert ctrl+End shift+Insert'
e2e_expect_picture "$wid" copy-paste

printf 'one\ntwo\n' >"$E2E_WORK/clip.txt"
xclip -selection clipboard -quiet -i "$E2E_WORK/clip.txt" >/dev/null 2>&1 &
xclip_pid=$!
e2e_poll 10 sh -c "xclip -selection clipboard -o 2>/dev/null | grep -q two" || e2e_fail "xclip holds no text"
e2e_key "$wid" ctrl+v
e2e_script 'clipboard one\r\ntwo\r\n' 'key ctrl+v'
e2e_expect_picture "$wid" clipboard
kill "$xclip_pid" 2>/dev/null || true

e2e_key "$wid" alt Return s
e2e_script 'key alt Enter s'
e2e_expect_picture "$wid" saved
printf 'alpha beta\r\ngamma delta\r\none\r\ntwo\r\nbeta\r\ngamma ' >"$E2E_WORK/expected.txt"
e2e_expect_saved "$E2E_WORK/expected.txt"

e2e_close_app
echo "ok: copy, paste and the clipboard's lines match the headless run and the saved file"
