#!/usr/bin/env bash
# Search and directory stepping in the SDL2 window: a pattern typed into the
# find bar (Edit, Find), Enter and F3 forwards, F4 back, ESC typed first to
# fold letters; then Ctrl+F4 and Ctrl+F3 through the folder. Each picture
# matches the headless driver given the same keys, and the window's title
# follows the files stepped to.
#   test_sdl_search.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)

e2e_require_x
e2e_copy_programs "$build" vusk vusk-script
e2e_document b.txt $'one Two two\r\n[x] {x}\r\n  ends with two\r\n'
# The same neighbours in both working folders, so that both list alike.
for dir in "$E2E_REAL" "$E2E_HEADLESS"; do
  printf 'the first file\r\n' >"$dir/a.txt"
  printf 'the third file\r\n' >"$dir/c.txt"
done
e2e_start_display
cd "$E2E_REAL"
e2e_start_app "$E2E_BIN/vusk" "$E2E_FILE"
wid=$(e2e_wait_window '^b\.txt - Vusk$' 30)

e2e_key "$wid" alt Right Down f t w o Return
e2e_script 'key alt Right Down f' 'type two' 'key Enter'
e2e_expect_picture "$wid" enter-searches
e2e_key "$wid" F3
e2e_script 'key F3'
e2e_expect_picture "$wid" f3-next-match

# A click clears the field; with ESC first, F4 walks back from the last
# "two" over the first one to "Two".
e2e_click "$wid" 100 80
e2e_key "$wid" Escape t w o F4 F4
e2e_script 'click 100 80' 'type \etwo' 'key F4 F4'
e2e_expect_picture "$wid" f4-folded

e2e_key "$wid" ctrl+F4
e2e_script 'key ctrl+F4'
e2e_wait_window '^c\.txt - Vusk$' 10 >/dev/null
e2e_expect_picture "$wid" ctrl-f4-next-file
e2e_key "$wid" ctrl+F3 ctrl+F3
e2e_script 'key ctrl+F3 ctrl+F3'
e2e_wait_window '^a\.txt - Vusk$' 10 >/dev/null
e2e_expect_picture "$wid" ctrl-f3-back-twice

e2e_close_app
echo "ok: searches and steps in the window match the headless run"
