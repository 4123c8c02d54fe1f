#!/usr/bin/env bash
# The .deb that cpack builds holds what `cmake --install` installs, names its
# library dependencies, and its programs run from where dpkg -x unpacks
# them: vusk-script edits and saves a file headless, and the SDL2 vusk opens
# its window under Xvfb (when the X tools are installed).
#   test_deb.sh BUILD_DIR SOURCE_DIR
. "$(dirname "$0")/../e2e/lib.sh"
build=$(cd "$1" && pwd)
for tool in cpack dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_WORK/pkg" >"$E2E_WORK/cpack.log" 2>&1 ||
  e2e_fail "cpack failed: $(cat "$E2E_WORK/cpack.log")"
deb=$(ls "$E2E_WORK"/pkg/vusk_*.deb)

# The package's files are exactly those of an install under a prefix.
DESTDIR="$E2E_WORK/destdir" cmake --install "$build" --prefix /usr >/dev/null
(cd "$E2E_WORK/destdir" && find . -type f | sort) >"$E2E_WORK/installed.txt"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$E2E_WORK/packaged.txt"
diff "$E2E_WORK/installed.txt" "$E2E_WORK/packaged.txt" || e2e_fail "the package and the install differ"
for f in ./usr/bin/vusk ./usr/bin/vusk-script ./usr/share/applications/vusk.desktop \
         ./usr/share/icons/hicolor/48x48/apps/vusk.png; do
  grep -qx "$f" "$E2E_WORK/packaged.txt" || e2e_fail "the package lacks $f"
done
for font in jisfont.bin unicodefont.bin; do
  if [ -f "$build/$font" ]; then
    grep -qx "./usr/share/vusk/$font" "$E2E_WORK/packaged.txt" || e2e_fail "the package lacks the built $font"
  fi
done
dpkg-deb -f "$deb" Depends | grep -q libsdl2 || e2e_fail "the package does not depend on SDL2: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Recommends | grep -qw zenity || e2e_fail "the package does not recommend zenity: $(dpkg-deb -f "$deb" Recommends)"
grep -qx 'MimeType=text/plain;' "$E2E_WORK/destdir/usr/share/applications/vusk.desktop" ||
  e2e_fail "the desktop entry does not open text/plain"
icon=$E2E_WORK/destdir/usr/share/icons/hicolor/48x48/apps/vusk.png
[ "$(od -An -tx1 -N8 "$icon" | tr -d ' ')" = 89504e470d0a1a0a ] || e2e_fail "the icon is not a PNG"

root=$E2E_WORK/root
dpkg -x "$deb" "$root"

# Headless: type before the file's text and save it through the File menu.
mkdir "$E2E_WORK/docs"
cd "$E2E_WORK/docs"
printf 'abc\r\n' >note.txt
printf '%s\n' 'type Hi ' 'key alt Enter s' >edit.vsk
"$root/usr/bin/vusk-script" edit.vsk note.txt >transcript.txt 2>&1 || e2e_fail "vusk-script failed: $(cat transcript.txt)"
grep -qx 'status File saved.' transcript.txt || e2e_fail "no save reported: $(cat transcript.txt)"
grep -qx 'exit 0' transcript.txt || e2e_fail "no clean exit: $(cat transcript.txt)"
[ "$(cat note.txt)" = $'Hi abc\r' ] || e2e_fail "saved: $(od -c note.txt)"

# The SDL2 program from the package opens a file in its window.
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  e2e_start_display
  e2e_start_app "$root/usr/bin/vusk" note.txt
  e2e_wait_window '^note.txt - Vusk$' 30 >/dev/null
  e2e_close_app
  echo "ok: the unpacked vusk opened its window"
fi
echo "ok: $(basename "$deb") holds the installed files and its vusk-script edits and saves"
