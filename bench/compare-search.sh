#!/usr/bin/env bash
# Searching against grep on the same 100 MB text, all in the OS cache: our
# search timed inside one process (bench_search, median of the repetitions),
# grep as a whole process (median of $RUNS runs), for each pattern that never
# matches: forwards from the top against `grep -F -c`, folded against
# `grep -F -i -c`. Also the time to a hit 50 MB ahead, against its own limit.
# "ours" is the whole F3 on the running editor with the text loaded (key,
# dispatcher, search, view moved and redrawn, presented); "match only" is the
# byte matching alone, for scale.
#
#   bench/compare-search.sh [BUILD_DIR]
#
# grep's output is piped: written to /dev/null, grep stops at the first
# match, even with -c. It runs in the C locale, its fastest.
set -euo pipefail
build=${1:-build}
runs=${RUNS:-5}
command -v grep >/dev/null || { echo "compare-search: grep is missing" >&2; exit 1; }
export LC_ALL=C
. "$(dirname "$0")/lib.sh"
bench_scratch

file="$work/search.txt"
"$build/bench_search" --make-file "$file"
cat "$file" > /dev/null
mapfile -t patterns < <("$build/bench_search" --patterns)

# grep -c exits 1 when it counts nothing; only its time matters here.
run_grep() { grep -F "$@" -c -- "$pattern" "$file" | cat > /dev/null || true; }

ours=$(VUSK_BENCH_FILES="$work" "$build/bench_search" \
  --benchmark_filter='^BM_(Search|Command)(NoMatch|NoMatchFold|Hit50MB)/' \
  --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null)

printf '%-40s %10s %10s %10s %8s %8s\n' "work (file in $BENCH_DIR)" "match only" "ours ms" "grep ms" "ratio" "target"
row() { # label, match only, ours, tool, target
  awk -v l="$1" -v m="$2" -v o="$3" -v t="$4" -v g="$5" \
    'BEGIN { r = o / t; printf "%-40s %10.1f %10.1f %10.1f %8.2f %8s  %s\n", l, m, o, t, r, "<= " g, (r <= g ? "met" : "MISSED") }'
}
for i in "${!patterns[@]}"; do
  pattern=${patterns[$i]}
  for opt in "" "-i"; do
    count=$(grep -F $opt -c -- "$pattern" "$file" || true)
    [ "$count" = 0 ] || { echo "compare-search: \"$pattern\" matches $count lines" >&2; exit 1; }
  done
  row "no match \"$pattern\" / grep -F -c" "$(our_ms "BM_SearchNoMatch/$i")" "$(our_ms "BM_CommandNoMatch/$i")" \
    "$(median_ms run_grep)" 1.0
  row "folded \"$pattern\" / grep -F -i -c" "$(our_ms "BM_SearchNoMatchFold/$i")" \
    "$(our_ms "BM_CommandNoMatchFold/$i")" "$(median_ms run_grep -i)" 1.0
done
for fold in 0 1; do
  label="hit 50 MB ahead, redrawn"
  if [ "$fold" = 1 ]; then label+=", folded"; fi
  awk -v l="$label" -v m="$(our_ms "BM_SearchHit50MB/$fold")" -v o="$(our_ms "BM_CommandHit50MB/$fold")" \
    'BEGIN { printf "%-40s %10.1f %10.1f %10s %8s %8s  %s\n", l, m, o, "-", "-", "<= 30ms", (o <= 30 ? "met" : "MISSED") }'
done
