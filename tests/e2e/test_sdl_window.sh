#!/usr/bin/env bash
# The SDL2 program opens its 1024x768 window titled "Vusk", shows a frame,
# and ends with exit code 0 when it is asked to close.
#   test_sdl_window.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)

e2e_require_x
[ -x "$build/vusk" ] || { echo "skipped: $build/vusk was not built"; exit 77; }
e2e_start_display
cd "$E2E_WORK"
e2e_start_app "$build/vusk"
wid=$(e2e_wait_window '^Vusk$')

size=$(e2e_window_size "$wid")
[ "$size" = 1024x768 ] || e2e_fail "the window is $size, not 1024x768"

e2e_screenshot "$wid" "$E2E_WORK/shot.png"
pixel=$(e2e_pixel "$E2E_WORK/shot.png" 1023 767)
[[ "$pixel" =~ ^[0-9A-Fa-f]{6}$ ]] || e2e_fail "no pixel could be read from the screenshot: '$pixel'"

# SDL turns the termination request into its quit event, which reaches the
# window as a close request, like the close box does.
kill -TERM "$E2E_APP_PID"
e2e_wait_exit 10
[ "$E2E_EXIT_CODE" = 0 ] || e2e_fail "the program ended with code $E2E_EXIT_CODE"
echo "ok: window $size, closed with code 0"
