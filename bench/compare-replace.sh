#!/usr/bin/env bash
# Replace All against sed on the same 100 MB text with 92,000 needles, all
# in the OS cache: our Shift+Enter timed inside one process on the running
# editor (bench_replace, median of the repetitions; the whole command, drawing
# included), `sed "s/needle/pin/g"` as a whole process (median of $RUNS runs,
# its output piped). Also the undo of that Replace All, for scale.
#
#   bench/compare-replace.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
runs=${RUNS:-5}
command -v sed >/dev/null || { echo "compare-replace: sed is missing" >&2; exit 1; }
export LC_ALL=C
. "$(dirname "$0")/lib.sh"
bench_scratch

file="$work/replace.txt"
"$build/bench_replace" --make-file "$file"
cat "$file" > /dev/null
count=$(grep -o needle "$file" | wc -l)
[ "$count" = 92000 ] || { echo "compare-replace: the text holds $count needles" >&2; exit 1; }

run_sed() { sed "s/needle/pin/g" "$file" | cat > /dev/null; }

ours=$(VUSK_BENCH_FILES="$work" "$build/bench_replace" --benchmark_repetitions="$runs" \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null)

printf '%-44s %10s %10s %8s %8s\n' "work (file in $BENCH_DIR)" "ours ms" "sed ms" "ratio" "target"
awk -v o="$(our_ms BM_ReplaceAll)" -v t="$(median_ms run_sed)" \
  'BEGIN { r = o / t; printf "%-44s %10.1f %10.1f %8.2f %8s  %s\n", "Replace All, 92,000 matches / sed s///g", o, t, r, "<= 0.5", (r <= 0.5 ? "met" : "MISSED") }'
awk -v o="$(our_ms BM_UndoReplaceAll)" \
  'BEGIN { printf "%-44s %10.1f %10s %8s %8s\n", "its undo", o, "-", "-", "-" }'
