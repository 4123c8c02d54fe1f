#!/usr/bin/env bash
# vusk.exe (64-bit) under Wine on a private Xvfb display: 50 characters typed
# at the top of a 50 MB CR LF text, then a save from the File menu, against
# the save alone. Each run times from the first key sent until the saved
# file shows the change, so the typing's share is the difference between
# the two, divided by 50; xdotool's own time to send the keys is in it, so
# the figure is an upper bound. SIZE=4096 gives that floor on a small text.
#
#   [SIZE=BYTES] bench/wine-typing.sh BENCH_BUILD_DIR SOURCE_DIR
#
# BENCH_BUILD_DIR holds bench_large (for the text); vusk.exe comes from
# SOURCE_DIR/build-win64 (make win32).
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
. "$source_dir/tests/e2e/lib.sh"
e2e_require_x
. "$source_dir/tests/e2e/wine_lib.sh"
e2e_wine_require
[ -f "$source_dir/build-win64/vusk.exe" ] || { echo "wine-typing: no build-win64/vusk.exe (make win32)" >&2; exit 1; }
runs=${RUNS:-3}
size=${SIZE:-$((50 << 20))}

"$build/bench_large" --make-file "$E2E_WORK/large.txt"
head -c "$size" "$E2E_WORK/large.txt" >"$E2E_WORK/pristine.txt"
rm "$E2E_WORK/large.txt"
cp "$source_dir/build-win64/vusk.exe" "$E2E_BIN/"
e2e_start_display
e2e_wine_prefix
typed=$(printf 'x%.0s' $(seq 50))

# One run: the program on a fresh copy, `keys` typed (none: the save alone),
# then File, Save; prints the ms from the first key to the changed file.
one_run() {
  local keys=$1 wid start end
  cp "$E2E_WORK/pristine.txt" "$E2E_REAL/text.txt"
  cd "$E2E_REAL"
  e2e_start_app wine "$E2E_BIN/vusk.exe" text.txt
  wid=$(e2e_wait_window '^text\.txt - Vusk$' 120)
  e2e_focus "$wid"
  local before check
  before=$(stat -c %y "$E2E_REAL/text.txt")
  check="[ \"\$(stat -c %y text.txt)\" != '$before' ]"
  [ -z "$keys" ] || check="$check && head -c ${#keys} text.txt | grep -qx '$keys'"
  start=$EPOCHREALTIME
  [ -z "$keys" ] || xdotool type --delay 0 "$keys"
  xdotool key --delay 20 alt Return s
  e2e_poll 120 sh -c "$check" ||
    e2e_fail "no save with the typed text within 120 s"
  end=$EPOCHREALTIME
  e2e_key "$wid" alt+F4
  e2e_wait_exit 60
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f\n", (e - s) * 1000 }'
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
typing=$(for ((i = 0; i < runs; i++)); do one_run "$typed"; done | median)
saving=$(for ((i = 0; i < runs; i++)); do one_run ""; done | median)
echo "vusk.exe under Wine, $size-byte text: 50 characters and a save $typing ms, the save alone $saving ms"
awk -v t="$typing" -v s="$saving" 'BEGIN { printf "per character (upper bound): %.2f ms\n", (t - s) / 50 }'
