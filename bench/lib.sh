# Sourced by the compare-*.sh scripts: the scratch folder, and timing helpers.

# A scratch folder under $BENCH_DIR (default /dev/shm when it exists, else
# $TMPDIR or /tmp), removed when the script ends; its path goes to `work`.
bench_scratch() {
  if [ -z "${BENCH_DIR:-}" ]; then
    if [ -d /dev/shm ] && [ -w /dev/shm ]; then BENCH_DIR=/dev/shm; else BENCH_DIR=${TMPDIR:-/tmp}; fi
  fi
  work=$(mktemp -d "$BENCH_DIR/vusk-compare-XXXXXX")
  trap 'rm -rf "$work"' EXIT
}

# Median wall time in milliseconds of `runs` calls of a function.
median_ms() {
  local times=() start end
  for ((i = 0; i < runs; i++)); do
    start=$EPOCHREALTIME
    "$@"
    end=$EPOCHREALTIME
    times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", (e - s) * 1000 }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

# The median real time in ms of one benchmark in the CSV held in `ours`.
our_ms() {
  printf '%s\n' "$ours" | awk -F, -v name="\"$1/real_time_median\"" '$1 == name { print $3 }'
}
