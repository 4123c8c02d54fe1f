# Sourced by the tests that run Windows programs under Wine. Debian's `wine`
# command prefers the 32-bit loader whenever wine32 is installed, but some
# kernels cannot execute 32-bit programs at all (no IA-32 emulation): the
# loader then fails with "Exec format error" and even wineboot never starts.
# On such a machine the 64-bit loader is put first on PATH under the usual
# command names, and WINE_RUNS_32BIT=0 tells the caller to leave 32-bit
# programs out, saying so.
WINE_RUNS_32BIT=1
wine_use_64bit_loader() {
  local loader=/usr/lib/wine/wine64 shims
  [ -x "$loader" ] || loader=$(command -v wine64 2>/dev/null) || return 1
  shims=$(mktemp -d)
  printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$shims/wine"
  for tool in wineboot winepath; do
    printf '#!/bin/sh\nexec %s %s.exe "$@"\n' "$loader" "$tool" >"$shims/$tool"
  done
  chmod +x "$shims"/*
  export PATH=$shims:$PATH WINELOADER=$loader
}
if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  WINE_RUNS_32BIT=0
  wine_use_64bit_loader || true
fi
# True when the Windows program $1 is a 32-bit (i386) one: the machine field
# of its PE header is 0x014C.
wine_is_32bit_exe() {
  local pe machine
  pe=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return 1
  machine=$(od -An -t x2 -j $((pe + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  [ "$machine" = 014c ]
}
