#!/usr/bin/env bash
# The column paste of a 1 MB transfer file of 17,720 lines into a 100 MB
# Document (also right after a load, when the text must move into a larger
# block), and its undo and redo, each against the same for Shift+Insert
# of that file (bench_paste, medians of the repetitions).
#
#   bench/compare-paste.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${RUNS:-3}
[ -x "$build/bench_paste" ] || { echo "compare-paste: $build/bench_paste is missing" >&2; exit 1; }
ours=$("$build/bench_paste" --benchmark_format=csv --benchmark_repetitions="$runs" \
  --benchmark_report_aggregates_only=true 2>/dev/null)
# The median in ms of a benchmark (named with its iterations, in ms).
median() { printf '%s\n' "$ours" | awk -F, -v name="\"$1/" 'index($1, name) == 1 && $1 ~ /_median"$/ { print $3 }'; }

printf '%-26s %12s %14s %8s %10s\n' work "column ms" "Shift+Ins ms" ratio target
for step in ":the paste" "AsLoaded:the paste after a load" "Undo:its undo" "Redo:its redo"; do
  column=$(median "BM_ColumnPaste${step%%:*}")
  plain=$(median "BM_ShiftInsert${step%%:*}")
  awk -v l="${step#*:}" -v c="$column" -v p="$plain" 'BEGIN {
    printf "%-26s %12.1f %14.1f %8.2f %10s  %s\n", l, c, p, c / p, "<= 1000 ms", (c <= 1000 ? "met" : "MISSED") }'
done
