# Helpers for the end-to-end tests, which run the real program on a private
# Xvfb display and drive it with xdotool. Source this file; it sets up a
# scratch directory ($E2E_WORK) and a trap that ends everything it started.
# A test exits with 77 (skipped) when the X tools are missing.
#
# The headless driver vusk-script runs the same core on a 1024x768 frame, so
# for the same file and input the window's client area must match its frame
# pixel for pixel. A test writes its input twice: once for xdotool, once as
# script lines (e2e_script), and e2e_expect_picture compares the two.
set -euo pipefail

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_WORK=$(mktemp -d)
E2E_XVFB_PID=""
E2E_APP_PID=""
E2E_CONVERT=/usr/bin/convert
[ -x "$E2E_CONVERT" ] || E2E_CONVERT=convert
E2E_COMPARE=/usr/bin/compare
[ -x "$E2E_COMPARE" ] || E2E_COMPARE=compare
E2E_BIN=$E2E_WORK/bin            # copies of the real programs (see e2e_copy_programs)
E2E_HEADLESS_BIN=$E2E_WORK/hbin  # vusk-script's copy, with a transfer file of its own
E2E_REAL=$E2E_WORK/real          # the real program's working directory
E2E_HEADLESS=$E2E_WORK/headless  # vusk-script's working directory
E2E_SCRIPT=$E2E_WORK/steps.vsk   # the script lines given so far
E2E_FILE=""                      # the document named on both command lines
E2E_CLIENT_CROP=""               # geometry of the client area in a screenshot
E2E_VISIBLE=""                   # geometry of the part of the frame a small window shows
E2E_KEEP_DIR=${TMPDIR:-/tmp}/vusk-e2e-failures/$(basename "$0" .sh)  # a failure's images
mkdir -p "$E2E_BIN" "$E2E_HEADLESS_BIN" "$E2E_REAL" "$E2E_HEADLESS"
: >"$E2E_SCRIPT"
# Leaks inside the system libraries that SDL loads are not ours to fix.
export LSAN_OPTIONS="suppressions=$E2E_LIB_DIR/lsan.supp:print_suppressions=0"

e2e_cleanup() {
  if [ -n "$E2E_APP_PID" ]; then kill "$E2E_APP_PID" 2>/dev/null || true; fi
  if [ -n "$E2E_XVFB_PID" ]; then kill "$E2E_XVFB_PID" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

e2e_fail() {
  echo "FAIL: $*" >&2
  if [ -s "$E2E_WORK/app.log" ]; then
    echo "--- program output:" >&2
    cat "$E2E_WORK/app.log" >&2
  fi
  exit 1
}

# Skips the test unless Xvfb, xdotool and ImageMagick are installed.
e2e_require_x() {
  local tool
  for tool in Xvfb xdotool import "$E2E_CONVERT" "$E2E_COMPARE"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool is not installed"
      exit 77
    fi
  done
}

# Polls `command...` every 0.05 s until it succeeds or `seconds` pass.
e2e_poll() {
  local seconds=$1
  shift
  local tries=$((seconds * 20))
  while ! "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.05
  done
}

# Starts Xvfb on a free display (of size E2E_SCREEN, WxHxDEPTH, when set)
# and exports DISPLAY once it is ready. -noreset: by default an X server
# resets itself whenever its last client leaves, and refuses the clients
# that connect meanwhile. The next program, started just after the last one
# ended, then found no display and ran on SDL's offscreen driver, or (now)
# ends saying so. A display started before is ended first.
e2e_start_display() {
  local file="$E2E_WORK/display"
  if [ -n "$E2E_XVFB_PID" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_XVFB_PID" 2>/dev/null || true
  fi
  : >"$file"
  Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$file" >/dev/null \
    2>"$E2E_WORK/xvfb.log" &
  E2E_XVFB_PID=$!
  e2e_poll 10 grep -q '^[0-9]' "$file" || e2e_fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
  export DISPLAY=":$(head -1 "$file")"
}

# Starts the program in the background, its output in $E2E_WORK/app.log.
e2e_start_app() {
  "$@" >"$E2E_WORK/app.log" 2>&1 &
  E2E_APP_PID=$!
}

# True while the program runs: an ended program that is not yet waited for
# (a zombie) still answers kill -0, so its state is read instead.
e2e_app_running() {
  local state
  state=$(ps -o stat= -p "$E2E_APP_PID" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "${state#Z}" = "$state" ]
}

# Prints the id of the visible window whose name matches `regex`, waiting up
# to `seconds` for it (and failing at once if the program ends meanwhile).
e2e_wait_window() {
  local regex=$1 seconds=${2:-10}
  local deadline=$((SECONDS + seconds)) wid
  while :; do
    wid=$(xdotool search --onlyvisible --name "$regex" 2>/dev/null | head -1 || true)
    if [ -n "$wid" ]; then
      echo "$wid"
      return 0
    fi
    e2e_app_running || e2e_fail "the program ended before its window \"$regex\" appeared"
    if [ "$SECONDS" -ge "$deadline" ]; then
      e2e_explain_missing_window
      e2e_fail "no window \"$regex\" within ${seconds}s; windows named: $(xwininfo -root -tree 2>/dev/null | grep -o '"[^"]*"' | sort -u | tr '\n' ' ' || true)"
    fi
    sleep 0.05
  done
}

# Writes what explains a window that never came to stderr and to
# $E2E_KEEP_DIR/no-window.txt: the display's window tree and where each of
# the program's threads stands (gdb), so that a rare failure shows its cause.
e2e_explain_missing_window() {
  mkdir -p "$E2E_KEEP_DIR"
  {
    echo "--- the window tree of display $DISPLAY:"
    xwininfo -root -tree 2>&1 || true
    echo "--- the program (pid $E2E_APP_PID), thread by thread:"
    if ! command -v gdb >/dev/null 2>&1; then
      echo "gdb is not installed (tools/install-deps.sh test)"
    elif e2e_app_running; then
      timeout 120 gdb -p "$E2E_APP_PID" -batch -nx -ex 'thread apply all bt' </dev/null 2>&1 || true
    fi
  } | tee "$E2E_KEEP_DIR/no-window.txt" >&2
}

# Prints the id of the message box titled exactly `title` (e.g. "error!?"),
# waiting up to `seconds`. SDL's boxes carry no WM_CLASS and a WM_NAME that
# xdotool cannot read, so they are found in xwininfo's window tree.
e2e_wait_box() {
  local title=$1 seconds=${2:-10}
  command -v xwininfo >/dev/null 2>&1 || { echo "skipped: xwininfo (x11-utils) is not installed"; exit 77; }
  local tries=$((seconds * 20)) wid
  while :; do
    wid=$(xwininfo -root -tree | awk -v t="\"$title\":" '$2 == t { print $1; exit }')
    if [ -n "$wid" ]; then
      echo "$wid"
      return 0
    fi
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || e2e_fail "no box \"$title\" within ${seconds}s"
    sleep 0.05
  done
}

# Width x height of a window's client area, e.g. "1024x768".
e2e_window_size() { xdotool getwindowgeometry "$1" | sed -n 's/^ *Geometry: //p'; }

# Gives the window the keyboard focus (nothing does so without a window manager).
e2e_focus() { xdotool windowfocus --sync "$1"; }

# Types keys (xdotool names, e.g. ctrl+c Return) into the window.
e2e_key() {
  local wid=$1
  shift
  e2e_focus "$wid"
  xdotool key --delay 20 "$@"
}

# Clicks mouse button 1 at (x, y) of the window. (No --sync on the moves:
# it waits about 15 s when the pointer is already there. The server handles
# the move before the click anyway.)
e2e_click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# Saves a screenshot of the window as PNG. (import asks for a window to be
# clicked when the one named is gone: the timeout keeps that from hanging.)
e2e_screenshot() { timeout 10 import -window "$1" "$2"; }

# The colour of pixel (x, y) of a screenshot as six hex digits, RRGGBB.
e2e_pixel() { "$E2E_CONVERT" "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }

# Waits up to `seconds` for the program to end; its exit code goes to
# E2E_EXIT_CODE. (Not in a subshell: only this shell can collect the code.)
e2e_wait_exit() {
  local seconds=$1
  e2e_poll "$seconds" sh -c "! kill -0 $E2E_APP_PID 2>/dev/null" || e2e_fail "the program did not end within ${seconds}s"
  E2E_EXIT_CODE=0
  wait "$E2E_APP_PID" || E2E_EXIT_CODE=$?
  E2E_APP_PID=""
}

# Asks the program to end (SDL turns the termination request into its quit
# event, which reaches the window as a close request) and expects exit code 0.
e2e_close_app() {
  kill -TERM "$E2E_APP_PID"
  e2e_wait_exit 10
  [ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "the program ended with code $E2E_EXIT_CODE"
}

# Both runs, the real window's and the headless one, saved exactly the bytes
# of the file `expected`.
e2e_expect_saved() {
  local saved
  for saved in "$E2E_REAL/$E2E_FILE" "$E2E_HEADLESS/$E2E_FILE"; do
    cmp -s "$saved" "$1" || e2e_fail "$saved holds: $(od -c "$saved" | head -20)"
  done
}

# Copies `program`s from BUILD_DIR into $E2E_BIN (vusk-script into
# $E2E_HEADLESS_BIN) and sets where failing comparisons keep their images
# (BUILD_DIR/e2e-failures/TEST). Run from copies, the real program and
# vusk-script both find no jisfont.bin and no installed data, each has a
# transfer file of its own, and neither writes into the build folder.
e2e_copy_programs() {
  local build=$1 program
  shift
  E2E_KEEP_DIR=$build/e2e-failures/$(basename "$0" .sh)
  rm -rf "$E2E_KEEP_DIR"
  for program in "$@"; do
    [ -f "$build/$program" ] || { echo "skipped: $build/$program was not built"; exit 77; }
    if [ "$program" = vusk-script ]; then
      cp "$build/$program" "$E2E_HEADLESS_BIN/"
    else
      cp "$build/$program" "$E2E_BIN/"
    fi
  done
}

# Writes `text` as document `name` into both working directories and makes
# it the document of both runs.
e2e_document() {
  E2E_FILE=$1
  printf '%s' "$2" >"$E2E_REAL/$E2E_FILE"
  cp "$E2E_REAL/$E2E_FILE" "$E2E_WORK/pristine-$E2E_FILE"
}

# Runs vusk-script on `script` from the document as first written (a replay
# of a script that saves changes it), its output in $E2E_WORK/headless.log.
e2e_replay() {
  [ -z "$E2E_FILE" ] || cp "$E2E_WORK/pristine-$E2E_FILE" "$E2E_HEADLESS/$E2E_FILE"
  # shellcheck disable=SC2086
  (cd "$E2E_HEADLESS" && "$E2E_HEADLESS_BIN/vusk-script" "$1" $E2E_FILE) >"$E2E_WORK/headless.log" 2>&1
}

# Appends lines (one per argument) to the script that vusk-script replays.
e2e_script() { printf '%s\n' "$@" >>"$E2E_SCRIPT"; }

# Runs the script so far through vusk-script and writes its frame to `png`.
e2e_headless_shot() {
  local png=$1
  { cat "$E2E_SCRIPT"; echo "shot $png"; } >"$E2E_WORK/shot.vsk"
  e2e_replay "$E2E_WORK/shot.vsk" || e2e_fail "vusk-script failed: $(cat "$E2E_WORK/headless.log")"
}

# Prints vusk-script's "state" line after the script so far.
e2e_headless_state() {
  { cat "$E2E_SCRIPT"; echo state; } >"$E2E_WORK/state.vsk"
  e2e_replay "$E2E_WORK/state.vsk" || e2e_fail "vusk-script failed: $(cat "$E2E_WORK/headless.log")"
  grep '^state ' "$E2E_WORK/headless.log" || e2e_fail "vusk-script printed no state"
}

# One field (e.g. top_line) of a state line.
e2e_state_field() { echo "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

# Saves the window's client area as PNG.
e2e_client_shot() {
  # A framed window's crop follows its current size: the program corrects its
  # outer size after the window first appears.
  if declare -F e2e_update_crop >/dev/null; then e2e_update_crop "$1" || return 1; fi
  if [ -n "$E2E_CLIENT_CROP" ]; then
    e2e_screenshot "$1" "$E2E_WORK/window.png" &&
      "$E2E_CONVERT" "$E2E_WORK/window.png" -crop "$E2E_CLIENT_CROP" +repage "$2"
  else
    e2e_screenshot "$1" "$2"
  fi
}

# Number of pixels in which two images differ (nothing when they cannot be
# compared, e.g. of different sizes).
e2e_pixels_differing() { "$E2E_COMPARE" -metric AE "$1" "$2" null: 2>&1 || true; }

# Paints the rectangle E2E_MASK ("X1,Y1 X2,Y2", corners included) black in
# the picture `png`, when set: a part of the frame that the two runs show
# differently by design.
E2E_MASK=""
e2e_mask() {
  [ -z "$E2E_MASK" ] || "$E2E_CONVERT" "$1" -fill black -draw "rectangle $E2E_MASK" "$1"
}

# Waits until the window's client area shows exactly the frame vusk-script
# draws for the script so far; fails after `seconds` (default 15), keeping the
# two pictures and an image of their difference. The program handles its
# input after xdotool returns, so the picture is polled.
e2e_expect_picture() {
  local wid=$1 step=$2 seconds=${3:-15}
  local expected=$E2E_WORK/$step.expected.png actual=$E2E_WORK/$step.actual.png
  local differing="" start deadline
  start=$(date +%s.%N)
  e2e_headless_shot "$expected"
  if [ -n "$E2E_VISIBLE" ]; then
    "$E2E_CONVERT" "$expected" -crop "$E2E_VISIBLE" +repage "$expected.png" && mv "$expected.png" "$expected"
  fi
  e2e_mask "$expected"
  deadline=$((SECONDS + seconds))
  while :; do
    if e2e_client_shot "$wid" "$actual" 2>/dev/null && e2e_mask "$actual"; then
      differing=$(e2e_pixels_differing "$actual" "$expected")
      if [ "$differing" = 0 ]; then
        echo "picture \"$step\" as headless after $(e2e_seconds_since "$start") s"
        return 0
      fi
    fi
    e2e_app_running || e2e_fail "the program ended before the picture \"$step\" appeared"
    # A deadline rather than a count of tries: on a busy machine one
    # screenshot and comparison can take seconds.
    [ "$SECONDS" -lt "$deadline" ] || break
    sleep 0.1
  done
  mkdir -p "$E2E_KEEP_DIR"
  cp "$expected" "$actual" "$E2E_SCRIPT" "$E2E_KEEP_DIR/" 2>/dev/null || true
  "$E2E_COMPARE" "$actual" "$expected" "$E2E_KEEP_DIR/$step.diff.png" 2>/dev/null || true
  e2e_fail "after \"$step\" the window differs from the headless frame in ${differing:-all} pixels;" \
    "see $E2E_KEEP_DIR/$step.{actual,expected,diff}.png"
}

# Waits until the window's client area shows the frame vusk-script draws for
# the script so far with each pixel enlarged to a `factor` x `factor` square
# (ImageMagick's -sample repeats pixels, it does not blend them); fails after
# `seconds` (default 30), keeping both pictures.
e2e_expect_scaled_picture() {
  local wid=$1 step=$2 factor=$3 seconds=${4:-30}
  local expected=$E2E_WORK/$step.expected.png actual=$E2E_WORK/$step.actual.png
  local deadline=$((SECONDS + seconds)) differing=""
  e2e_headless_shot "$E2E_WORK/$step.frame.png"
  "$E2E_CONVERT" "$E2E_WORK/$step.frame.png" -sample "$((factor * 100))%" "$expected"
  # A deadline rather than a count of tries: comparing pictures this large
  # takes a while by itself.
  while [ "$SECONDS" -lt "$deadline" ]; do
    if e2e_client_shot "$wid" "$actual" 2>/dev/null; then
      differing=$(e2e_pixels_differing "$actual" "$expected")
      if [ "$differing" = 0 ]; then
        echo "picture \"$step\" is the headless frame enlarged ${factor}x"
        return 0
      fi
    fi
    e2e_app_running || e2e_fail "the program ended before the picture \"$step\" appeared"
    sleep 0.1
  done
  mkdir -p "$E2E_KEEP_DIR"
  cp "$expected" "$actual" "$E2E_KEEP_DIR/" 2>/dev/null || true
  e2e_fail "after \"$step\" the window differs from the headless frame enlarged ${factor}x in ${differing:-all} pixels"
}

# Seconds since `start` (from date +%s.%N), to one decimal.
e2e_seconds_since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

# Moves the pointer to (x, y) of the window's client area.
e2e_pointer() { xdotool mousemove --window "$1" "$2" "$3"; }
