#!/usr/bin/env bash
# Runs the cross-built Windows test programs under Wine, all in one fresh
# prefix:  run_under_wine.sh PROGRAM.exe...
# Each program must print a line "ok": a 32-bit program that Wine cannot start
# exits 0 without a word. A 32-bit program must also end with exit code 1 when
# it cannot have a block it asks alloc_or_exit for. Exits 77 (skipped) when
# Wine or every program is missing.
set -uo pipefail

if ! command -v wine >/dev/null || ! command -v wineboot >/dev/null; then
  echo "Wine is not installed: skipped"
  exit 77
fi
. "$(dirname "$0")/wine_env.sh"
present=()
missing=()
for exe in "$@"; do
  if [ "$WINE_RUNS_32BIT" = 0 ] && [ -f "$exe" ] && wine_is_32bit_exe "$exe"; then
    echo "this kernel cannot run 32-bit programs: $exe left out"
    continue
  fi
  if [ -f "$exe" ]; then present+=("$exe"); else missing+=("$exe"); fi
done
if [ ${#present[@]} -eq 0 ]; then
  echo "no Windows build (make win32): skipped"
  exit 77
fi
if [ ${#missing[@]} -ne 0 ]; then
  echo "FAILED: missing ${missing[*]} beside ${present[*]}"
  exit 1
fi

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Console programs need no display; keep Wine away from any X server.
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

start=$(date +%s)
if ! timeout 120 wineboot -i >"$work/wineboot.log" 2>&1; then
  echo "FAILED: wineboot"
  cat "$work/wineboot.log"
  exit 1
fi
echo "Wine prefix ready in $(( $(date +%s) - start )) s"

# Runs one program; its output, without Windows line ends, goes to $work/out
# and to the log, its exit code to $rc.
run() {
  timeout 60 wine "$@" 2>&1 | tr -d '\r' >"$work/out"
  rc=${PIPESTATUS[0]}
  cat "$work/out"
}

status=0
for exe in "${present[@]}"; do
  echo "== $exe"
  run "$exe"
  if [ $rc -ne 0 ] || ! grep -qx 'ok' "$work/out"; then
    echo "FAILED: exit code $rc, or no \"ok\" line"
    status=1
    continue
  fi
  if grep -q '(32-bit)' "$work/out"; then
    run "$exe" alloc-fail
    if [ $rc -ne 1 ] || ! grep -q 'alloc-fail: asking' "$work/out"; then
      echo "FAILED: a refused allocation ended with exit code $rc, not 1"
      status=1
    fi
  fi
done
exit $status
