#!/usr/bin/env bash
# Copy and paste in vusk.exe under Wine: Ctrl+Insert across a CR LF line
# end, Shift+Insert at the end of the text (through the transfer file beside
# the exe), then Ctrl+V of text that xclip holds in the X clipboard with LF
# line ends, which Wine hands over as CF_TEXT lines. Each picture matches the
# headless frame, and the saved file holds the pastes with CR LF line ends.
# Runs the first exe this machine can run (64-bit, else 32-bit). Skipped
# when Wine, xclip or the exes (`make win32`) are missing.
#   test_wine_transfer.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)

e2e_require_x
. "$(dirname "$0")/wine_lib.sh"
e2e_wine_require xclip
e2e_wine_exes
exe=$E2E_BIN/vusk${E2E_WINE_BITS[0]}.exe
e2e_copy_programs "$build" vusk-script
e2e_document small.txt $'alpha beta\r\ngamma delta\r\n'

e2e_start_display
e2e_wine_prefix

# The client area lies inside the frame Wine draws (see test_wine_window.sh).
client_width=1024 client_height=768
e2e_update_crop() {
  read -r outer_width outer_height < <(e2e_window_size "$1" | tr x ' ')
  left=$(((outer_width - client_width) / 2))
  top=$((outer_height - client_height - left))
  [ "$left" -ge 0 ] && [ "$top" -ge 0 ] || return 1
  E2E_CLIENT_CROP=${client_width}x${client_height}+$left+$top
}
cd "$E2E_REAL"
e2e_start_app wine "$exe" "$(winepath -w "$E2E_REAL/$E2E_FILE")"
wid=$(e2e_wait_window '^small\.txt - Vusk$' 60)
e2e_expect_picture "$wid" start-up 30

e2e_key "$wid" End Left Left Left Left shift+Down ctrl+Insert ctrl+End shift+Insert
e2e_script 'key End Left Left Left Left shift+Down ctrl+Insert ctrl+End shift+Insert'
e2e_expect_picture "$wid" copy-paste 30
[ "$(od -An -tx1 "$E2E_BIN/VUSK.TMP" | tr -d ' \n')" = 626574610a0067616d6d6120 ] ||
  e2e_fail "VUSK.TMP beside the exe holds: $(od -c "$E2E_BIN/VUSK.TMP")"

printf 'one\ntwo\n' >"$E2E_WORK/clip.txt"
xclip -selection clipboard -quiet -i "$E2E_WORK/clip.txt" >/dev/null 2>&1 &
xclip_pid=$!
e2e_poll 10 sh -c "xclip -selection clipboard -o 2>/dev/null | grep -q two" || e2e_fail "xclip holds no text"
e2e_key "$wid" ctrl+v
e2e_script 'clipboard one\r\ntwo\r\n' 'key ctrl+v'
e2e_expect_picture "$wid" clipboard 30
kill "$xclip_pid" 2>/dev/null || true

e2e_key "$wid" alt Return s
e2e_script 'key alt Enter s'
e2e_expect_picture "$wid" saved 30
printf 'alpha beta\r\ngamma delta\r\none\r\ntwo\r\nbeta\r\ngamma ' >"$E2E_WORK/expected.txt"
cmp -s "$E2E_REAL/$E2E_FILE" "$E2E_WORK/expected.txt" || e2e_fail "saved: $(od -c "$E2E_REAL/$E2E_FILE" | head -20)"

e2e_key "$wid" alt+F4
e2e_wait_exit 30
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "$(basename "$exe") ended with code $E2E_EXIT_CODE"
echo "ok: $(basename "$exe") under Wine copies, pastes and pastes the clipboard's lines as headless"
