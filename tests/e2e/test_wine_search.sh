#!/usr/bin/env bash
# Search and directory stepping in the cross-built vusk.exe under Wine: a
# pattern typed into the find bar (Edit, Find), Enter and F3 forwards, F4
# back with ESC typed first to fold letters, then Ctrl+F4 and Ctrl+F3 through
# the folder as FindFirstFileA lists it. Each picture matches the headless
# driver given the same keys, and the title follows the files stepped to.
# Skipped when Wine or both exes (`make win32`) are missing.
#   test_wine_search.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)

e2e_require_x
. "$(dirname "$0")/wine_lib.sh"
e2e_wine_require
e2e_wine_exes
exes=("${E2E_WINE_BITS[@]}")
e2e_copy_programs "$build" vusk-script
e2e_document b.txt $'one Two two\r\n[x] {x}\r\n  ends with two\r\n'
for dir in "$E2E_REAL" "$E2E_HEADLESS"; do
  printf 'the first file\r\n' >"$dir/a.txt"
  printf 'the third file\r\n' >"$dir/c.txt"
done

e2e_start_display
e2e_wine_prefix
windows_path=$(winepath -w "$E2E_REAL/$E2E_FILE")

# Wine draws the frame inside the X window (see test_wine_window.sh).
e2e_update_crop() {
  read -r outer_width outer_height < <(e2e_window_size "$1" | tr x ' ')
  left=$(((outer_width - 1024) / 2))
  top=$((outer_height - 768 - left))
  [ "$left" -ge 0 ] && [ "$top" -ge 0 ] || return 1
  E2E_CLIENT_CROP=1024x768+$left+$top
}
for bits in "${exes[@]}"; do
  : >"$E2E_SCRIPT"
  cd "$E2E_REAL"
  e2e_start_app wine "$E2E_BIN/vusk$bits.exe" "$windows_path"
  wid=$(e2e_wait_window '^b\.txt - Vusk$' 60)
  e2e_update_crop "$wid" || e2e_fail "the window is smaller than the frame"
  E2E_KEEP_DIR=$build/e2e-failures/test_wine_search/vusk$bits

  e2e_key "$wid" alt Right Down f t w o Return F3
  e2e_script 'key alt Right Down f' 'type two' 'key Enter F3'
  e2e_expect_picture "$wid" "f3-next-match-$bits" 30
  # Typed at the field's start, ESC replaces the old pattern.
  e2e_key "$wid" Left Left Left Escape t w o F4 F4
  e2e_script 'key Left Left Left' 'type \etwo' 'key F4 F4'
  e2e_expect_picture "$wid" "f4-folded-$bits" 30

  e2e_key "$wid" ctrl+F4
  e2e_script 'key ctrl+F4'
  e2e_wait_window '^c\.txt - Vusk$' 30 >/dev/null
  e2e_expect_picture "$wid" "ctrl-f4-next-file-$bits" 30
  e2e_key "$wid" ctrl+F3 ctrl+F3
  e2e_script 'key ctrl+F3 ctrl+F3'
  e2e_wait_window '^a\.txt - Vusk$' 30 >/dev/null
  e2e_expect_picture "$wid" "ctrl-f3-back-twice-$bits" 30

  e2e_key "$wid" alt+F4
  e2e_wait_exit 30
  [ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "vusk$bits.exe ended with code $E2E_EXIT_CODE"
done
echo "ok: vusk.exe (${exes[*]}-bit) searches and steps as the headless run does"
