# Sourced by the end-to-end tests that run vusk.exe under Wine, after lib.sh.
# SOURCE_DIR must be set.
. "$source_dir/tests/win32/wine_env.sh"

# Skips the test (exit 77) unless Wine's commands and the given extra tools
# are installed.
e2e_wine_require() {
  local tool
  for tool in wine wineboot wineserver winepath "$@"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
  done
}

# Copies the vusk.exe builds this machine can run into $E2E_BIN as
# vusk64.exe / vusk32.exe and lists their widths in E2E_WINE_BITS, 64 first;
# skips the test when there is none.
e2e_wine_exes() {
  local bits
  E2E_WINE_BITS=()
  for bits in 64 32; do
    if [ "$bits" = 32 ] && [ "$WINE_RUNS_32BIT" = 0 ]; then
      echo "this kernel cannot run 32-bit programs: vusk.exe (32-bit) left out"
      continue
    fi
    if [ -f "$source_dir/build-win$bits/vusk.exe" ]; then
      cp "$source_dir/build-win$bits/vusk.exe" "$E2E_BIN/vusk$bits.exe"
      E2E_WINE_BITS+=("$bits")
    fi
  done
  [ ${#E2E_WINE_BITS[@]} -ne 0 ] || { echo "skipped: no vusk.exe this machine can run (make win32)"; exit 77; }
}

# A fresh Wine prefix in the scratch folder, ended with the test. Windows are
# unmanaged: with no window manager, a managed one would make every close
# slow and send keys to the window under the pointer.
e2e_wine_prefix() {
  export WINEPREFIX=$E2E_WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  trap 'wineserver -k >/dev/null 2>&1; e2e_cleanup' EXIT
  local start
  start=$(date +%s.%N)
  timeout 120 wineboot -i >"$E2E_WORK/wineboot.log" 2>&1 || e2e_fail "wineboot: $(cat "$E2E_WORK/wineboot.log")"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || e2e_fail "cannot set Managed=N"
  wineserver -w
  echo "Wine prefix ready after $(e2e_seconds_since "$start") s"
}
