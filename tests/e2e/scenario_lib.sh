# The steps that the shared scenarios (scenarios.sh) are written in, for two
# drivers: "sdl" runs the SDL2 vusk on Xvfb, "wine" runs vusk.exe under Wine.
# Each step acts on the real window through xdotool and appends the same
# input, as script lines, to the script that vusk-script replays; pictures
# are then compared with the headless frame (e2e_expect_picture, lib.sh).
# Sourced by run_scenarios.sh after lib.sh (and wine_lib.sh for "wine").
#
# Paths: the program is started in $E2E_REAL on the document's bare name, so
# that both runs, and the hex listing's header line, show the same name. A
# path chosen in a file dialog is a bare name under the SDL2 program (the
# dialog helper answers it) and D:\NAME under Wine, whose dialogs always
# return full paths: drive D: is the real working folder, and the headless
# run finds a file of that literal name in its own folder.

SC_DRIVER=""
SC_TIMEOUT=15      # seconds a picture may take to appear
SC_LEFT=0 SC_TOP=0 # the client area's origin inside the X window
SC_WIDTH=1024 SC_HEIGHT=768
SC_EXES=()         # the programs to run the scenarios on
SC_EXE=""          # the one running them now
SC_ANSWERS=""      # the SDL2 dialog helper's queue of answers
SC_TITLE_NAME_X=121 # where the title bar's file name starts: right after "current file:"
SC_XCLIP_PID=""    # the xclip that serves the clipboard
SC_APP_ENV=()      # environment changes for the program alone (env's arguments)
wid=""

# --- set-up, once per run ---------------------------------------------------

sc_setup_sdl() {
  SC_DRIVER=sdl
  e2e_copy_programs "$build" vusk vusk-script
  SC_EXES=("$E2E_BIN/vusk")
  SC_ANSWERS=$E2E_WORK/dialog-answers
  # The file dialogs' helper: each call takes the first queued path (a
  # "cancel" line cancels) and logs how it was called.
  cat >"$E2E_WORK/dialog.sh" <<EOF
#!/bin/sh
echo "\$*" >>"$E2E_WORK/dialog.log"
answer=\$(head -1 "$SC_ANSWERS" 2>/dev/null)
sed -i 1d "$SC_ANSWERS" 2>/dev/null
[ -n "\$answer" ] || exit 2
[ "\$answer" != cancel ] || exit 1
printf '%s\n' "\$answer"
EOF
  chmod +x "$E2E_WORK/dialog.sh"
  export VUSK_DIALOG=$E2E_WORK/dialog.sh
  e2e_start_display
}

sc_setup_wine() {
  SC_DRIVER=wine
  SC_TIMEOUT=30
  e2e_wine_require xclip
  e2e_wine_exes
  e2e_copy_programs "$build" vusk-script
  local bits
  for bits in "${E2E_WINE_BITS[@]}"; do SC_EXES+=("$E2E_BIN/vusk$bits.exe"); done
  e2e_start_display
  e2e_wine_prefix
  ln -s "$E2E_REAL" "$WINEPREFIX/dosdevices/d:"
}

# --- documents ----------------------------------------------------------------

# Writes `text` as the document `name` of the next start, in both folders.
sc_document() { e2e_document "$1" "$2"; }

# Writes a file that both runs find beside the document.
sc_neighbour() {
  printf '%s' "$2" >"$E2E_REAL/$1"
  printf '%s' "$2" >"$E2E_HEADLESS/$1"
}

# The path that a file dialog returns for the file `name` of the working
# folder, as the program sees it.
sc_dialog_path() {
  if [ "$SC_DRIVER" = wine ]; then printf 'D:\\%s' "$1"; else printf '%s' "$1"; fi
}

# Where the headless run keeps the file `name` that a dialog chose.
sc_headless_file() { echo "$E2E_HEADLESS/$(sc_dialog_path "$1")"; }

# --- the program ----------------------------------------------------------------

# Where Wine puts the client area in its X window (it draws the frame
# itself): equal borders left, right and below, the caption on top.
e2e_update_crop() {
  [ "$SC_DRIVER" = wine ] || return 0
  local outer_width outer_height
  read -r outer_width outer_height < <(e2e_window_size "$1" | tr x ' ')
  SC_LEFT=$(((outer_width - SC_WIDTH) / 2))
  SC_TOP=$((outer_height - SC_HEIGHT - SC_LEFT))
  [ "$SC_LEFT" -ge 0 ] && [ "$SC_TOP" -ge 0 ] || return 1
  E2E_CLIENT_CROP=${SC_WIDTH}x${SC_HEIGHT}+$SC_LEFT+$SC_TOP
}

# Starts the program on the document and waits for its window and its
# first picture.
sc_start() {
  : >"$E2E_SCRIPT"
  SC_WIDTH=1024 SC_HEIGHT=768 E2E_CLIENT_CROP="" E2E_MASK="" wid=""
  [ -z "$SC_ANSWERS" ] || : >"$SC_ANSWERS"
  cd "$E2E_REAL"
  if [ "$SC_DRIVER" = wine ]; then
    e2e_start_app wine "$SC_EXE" "$E2E_FILE"
  else
    e2e_start_app env ${SC_APP_ENV[@]+"${SC_APP_ENV[@]}"} "$SC_EXE" "$E2E_FILE"
  fi
  wid=$(e2e_wait_window "^$(sc_regex "${E2E_FILE##*/}") - Vusk\$" 60)
  e2e_poll 10 e2e_update_crop "$wid" || e2e_fail "the window is smaller than the frame"
  sc_expect start-up
}

# `name` with the characters special to a regular expression escaped.
sc_regex() { printf '%s' "$1" | sed 's/[.[\*^$()+?{|]/\\&/g'; }

# Waits for the window titled "NAME - Vusk".
sc_expect_title() { e2e_wait_window "^$(sc_regex "$1") - Vusk\$" "$SC_TIMEOUT" >/dev/null; }

# Closes the window as its user would and expects exit code 0.
sc_close() {
  if [ "$SC_DRIVER" = wine ]; then
    e2e_key "$wid" alt+F4
    e2e_wait_exit 30
    [ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "the program ended with code $E2E_EXIT_CODE"
  else
    e2e_close_app
  fi
}

# --- input --------------------------------------------------------------------

# The script's name for one xdotool key (modifiers kept).
sc_script_key() {
  local key=$1 prefix=""
  while [[ $key == *+?* ]]; do
    prefix+=${key%%+*}+
    key=${key#*+}
  done
  case $key in
    Return) key=Enter ;;
    BackSpace) key=Backspace ;;
    space) key=Space ;;
    Prior) key=PageUp ;;
    Next) key=PageDown ;;
  esac
  printf '%s%s' "$prefix" "$key"
}

# Presses keys (xdotool names) in the window and in the script.
sc_keys() {
  local line=key key
  e2e_key "$wid" "$@"
  for key in "$@"; do line+=" $(sc_script_key "$key")"; done
  e2e_script "$line"
}

# Types plain text (letters, digits, spaces) into the window and the script.
sc_type() {
  e2e_focus "$wid"
  xdotool type --delay 30 "$1"
  e2e_script "type $(printf '%s' "$1" | sed 's/ /\\s/g')"
}

# Clicks at (x, y) of the client area.
sc_click() {
  xdotool mousemove --window "$wid" $((SC_LEFT + $1)) $((SC_TOP + $2)) click 1
  e2e_script "click $1 $2"
}

# Double-clicks at (x, y) of the client area.
sc_double_click() {
  xdotool mousemove --window "$wid" $((SC_LEFT + $1)) $((SC_TOP + $2)) click --repeat 2 --delay 80 1
  e2e_script "dblclick $1 $2"
}

# Drags with the left button from (x1, y1) to (x2, y2) of the client area.
sc_drag() {
  xdotool mousemove --window "$wid" $((SC_LEFT + $1)) $((SC_TOP + $2)) mousedown 1 \
    mousemove --window "$wid" $((SC_LEFT + $3)) $((SC_TOP + $4)) mouseup 1
  e2e_script "down $1 $2" "move $3 $4" "up $3 $4"
}

# Answers the file dialog (`open` or `save`) that the keys open with the
# file `name` of the working folder.
sc_dialog_keys() {
  local kind=$1 name=$2 path
  shift 2
  path=$(sc_dialog_path "$name")
  # The script's paths take escapes: a backslash is written twice.
  e2e_script "answer $kind ${path//\\/\\\\}"
  if [ "$kind" = open ] && [ -e "$E2E_REAL/$name" ]; then cp "$E2E_REAL/$name" "$(sc_headless_file "$name")"; fi
  if [ "$SC_DRIVER" = sdl ]; then
    printf '%s\n' "$path" >>"$SC_ANSWERS"
    sc_keys "$@"
    return
  fi
  sc_keys "$@"
  sc_wine_answer_dialog "$path"
  # Windows ends a bare name at '\' and ':', POSIX at '/' only: from now on
  # the title bar's name differs from the headless one (the window's title
  # is checked instead).
  E2E_MASK="$SC_TITLE_NAME_X,0 $((SC_WIDTH - 1)),17"
}

# Types `path` into the Wine file dialog that is open and presses Enter; waits
# until the dialog is gone.
sc_wine_answer_dialog() {
  local dialog tries=600
  while :; do
    dialog=$(xdotool search --onlyvisible --name '^(Open|Save As|Save)$' 2>/dev/null | head -1 || true)
    [ -z "$dialog" ] || break
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || e2e_fail "no file dialog appeared"
    sleep 0.05
  done
  xdotool windowfocus --sync "$dialog"
  xdotool type --delay 30 "$1"
  xdotool key Return
  e2e_poll 30 sh -c "! xdotool search --onlyvisible --name '^(Open|Save As|Save)\$' >/dev/null 2>&1" ||
    e2e_fail "the file dialog stayed open after $1"
}

# --- checks -------------------------------------------------------------------

# Waits until the window shows the headless frame for the script so far.
sc_expect() { e2e_expect_picture "$wid" "$1" "$SC_TIMEOUT"; }

# Both runs saved exactly the bytes of the file `expected`, as the file
# `name` chosen in a dialog (or the started document when no name is given).
sc_expect_saved() {
  local expected=$1 name=${2:-}
  if [ -z "$name" ]; then
    e2e_expect_saved "$expected"
    return
  fi
  cmp -s "$E2E_REAL/$name" "$expected" || e2e_fail "$name holds: $(od -An -c "$E2E_REAL/$name" | head -8)"
  cmp -s "$(sc_headless_file "$name")" "$expected" || e2e_fail "the headless run saved another $name"
}

# One notch of the wheel towards the user, with the pointer at (x, y).
sc_wheel_down() {
  xdotool mousemove --window "$wid" $((SC_LEFT + $1)) $((SC_TOP + $2)) click 5
  e2e_script "move $1 $2" 'wheel -1'
}

# Resizes the window as asked (w x h); the program keeps its client area at
# (expected_w x expected_h). Under Wine the frame's corner is dragged, since
# an unmanaged Wine window ignores other programs' resizes.
sc_resize() {
  local w=$1 h=$2 want=${3}x${4} outer_w outer_h
  if [ "$SC_DRIVER" = sdl ]; then
    xdotool windowsize "$wid" "$w" "$h"
    e2e_poll 10 sh -c "xdotool getwindowgeometry $wid | grep -q 'Geometry: $want\$'" ||
      e2e_fail "resized to ${w}x$h, the window is $(e2e_window_size "$wid"), not $want"
  else
    read -r outer_w outer_h < <(e2e_window_size "$wid" | tr x ' ')
    local extra_w=$((outer_w - SC_WIDTH)) extra_h=$((outer_h - SC_HEIGHT))
    xdotool mousemove --window "$wid" $((outer_w - 2)) $((outer_h - 2)) sleep 0.2 mousedown 1 sleep 0.2 \
      mousemove --window "$wid" $((w + extra_w - 2)) $((h + extra_h - 2)) sleep 0.2 mouseup 1
    want=$(($3 + extra_w))x$(($4 + extra_h))
    e2e_poll 30 sh -c "xdotool getwindowgeometry $wid | grep -q 'Geometry: $want\$'" ||
      e2e_fail "dragged to ${w}x$h, the window is $(e2e_window_size "$wid"), not $want"
  fi
  SC_WIDTH=$3 SC_HEIGHT=$4
  e2e_script "resize $w $h"
}

# Puts `text` into the X clipboard (xclip serves it until released) and
# gives the headless run the same text with the CR LF line ends that both
# platforms hand over. Any text at all is not enough: until xclip owns the
# selection, the program's own last copy answers.
sc_clipboard_in() {
  printf '%s' "$1" >"$E2E_WORK/clip.txt"
  xclip -selection clipboard -quiet -i "$E2E_WORK/clip.txt" >/dev/null 2>&1 &
  SC_XCLIP_PID=$!
  e2e_poll 10 sh -c "xclip -selection clipboard -o 2>/dev/null | cmp -s - '$E2E_WORK/clip.txt'" ||
    e2e_fail "the X clipboard does not hold the text given to xclip"
  # Wine's bridge takes the new owner's text into the Windows clipboard on its
  # own time; under load, a paste right after that found the clipboard empty.
  [ "$SC_DRIVER" != wine ] || sleep 3
  e2e_script "clipboard ${1//$'\n'/\\r\\n}"
}
sc_clipboard_release() { [ -z "$SC_XCLIP_PID" ] || kill "$SC_XCLIP_PID" 2>/dev/null || true; }

# --- reading the status line ----------------------------------------------------

# The status line's glyphs stand 9 pixels apart from (200, height - 18) in
# colour 9 on the black bar, as the bottom bar's line number draws its
# digits. Each digit's picture is taken from a headless frame whose cursor
# stands on line 0..9: the last digit of "line 0000000" sits at (959, 753).
sc_digit_signatures() {
  [ -s "$E2E_WORK/digits" ] && return 0
  local d i dir=$E2E_WORK/digit-shots
  mkdir -p "$dir"
  printf 'x\r\n' >"$dir/d.txt"
  for d in 0 1 2 3 4 5 6 7 8 9; do
    { for ((i = 0; i < d; i++)); do echo 'key Down'; done; echo "shot $d.png"; } >"$dir/$d.vsk"
    (cd "$dir" && "$E2E_HEADLESS_BIN/vusk-script" "$d.vsk" d.txt >/dev/null) || e2e_fail "vusk-script failed"
    echo "$d $("$E2E_CONVERT" "$dir/$d.png" -crop 8x13+959+753 +repage -format '%#' info:)" >>"$E2E_WORK/digits"
  done
  [ "$(cut -d' ' -f2 "$E2E_WORK/digits" | sort -u | wc -l)" = 10 ] || e2e_fail "the ten digits do not differ"
}

# The number in the status line of the client-area picture `png`, or
# nothing when it shows no number there. Numbers are written right-aligned
# in seven cells: blank cells, then digits only.
sc_status_number() {
  local png=$1 height cell sig digit number="" blank
  height=$("$E2E_CONVERT" "$png" -format '%h' info:)
  for ((cell = 0; cell < 7; cell++)); do
    read -r sig blank < <("$E2E_CONVERT" "$png" -crop 8x13+$((200 + 9 * cell))+$((height - 18)) +repage \
      -format '%# %k' info:)
    if [ "$blank" = 1 ] && [ -z "$number" ]; then continue; fi
    digit=$(awk -v s="$sig" '$2 == s { print $1 }' "$E2E_WORK/digits")
    [ -n "$digit" ] || return 1
    number+=$digit
  done
  [ -n "$number" ] && echo "$number"
}

# Waits up to `seconds` for a number in the window's status line.
sc_wait_status_number() {
  local deadline=$((SECONDS + $1))
  sc_digit_signatures
  while [ "$SECONDS" -lt "$deadline" ]; do
    if e2e_client_shot "$wid" "$E2E_WORK/status.png" 2>/dev/null && sc_status_number "$E2E_WORK/status.png"; then
      return 0
    fi
    sleep 0.25
  done
  mkdir -p "$E2E_KEEP_DIR"
  cp "$E2E_WORK/status.png" "$E2E_KEEP_DIR/" 2>/dev/null || true
  return 1
}

# Waits for the "error!?" box, keeps a picture of it in BUILD_DIR/e2e-shots
# and answers it with Enter. SDL's box is found in the window tree (xdotool
# cannot read its name); Wine's carries its caption as its name.
# No "error!?" box stands open, a second after the last step.
sc_expect_no_box() {
  sleep 1
  ! xwininfo -root -tree | grep -q '"error!?":' || e2e_fail "an error!? box opened"
}

sc_answer_error_box() {
  local box shots=$build/e2e-shots
  if [ "$SC_DRIVER" = sdl ]; then
    box=$(e2e_wait_box 'error!?' "$SC_TIMEOUT")
  else
    box=$(e2e_wait_window '^error!\?$' "$SC_TIMEOUT")
  fi
  mkdir -p "$shots"
  e2e_screenshot "$box" "$shots/$SC_DRIVER-error-box.png" || e2e_fail "no picture of the box"
  xdotool windowfocus --sync "$box"
  xdotool key Return
  e2e_poll 30 sh -c "! xwininfo -id $box >/dev/null 2>&1 || ! xwininfo -id $box | grep -q IsViewable" ||
    e2e_fail "the box stayed open after Enter"
}

# Puts jisfont.bin beside the real program and vusk-script: the build's own,
# or one built from the system's fonts (tools/build-jisfont.sh); false when
# neither can be had.
sc_jisfont() {
  local font=$build/jisfont.bin dir=$E2E_WORK/jisfont
  if [ ! -f "$font" ]; then
    font=$dir/jisfont.bin
    if [ ! -f "$font" ]; then
      [ -x "$build/make_jisfont" ] || return 1
      mkdir -p "$dir" && cp "$build/make_jisfont" "$dir/"
      "$source_dir/tools/build-jisfont.sh" "$dir" >/dev/null 2>&1 || return 1
    fi
  fi
  cp "$font" "$(dirname "$SC_EXE")/" && cp "$font" "$E2E_HEADLESS_BIN/"
}

# Puts the build's unicodefont.bin beside both programs; false without one.
sc_unicode_font() {
  [ -f "$build/unicodefont.bin" ] || return 1
  cp "$build/unicodefont.bin" "$(dirname "$SC_EXE")/" && cp "$build/unicodefont.bin" "$E2E_HEADLESS_BIN/"
}
