#!/usr/bin/env bash
# Runs the shared scenarios (scenarios.sh) on one real program:
#   run_scenarios.sh BUILD_DIR SOURCE_DIR sdl|wine [SCENARIO...]
# "sdl" drives the SDL2 vusk on Xvfb, "wine" each vusk.exe under Wine that
# this machine can run (64-bit, and 32-bit where the kernel allows; built by
# `make win32`); with no SCENARIO, all of them run. Each scenario
# runs in a subshell of its own, so that one failure still lets the others
# run; the log names each with its time, and the benchmark's number.
# Exits 77 (skipped) when the tools or the program are missing. CTest runs
# both drivers as e2e.scenarios.sdl and e2e.scenarios.wine; `ctest -L e2e`
# runs every real-window test, and its log (Testing/Temporary/LastTest.log)
# keeps the benchmark's numbers.
. "$(dirname "$0")/lib.sh"
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
driver=$3
shift 3
. "$E2E_LIB_DIR/scenario_lib.sh"
. "$E2E_LIB_DIR/scenarios.sh"

e2e_require_x
case $driver in
  sdl) sc_setup_sdl ;;
  wine)
    . "$E2E_LIB_DIR/wine_lib.sh"
    sc_setup_wine
    ;;
  *) e2e_fail "unknown driver $driver (sdl or wine)" ;;
esac

names=("$@")
[ ${#names[@]} -ne 0 ] || names=("${SCENARIOS[@]}")
for name in "${names[@]}"; do
  declare -F "scenario_$name" >/dev/null || e2e_fail "no scenario $name"
done
failed=()
for SC_EXE in "${SC_EXES[@]}"; do
  program=$(basename "$SC_EXE")
  for name in "${names[@]}"; do
    start=$(date +%s.%N)
    E2E_KEEP_DIR=$build/e2e-failures/$driver/$program/$name
    # Each scenario keeps its own documents; the window it started is ended
    # however it ends.
    rm -rf "$E2E_REAL" "$E2E_HEADLESS" && mkdir -p "$E2E_REAL" "$E2E_HEADLESS"
    set +e
    (
      set -e
      trap '[ -z "$E2E_APP_PID" ] || kill "$E2E_APP_PID" 2>/dev/null; sc_clipboard_release' EXIT
      "scenario_$name"
    )
    status=$?
    set -e
    if [ "$status" = 0 ]; then
      echo "scenario $name ($program): passed in $(e2e_seconds_since "$start") s"
    else
      echo "scenario $name ($program): FAILED after $(e2e_seconds_since "$start") s"
      failed+=("$program:$name")
    fi
  done
done
[ ${#failed[@]} -eq 0 ] || e2e_fail "scenarios failed: ${failed[*]}"
echo "ok: ${#names[@]} scenarios on ${SC_EXES[*]##*/}"
