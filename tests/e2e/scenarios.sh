# The scenarios that a new user tries, written once in the steps of
# scenario_lib.sh and run by run_scenarios.sh on the SDL2 window and on
# vusk.exe under Wine. Each one starts the program afresh on a document of
# its own, compares the window with the headless frame after every step that
# shows something new, and checks the bytes of each file it saves.
#
# Adding a scenario: write a function scenario_NAME below and put NAME into
# SCENARIOS. The unsaved-changes question on closing, whose boxes differ
# between the platforms, has its own tests (test_sdl_question.sh and
# test_wine_question.sh).

SCENARIOS=(
  edit_save_menu
  undo_ctrl_s
  hex_byte
  flip_mode
  transfer
  search
  replace_go_to
  step_folder
  step_subfolder
  resize_least
  colour_schemes
  error_box
  failed_save_as
  no_zenity
  benchmark
  double_byte
  double_click
  ctrl_released_in_dialog
  utf8_cells
  unicode_input
  sjis_self_paste
)

# Open from the command line, type, delete, break a line, select with
# Shift+arrows and a drag, scroll with the wheel, then "Save" from the File
# menu reached with Alt, Enter and its hotkey.
scenario_edit_save_menu() {
  sc_document small.txt $'alpha beta gamma\r\ndelta epsilon\r\nzeta eta theta\r\n'
  sc_start
  sc_keys Right Right x y Down End BackSpace Left Delete Return z
  sc_expect typing
  sc_keys shift+Right shift+Right shift+Right shift+Down
  sc_expect shift-selection
  sc_drag 22 44 76 76
  sc_expect drag-selection
  sc_wheel_down 500 300
  sc_expect wheel
  sc_keys alt
  sc_expect alt-focus
  sc_keys Return
  sc_expect file-menu
  sc_keys s
  sc_expect saved
  printf 'alxypha beta gamma\r\ndelta epsil\r\nz\r\nzeta eta theta\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt"
  sc_close
}

# Typing, Enter, Ctrl+Z twice, then Ctrl+Y and Ctrl+Shift+Z; Ctrl+S saves
# the text as it stands, the title loses its '*', and undoing past the save
# puts the '*' back.
scenario_undo_ctrl_s() {
  sc_document undo.txt $'first line\r\nsecond line\r\n'
  sc_start
  sc_keys End space a b Return c
  sc_expect typed
  sc_keys ctrl+z ctrl+z
  sc_expect undone
  sc_keys ctrl+y ctrl+shift+z
  sc_expect redone
  sc_keys ctrl+s
  sc_expect_title undo.txt
  sc_expect saved
  printf 'first line ab\r\nc\r\nsecond line\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt"
  sc_keys ctrl+z
  e2e_wait_window "^undo\.txt\* - Vusk\$" "$SC_TIMEOUT" >/dev/null
  sc_keys ctrl+y
  sc_expect_title undo.txt
  sc_close
}

# "open as Hex" a binary, overwrite its second byte in the listing, "save hex
# as Bin" under a new name: the new file differs from the old in that byte.
scenario_hex_byte() {
  sc_document notes.txt $'notes\r\n'
  printf 'GIF8\x00\x01\x02\xff\r\n\x7f and a tail of text' >"$E2E_REAL/data.bin"
  sc_start
  sc_dialog_keys open data.bin alt Return h
  sc_expect_title data.bin
  sc_expect hex-listing
  sc_keys minus
  # Line 1 holds the first 16 bytes; "49" (I) at columns 3-4 becomes "58" (X).
  sc_keys Down Right Right Right Delete Delete 5 8
  sc_expect byte-changed
  sc_dialog_keys save out.bin alt Return b
  sc_expect saved
  printf 'GXF8\x00\x01\x02\xff\r\n\x7f and a tail of text' >"$E2E_WORK/expected.bin"
  sc_expect_saved "$E2E_WORK/expected.bin" out.bin
  sc_close
}

# Ctrl+F2 reloads the file as a hex listing, and again as text.
scenario_flip_mode() {
  sc_document flip.txt $'Flip me\r\nline two\ttab\r\n'
  sc_start
  sc_keys ctrl+F2
  sc_expect hex-listing
  sc_keys ctrl+F2
  sc_expect text-again
  sc_close
}

# Ctrl+Insert across a CR LF line end and Shift+Insert at the end of the
# text; the start of the first two lines, dragged and copied from the Edit
# menu, pasted as a column at column 6 of those lines ("paste coluMn");
# Ctrl+V of the X clipboard's LF lines (held by xclip), which arrive as CR LF
# lines; a copy also puts its text on the X clipboard, with LF line ends.
scenario_transfer() {
  command -v xclip >/dev/null 2>&1 || { echo "xclip is not installed: transfer left out"; return 0; }
  sc_document small.txt $'alpha beta\r\ngamma delta\r\n'
  sc_start
  sc_keys End Left Left Left Left shift+Down ctrl+Insert ctrl+End shift+Insert
  sc_expect copy-paste
  # The transfer file beside the program holds the copy: a line end as LF
  # and the NUL filler of the document's CR LF.
  [ "$(od -An -tx1 "$E2E_BIN/VUSK.TMP" | tr -d ' \n')" = 626574610a0067616d6d6120 ] ||
    e2e_fail "VUSK.TMP beside the program holds: $(od -An -c "$E2E_BIN/VUSK.TMP")"
  sc_drag 4 44 40 60
  sc_keys alt Right Return c
  sc_click 60 44
  sc_keys alt Right Return m
  sc_expect column-paste
  sc_keys minus
  sc_clipboard_in $'one\ntwo\n'
  sc_keys ctrl+v
  sc_expect clipboard
  sc_keys shift+Up ctrl+Insert
  sc_expect copied-again
  sc_clipboard_release
  # The copied "alpha betabeta", its line end and "gamma ", as the X clipboard gives them.
  e2e_poll "$SC_TIMEOUT" sh -c "[ \"\$(xclip -selection clipboard -o 2>/dev/null | od -An -tx1 | tr -d ' \n')\" = 616c7068612062657461626574610a67616d6d6120 ]" ||
    e2e_fail "the X clipboard holds $(xclip -selection clipboard -o 2>/dev/null | od -An -c) after the copy"
  sc_keys alt Return s
  sc_expect saved
  printf 'alpha alpha betabeta\r\ngamma one\r\ntwo\r\ngammdelta\r\nbeta\r\ngamma ' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt"
  sc_close
}

# The find bar (Edit, Find): Enter and F3 search forwards; ESC typed at the
# field's start replaces the pattern and makes F4 walk back folding letters;
# a click clears the field, and a pattern found nowhere says so.
scenario_search() {
  sc_document b.txt $'one Two two\r\n[x] {x}\r\n  ends with two\r\n'
  sc_start
  sc_keys alt Right Down f
  sc_type two
  sc_keys Return
  sc_expect enter-searches
  sc_keys F3
  sc_expect f3-next-match
  sc_keys Left Left Left
  sc_expect caret-at-start
  # The fold mark on its own, once the caret is seen at the start: under
  # load Wine once lost an Escape sent right behind the arrows.
  sc_keys Escape
  sc_type two
  sc_keys F4 F4
  sc_expect f4-folded
  sc_click 100 80
  sc_type zz
  sc_keys Return
  sc_expect not-found
  sc_close
}

# Ctrl+H opens the replace bar: the pattern, Tab, the replacement, and
# Shift+Enter replaces every match (the status line counts them). Ctrl+G
# goes to a line counted from 1; Ctrl+S saves the replaced text.
scenario_replace_go_to() {
  sc_document r.txt $'one two\r\ntwo three\r\n\r\nfour two\r\n'
  sc_start
  sc_keys ctrl+h
  sc_type two
  sc_keys Tab
  sc_type 2
  sc_keys shift+Return
  sc_expect replaced-all
  sc_click 40 44
  sc_keys ctrl+g
  sc_type 4
  sc_keys Return
  sc_expect gone-to-line
  sc_click 40 300
  sc_keys ctrl+s
  sc_expect saved
  printf 'one 2\r\n2 three\r\n\r\nfour 2\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt"
  sc_close
}

# Ctrl+F4 opens the next file of the folder, Ctrl+F3 the previous ones.
scenario_step_folder() {
  sc_document b.txt $'the second file\r\n'
  sc_neighbour a.txt $'the first file\r\n'
  sc_neighbour c.txt $'the third file\r\n'
  sc_start
  sc_keys ctrl+F4
  sc_expect_title c.txt
  sc_expect ctrl-f4-next-file
  sc_keys ctrl+F3 ctrl+F3
  sc_expect_title a.txt
  sc_expect ctrl-f3-back-twice
  # Past the first file: "." and ".." are passed over without a box.
  sc_keys ctrl+F3
  sc_expect_no_box
  sc_keys ctrl+F4
  sc_expect_title b.txt
  sc_close
}

# A file named with its folder: Ctrl+F4 and Ctrl+F3 step through that
# folder, not the working one. Windows names such a file with its folder
# (the title differs from the headless one), so this runs on SDL2 only.
scenario_step_subfolder() {
  [ "$SC_DRIVER" = sdl ] || return 0
  sc_document st3/b.txt $'the second file\r\n'
  sc_neighbour st3/a.txt $'the first file\r\n'
  sc_neighbour st3/c.txt $'the third file\r\n'
  sc_neighbour c.txt $'not in that folder\r\n'
  sc_start
  sc_keys ctrl+F4
  sc_expect_title c.txt
  sc_expect next-in-the-folder
  sc_keys x ctrl+s
  sc_expect saved
  printf 'xthe third file\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt" st3/c.txt
  sc_keys ctrl+F3 ctrl+F3 ctrl+F3
  sc_expect_title a.txt
  sc_expect first-in-the-folder
  sc_close
}

# The window made smaller than the least frame stops at 624 x 288 and shows
# the bars whole; made large again, it shows everything again.
scenario_resize_least() {
  local text="" i
  for i in $(seq 1 60); do text+="row $i of a text taller than the least window"$'\r\n'; done
  sc_document tall.txt "$text"
  sc_start
  sc_keys ctrl+End
  sc_resize 300 200 624 288
  sc_expect least-size
  sc_keys Up Up
  sc_expect least-size-moved
  sc_resize 1024 768 1024 768
  sc_expect full-size-again
  sc_close
}

# The View menu's three colour schemes over a selection, and back.
scenario_colour_schemes() {
  sc_document colours.txt $'The quick brown fox\r\njumps over the lazy dog\r\n'
  sc_start
  sc_keys shift+Down shift+Right shift+Right alt Right Right Return
  sc_expect view-menu
  sc_keys w
  sc_expect white-on-black
  sc_keys b
  sc_expect black-on-white
  sc_keys d
  sc_expect default-again
  sc_close
}

# A file chosen in the open dialog that does not exist: the "error!?" box,
# then the document as it was.
scenario_error_box() {
  sc_document notes.txt $'still here\r\n'
  sc_start
  sc_dialog_keys open missing.txt alt Return o
  sc_answer_error_box
  sc_keys minus Right x
  sc_expect after-the-box
  sc_keys ctrl+z  # back to the loaded text: closing asks nothing
  sc_close
}

# "save hex as Bin" onto a file that cannot take its bytes (/dev/full): the
# "error!?" box, and the next Ctrl+S still saves the text, as text, to the
# loaded file.
scenario_failed_save_as() {
  sc_document m.txt $'hello text\r\n'
  ln -s /dev/full "$E2E_REAL/full.bin"
  ln -s /dev/full "$(sc_headless_file full.bin)"
  sc_start
  sc_dialog_keys save full.bin alt Return b
  sc_answer_error_box
  sc_keys minus shift+z ctrl+s
  sc_expect saved
  printf 'Zhello text\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt"
  sc_close
}

# Without zenity the SDL2 program asks for paths in its own prompt: Escape
# cancels, a typed name opens, "save As" saves. Windows has its own dialogs.
scenario_no_zenity() {
  [ "$SC_DRIVER" = sdl ] || return 0
  sc_document notes.txt $'notes\r\n'
  sc_neighbour other.txt $'other text\r\n'
  mkdir -p "$E2E_WORK/no-zenity"
  SC_APP_ENV=(-u VUSK_DIALOG PATH="$E2E_WORK/no-zenity")
  sc_start
  e2e_script dialog-none
  sc_keys ctrl+o
  sc_expect prompt
  sc_keys Escape x
  sc_expect cancelled
  sc_keys ctrl+z ctrl+o
  sc_type other.txt
  sc_keys Return
  sc_expect_title other.txt
  sc_expect opened
  sc_keys alt Return a
  sc_type copy.txt
  sc_keys Return
  sc_expect saved
  printf 'other text\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt" copy.txt
  sc_close
}

# "Benchmark" in the Edit menu keeps the window busy for 4 s, then shows the
# frames per second in the status line; the number read from the window
# goes into the log.
scenario_benchmark() {
  sc_document bench.txt "$(seq 1 200 | sed 's/$/ benchmark line\r/')"
  sc_start
  sc_keys alt Right Return b
  local fps
  fps=$(sc_wait_status_number 60) || e2e_fail "no benchmark number appeared"
  [ "$fps" -gt 0 ] || e2e_fail "the benchmark shows $fps frames per second"
  echo "benchmark ($(basename "$SC_EXE")): $fps frames per second"
  sc_close
}

# Shift_JIS text with jisfont.bin beside both programs (built here from the
# system's fonts when the tools are there): kanji and kana in double-width
# cells, half-width katakana in single ones, a selection across them.
scenario_double_byte() {
  sc_jisfont || { echo "no double-byte font could be built: double_byte left out"; return 0; }
  sc_document jis.txt $'\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67 and \xb1\xb2\xb3\r\nsecond line\r\n'
  sc_start
  # The kanji's cells are not blank: the font was found.
  [ "$("$E2E_CONVERT" "$E2E_WORK/start-up.expected.png" -crop 120x13+20+37 +repage -format '%k' info:)" -gt 1 ] ||
    e2e_fail "the double-byte text shows no glyphs"
  sc_keys Right Right shift+Down shift+Right
  sc_expect selection
  sc_close
  rm -f "$(dirname "$SC_EXE")/jisfont.bin" "$E2E_HEADLESS_BIN/jisfont.bin"
}

# A double-click selects the word under the pointer (letters, digits, _).
scenario_double_click() {
  sc_document words.txt $'one two_3 four\r\n'
  sc_start
  sc_double_click 50 40
  sc_expect word-selected
  sc_close
}

# Ctrl let go in Ctrl+O's dialog, unheard by the window: Left then moves
# one column and Backspace deletes. (SDL2 reports such releases itself.)
scenario_ctrl_released_in_dialog() {
  [ "$SC_DRIVER" = wine ] || return 0
  sc_document keys.txt $'abcdefgh\r\n'
  sc_start
  e2e_script "answer cancel" "key End ctrl+o"
  e2e_focus "$wid"
  xdotool key End keydown ctrl key o
  # The release goes wherever the keyboard is: to the dialog, once it has it.
  local dialog
  dialog=$(xdotool search --sync --onlyvisible --name '^Open$' | tail -1)
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  xdotool keyup ctrl key Escape
  e2e_poll 30 sh -c "! xdotool search --onlyvisible --name '^Open\$' >/dev/null 2>&1" || e2e_fail "the dialog stayed"
  sc_keys Left BackSpace ctrl+s
  sc_expect saved
  printf 'abcdefh\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt"
  sc_close
}

# A UTF-8 file of accents, wide characters and tabs drawn as headless; Right
# steps over a tab, Backspace takes the cell before the cursor.
scenario_utf8_cells() {
  sc_unicode_font || { echo "the build made no unicodefont.bin: utf8_cells left out"; return 0; }
  sc_document utf8.txt $'caf\xc3\xa9\tna\xc3\xafve\r\n\xe6\xbc\xa2\xe5\xad\x97\tx\r\n'
  sc_start
  sc_keys Right Right Right Right Right x Down BackSpace
  sc_expect cells
  sc_keys ctrl+s
  sc_expect saved
  printf 'caf\xc3\xa9\txna\xc3\xafve\r\n\xe6\xbc\xa2\xe5\xad\x97\t\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt"
  sc_close
  rm -f "$(dirname "$SC_EXE")/unicodefont.bin" "$E2E_HEADLESS_BIN/unicodefont.bin"
}

# A new document is UTF-8: é and 漢字 typed with xdotool (keysyms the
# keyboard map lacks, as an input method gives them) and pasted from the X
# clipboard go in as their UTF-8 bytes, and Ctrl+S saves them so. A plain
# key goes first: Wine loses a remapped keysym typed before any other key.
scenario_unicode_input() {
  command -v xclip >/dev/null 2>&1 || { echo "xclip is not installed: unicode_input left out"; return 0; }
  sc_document new.txt ''
  sc_start
  sc_type 'xé漢字 '
  sc_expect typed
  sc_clipboard_in $'字é\n'
  sc_keys ctrl+v
  sc_expect pasted
  sc_clipboard_release
  sc_keys ctrl+s
  sc_expect saved
  printf 'xé漢字 字é\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt"
  # In shift_Jis mode ア goes in as CP932, and a copy still gives other
  # programs ア (Windows: CF_UNICODETEXT beside CF_TEXT, whatever the
  # ANSI code page). The undo leaves nothing unsaved for the close.
  sc_keys alt v j minus ctrl+End
  sc_type 'ア'
  sc_keys shift+Home ctrl+c
  sc_expect sjis-copied
  e2e_poll "$SC_TIMEOUT" sh -c "[ \"\$(xclip -selection clipboard -o 2>/dev/null)\" = ア ]" ||
    e2e_fail "the X clipboard holds $(xclip -selection clipboard -o 2>/dev/null | od -An -tx1) after the copy"
  sc_keys ctrl+z
  sc_expect undone
  sc_close
}

# Shift_JIS mode: Ctrl+C then Ctrl+V of bytes that no CP932 character
# holds (a lead byte before a space or a line end) pastes them exactly.
# Read back from the Unicode text that other programs get, they became "・"
# under Windows and were dropped under X11.
scenario_sjis_self_paste() {
  sc_document bytes.txt $'a\x82 b\x82\r\n'
  sc_start
  sc_keys ctrl+a ctrl+c ctrl+End ctrl+v ctrl+s
  sc_expect pasted
  printf 'a\x82 b\x82\r\na\x82 b\x82\r\n' >"$E2E_WORK/expected.txt"
  sc_expect_saved "$E2E_WORK/expected.txt"
  sc_close
}
