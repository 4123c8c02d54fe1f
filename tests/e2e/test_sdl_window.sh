#!/usr/bin/env bash
# The SDL2 program opens its 1024x768 window titled "NAME - Vusk" with the
# document NAME named on its command line, shows exactly the frame the
# headless driver draws for that file (title bar, menu bar, text, scroll
# buttons, bottom bar), follows resizes as the headless driver does but never
# gets smaller than the least frame, and ends with exit code 0 when it is
# asked to close. A name in CP932 shows in the title as UTF-8. With no
# display at all it refuses to start.
#   test_sdl_window.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)

e2e_require_x
e2e_copy_programs "$build" vusk vusk-script
e2e_document small.txt $'Hello world\r\nsecond line\r\n\tthird, after a tab\r\n'

# Without a display the program says so and ends, rather than running
# forever on SDL's offscreen driver with no window to see.
status=0
(cd "$E2E_REAL" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 30 "$E2E_BIN/vusk" "$E2E_FILE") \
  >"$E2E_WORK/no-display.log" 2>&1 || status=$?
if [ "$status" != 1 ] || ! grep -qx 'vusk: no display (DISPLAY is not set)' "$E2E_WORK/no-display.log"; then
  e2e_fail "with DISPLAY unset the program ended with code $status, saying: $(cat "$E2E_WORK/no-display.log")"
fi

e2e_start_display
# The display outlives its clients: what one client left on the root window
# is there for the next. One that reset itself when its last client left
# refused the program started just then (the suite's rare "no window").
xprop -root -f _VUSK_E2E 8s -set _VUSK_E2E kept
xprop -root _VUSK_E2E | grep -q '"kept"' || e2e_fail "the display reset itself when its last client left"
cd "$E2E_REAL"
e2e_start_app "$E2E_BIN/vusk" "$E2E_FILE"
wid=$(e2e_wait_window '^small\.txt - Vusk$' 30)

size=$(e2e_window_size "$wid")
[ "$size" = 1024x768 ] || e2e_fail "the window is $size, not 1024x768"

e2e_expect_picture "$wid" start-up
# The frame compared with is not blank where the title and the first line go.
for strip in 1024x18+0+0 1024x16+0+36; do
  colours=$("$E2E_CONVERT" "$E2E_WORK/start-up.expected.png" -crop "$strip" +repage -format '%k' info:)
  [ "$colours" -gt 1 ] || e2e_fail "the start-up frame shows nothing in $strip"
done

# Resizing rebuilds the frame and shows it whole. Made smaller than the
# least frame, the window goes back to that size (there is no window manager
# here to refuse it), so the bars' right ends stay in sight.
xdotool windowsize "$wid" 800 600
e2e_script 'resize 800 600'
e2e_expect_picture "$wid" resized
xdotool windowsize "$wid" 300 200
e2e_poll 10 sh -c "xdotool getwindowgeometry $wid | grep -q 'Geometry: 624x288\$'" ||
  e2e_fail "made 300x200, the window is $(e2e_window_size "$wid"), not 624x288"
e2e_script 'resize 300 200'
e2e_expect_picture "$wid" least-size

# A close request, like the close box's.
e2e_close_app

# The CP932 bytes of a name (half-width ｱ, then あ) show in the title as the
# characters they stand for.
name=$'\xb1\x82\xa0.txt'
printf 'x\r\n' >"$name"
e2e_start_app "$E2E_BIN/vusk" "$name"
wid=$(e2e_wait_window 'txt - Vusk$' 30)
title=$(xdotool getwindowname "$wid")
[ "$title" = "ｱあ.txt - Vusk" ] || e2e_fail "the title is \"$title\", not \"ｱあ.txt - Vusk\""
e2e_close_app
# A UTF-8 name, as Linux names are, shows as it is.
printf 'x\r\n' >café.txt
e2e_start_app "$E2E_BIN/vusk" café.txt
wid=$(e2e_wait_window 'txt - Vusk$' 30)
title=$(xdotool getwindowname "$wid")
[ "$title" = "café.txt - Vusk" ] || e2e_fail "the title is \"$title\", not \"café.txt - Vusk\""
e2e_close_app
echo "ok: window $size showing $E2E_FILE as the headless frame does, never below 624x288," \
  "titled by its document, closed with code 0"
