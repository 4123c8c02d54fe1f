#!/usr/bin/env bash
# Loading and saving against standard tools on the same files, all in the OS
# cache: our routines timed inside one process (bench_files, median of the
# repetitions), each tool as a whole process (median of $RUNS runs).
#
#   bench/compare-files.sh [BUILD_DIR]
#
# Files go to a scratch directory under $BENCH_DIR (default /dev/shm when it
# exists, else $TMPDIR or /tmp). On a disk filesystem the saves also pay for
# forcing their bytes to the disk, which the tools do not do.
set -euo pipefail
build=${1:-build}
runs=${RUNS:-5}
for tool in vim xxd cat; do
  command -v "$tool" >/dev/null || { echo "compare-files: $tool is missing (tools/install-deps.sh bench)" >&2; exit 1; }
done
. "$(dirname "$0")/lib.sh"
bench_scratch

"$build/bench_files" --make-files "$work"
xxd "$work/random.bin" > "$work/random.xxd"
cat "$work"/* > /dev/null

run_vim()   { rm -f "$work/.text.txt.swp"; vim -es -c q "$work/text.txt" < /dev/null; }
run_xxd()   { xxd "$work/random.bin" > /dev/null; }
run_xxd_r() { xxd -r "$work/random.xxd" > "$work/tool.bin"; }
run_cat()   { cat "$work/text.txt" > "$work/tool.txt"; }

ours=$(VUSK_BENCH_FILES="$work" "$build/bench_files" \
  --benchmark_filter='^BM_(TextLoad|HexLoad|HexToBinarySave|TextSave)/' \
  --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null)

vim_ms=$(median_ms run_vim)
xxd_ms=$(median_ms run_xxd)
xxd_r_ms=$(median_ms run_xxd_r)
cat_ms=$(median_ms run_cat)

printf '%-34s %10s %10s %8s %8s\n' "work (files in $BENCH_DIR)" "ours ms" "tool ms" "ratio" "target"
row() { # label, ours, tool, target
  awk -v l="$1" -v o="$2" -v t="$3" -v g="$4" \
    'BEGIN { r = o / t; printf "%-34s %10.1f %10.1f %8.2f %8s  %s\n", l, o, t, r, "<= " g, (r <= g ? "met" : "MISSED") }'
}
row "text load 100 MB / vim -es -c q" "$(our_ms BM_TextLoad)" "$vim_ms" 0.5
row "hex-listing load 16 MB / xxd" "$(our_ms BM_HexLoad)" "$xxd_ms" 0.3
row "listing -> binary save / xxd -r" "$(our_ms BM_HexToBinarySave)" "$xxd_r_ms" 0.2
row "text save 100 MB / cat > file" "$(our_ms BM_TextSave)" "$cat_ms" 2.0
