#!/usr/bin/env bash
# Unsaved changes in vusk.exe under Wine: typing puts a '*' in the title,
# Ctrl+S saves (the bytes checked on disk) and takes it away, as Ctrl+Z does
# after more typing; Ctrl+C puts
# CF_TEXT on the clipboard, which Wine hands to X (read back with xclip).
# Then, with a new change, Alt+F4 asks in a MessageBoxA: Cancel (Escape)
# keeps the window and the change, No (its mnemonic n) ends the program
# with exit code 0 and the file as saved. Runs the first exe this machine
# can run (64-bit, else 32-bit). Skipped when Wine, xclip or the exes
# (`make win32`) are missing.
#   test_wine_question.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
source_dir=$(cd "$2" && pwd)

e2e_require_x
. "$(dirname "$0")/wine_lib.sh"
e2e_wine_require xclip
e2e_wine_exes
exe=$E2E_BIN/vusk${E2E_WINE_BITS[0]}.exe
e2e_document small.txt $'alpha\r\nbeta\r\n'

e2e_start_display
e2e_wine_prefix
cd "$E2E_REAL"
e2e_start_app wine "$exe" "$(winepath -w "$E2E_REAL/$E2E_FILE")"
wid=$(e2e_wait_window '^small\.txt - Vusk$' 60)

e2e_key "$wid" x
e2e_wait_window '^small\.txt\* - Vusk$' 30 >/dev/null
e2e_key "$wid" ctrl+s
e2e_wait_window '^small\.txt - Vusk$' 30 >/dev/null
printf 'xalpha\r\nbeta\r\n' >"$E2E_WORK/saved.txt"
e2e_poll 30 cmp -s "$E2E_FILE" "$E2E_WORK/saved.txt" || e2e_fail "Ctrl+S saved: $(od -c "$E2E_FILE")"

# Typing after the save, then Ctrl+Z: back at the saved bytes, the '*' goes.
e2e_key "$wid" q
e2e_wait_window '^small\.txt\* - Vusk$' 30 >/dev/null
e2e_key "$wid" ctrl+z
e2e_wait_window '^small\.txt - Vusk$' 30 >/dev/null

# From column 1 to column 1 of the next line: "alpha", its line end, "b".
# Wine gives X programs the text with LF line ends.
clipboard_hex() { xclip -selection clipboard -o 2>/dev/null | od -An -tx1 | tr -d ' \n'; }
e2e_key "$wid" shift+Down ctrl+c
e2e_poll 30 sh -c "[ \"\$(xclip -selection clipboard -o 2>/dev/null | od -An -tx1 | tr -d ' \n')\" = 616c7068610a62 ]" ||
  e2e_fail "the clipboard holds $(clipboard_hex), not alpha LF b"

e2e_key "$wid" y
e2e_wait_window '^small\.txt\* - Vusk$' 30 >/dev/null
e2e_key "$wid" alt+F4
box=$(e2e_wait_window '^Vusk$' 30)
e2e_key "$box" Escape
e2e_poll 30 sh -c "! xdotool search --onlyvisible --name '^Vusk\$' >/dev/null 2>&1" || e2e_fail "the question stayed after Escape"
e2e_app_running || e2e_fail "Cancel ended the program"
e2e_wait_window '^small\.txt\* - Vusk$' 30 >/dev/null

e2e_key "$wid" alt+F4
box=$(e2e_wait_window '^Vusk$' 30)
e2e_key "$box" n
e2e_wait_exit 30
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "$(basename "$exe") ended with code $E2E_EXIT_CODE"
cmp -s "$E2E_FILE" "$E2E_WORK/saved.txt" || e2e_fail "No changed the file: $(od -c "$E2E_FILE")"
echo "ok: $(basename "$exe") under Wine: the title, Ctrl+S, Ctrl+C to the clipboard, and Cancel then No on Alt+F4"
