# Helpers for the end-to-end tests, which run the real program on a private
# Xvfb display and drive it with xdotool. Source this file; it sets up a
# scratch directory ($E2E_WORK) and a trap that ends everything it started.
# A test exits with 77 (skipped) when the X tools are missing.
set -euo pipefail

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_WORK=$(mktemp -d)
E2E_XVFB_PID=""
E2E_APP_PID=""
E2E_CONVERT=/usr/bin/convert
[ -x "$E2E_CONVERT" ] || E2E_CONVERT=convert
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

# Skips the test unless Xvfb, xdotool and ImageMagick's import are installed.
e2e_require_x() {
  local tool
  for tool in Xvfb xdotool import; do
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

# Starts Xvfb on a free display and exports DISPLAY once it is ready.
e2e_start_display() {
  local file="$E2E_WORK/display"
  : >"$file"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$file" 2>"$E2E_WORK/xvfb.log" &
  E2E_XVFB_PID=$!
  e2e_poll 10 grep -q '^[0-9]' "$file" || e2e_fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
  export DISPLAY=":$(head -1 "$file")"
}

# Starts the program in the background, its output in $E2E_WORK/app.log.
e2e_start_app() {
  "$@" >"$E2E_WORK/app.log" 2>&1 &
  E2E_APP_PID=$!
}

e2e_app_running() { kill -0 "$E2E_APP_PID" 2>/dev/null; }

# Prints the id of the visible window whose name matches `regex`, waiting up
# to `seconds` for it (and failing at once if the program ends meanwhile).
e2e_wait_window() {
  local regex=$1 seconds=${2:-10}
  local tries=$((seconds * 20)) wid
  while :; do
    wid=$(xdotool search --onlyvisible --name "$regex" 2>/dev/null | head -1 || true)
    if [ -n "$wid" ]; then
      echo "$wid"
      return 0
    fi
    e2e_app_running || e2e_fail "the program ended before its window \"$regex\" appeared"
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || e2e_fail "no window \"$regex\" within ${seconds}s"
    sleep 0.05
  done
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

# Clicks mouse button 1 at (x, y) of the window.
e2e_click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; }

# Saves a screenshot of the window as PNG.
e2e_screenshot() { import -window "$1" "$2"; }

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
