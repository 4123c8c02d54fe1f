#!/usr/bin/env bash
# A large document: 100 MB of about 1.7 million CR LF lines. The commands on
# line 10 (bench_large, medians of the repetitions), the peak resident memory
# after the load, the load against vim's, and one whole session side by side
# with vim: load, go to line 10, type 100 characters, save and quit.
#
#   bench/compare-large.sh [BUILD_DIR]
#
# Files go to a scratch directory under $BENCH_DIR (default /dev/shm when it
# exists, else $TMPDIR or /tmp).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${RUNS:-5}
command -v vim >/dev/null || { echo "compare-large: vim is missing (tools/install-deps.sh bench)" >&2; exit 1; }
. "$(dirname "$0")/lib.sh"
bench_scratch

"$build/bench_large" --make-file "$work/large.txt"
ln -s large.txt "$work/text.txt"  # the name bench_files loads
cat "$work/large.txt" > /dev/null

ours=$(VUSK_BENCH_FILES="$work" "$build/bench_large" --benchmark_format=csv \
  --benchmark_report_aggregates_only=true 2>/dev/null)
load=$(VUSK_BENCH_FILES="$work" "$build/bench_files" --benchmark_filter='^BM_TextLoad/' \
  --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null)
read -r peak size < <("$build/bench_large" --peak-rss "$work/large.txt")

run_vim_load() { rm -f "$work/.large.txt.swp"; vim -u NONE -es -c q "$work/large.txt" < /dev/null; }
vim_load_ms=$(median_ms run_vim_load)

# One session each, on a fresh copy of the file; only the program is timed.
typed=$(printf 'x%.0s' $(seq 100))
printf 'type %s\nkey alt Enter s\nclose\n' "$typed" > "$work/session.vsk"
for ((k = 0; k < 10; k++)); do sed -i '1i key Down' "$work/session.vsk"; done
session_ms() { # program...
  local times=() start end
  for ((i = 0; i < runs; i++)); do
    cp "$work/large.txt" "$work/edited.txt"
    rm -f "$work/.edited.txt.swp"
    start=$EPOCHREALTIME
    "$@" > /dev/null 2>&1 < /dev/null
    end=$EPOCHREALTIME
    times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", (e - s) * 1000 }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}
vim_session_ms=$(session_ms vim -u NONE -es -c 11 -c "normal! i$typed" -c wq "$work/edited.txt")
our_session_ms=$(cd "$work" && session_ms "$build/vusk-script" session.vsk edited.txt)
[ "$(sed -n 11p "$work/edited.txt" | head -c 100)" = "$typed" ] || echo "compare-large: the session did not type on line 11 (line 10 counted from 0)" >&2

printf '%-40s %12s %10s\n' "work (file in $BENCH_DIR)" "measured" "target"
echo "commands: the mean per command over 100 (one median command in brackets)"
target() { # label, value, limit, unit[, note]
  awk -v l="$1" -v v="$2" -v g="$3" -v u="$4" -v n="${5:-}" \
    'BEGIN { printf "%-40s %12.3f %10s  %s %s\n", l, v, "<= " g " " u, (v <= g ? "met" : "MISSED"), n }'
}
command_target() { # label, benchmark, limit in ms
  target "$1" "$(ms "$2")" "$3" ms "($(command_median_ms "$2") ms)"
}
# The median of a benchmark of bench_large (named with its iterations and
# repetitions, in its own time unit).
median() { printf '%s\n' "$ours" | awk -F, -v name="\"$1/" 'index($1, name) == 1 && $1 ~ /_median"$/ { print $3 }'; }
ms() { awk -v us="$(median "$1")" 'BEGIN { print us / 1000 }'; }
# The median of the repetitions' per-command medians (a counter), in ms.
command_median_ms() {
  printf '%s\n' "$ours" | awk -F, -v name="\"$1/" '
    $1 == "name" { for (i = 1; i <= NF; i++) if ($i == "\"median_us\"") col = i }
    index($1, name) == 1 && $1 ~ /_median"$/ { print $col / 1000 }'
}
command_target "typing on line 10, per character" BM_TypeOnLine10 0.2
command_target "  the same in Shift_JIS mode" BM_TypeOnLine10ShiftJis 0.2
ratio() { # label, benchmark, the Shift_JIS benchmark
  awk -v l="$1" -v u="$(median "$2")" -v j="$(median "$3")" 'BEGIN { printf "%-40s %12.3f\n", l, u / j }'
}
ratio "  UTF-8 / Shift_JIS" BM_TypeOnLine10 BM_TypeOnLine10ShiftJis
command_target "typing é at the end of a 1 MB line of é" BM_TypeAtEndOf1MBLine 2
command_target "  the same in Shift_JIS mode" BM_TypeAtEndOf1MBLineShiftJis 2
ratio "  UTF-8 / Shift_JIS" BM_TypeAtEndOf1MBLine BM_TypeAtEndOf1MBLineShiftJis
command_target "redrawing the whole view (44 rows)" BM_RedrawView 1
command_target "  the same in Shift_JIS mode" BM_RedrawViewShiftJis 1
ratio "  UTF-8 / Shift_JIS" BM_RedrawView BM_RedrawViewShiftJis
command_target "Enter on line 10" BM_EnterOnLine10 2
command_target "Backspace joining line 11 to 10" BM_BackspaceJoinOnLine10 0.5
command_target "  the same in Shift_JIS mode" BM_BackspaceJoinOnLine10ShiftJis 0.5
ratio "  UTF-8 / Shift_JIS" BM_BackspaceJoinOnLine10 BM_BackspaceJoinOnLine10ShiftJis
target "Delete of a 1 MB selection" "$(median BM_DeleteSelection1MB)" 30 ms "($(command_median_ms BM_DeleteSelection1MB) ms)"
command_target "PageDown" BM_PageDown 1
command_target "Ctrl+End to the last line" BM_CtrlEndToLastLine 1
target "peak resident memory / file size" "$(awk -v p="$peak" -v s="$size" 'BEGIN { print p / s }')" 1.25 ""
ours=$load
target "text load / vim -u NONE -es -c q" "$(awk -v o="$(our_ms BM_TextLoad)" -v v="$vim_load_ms" 'BEGIN { print o / v }')" 0.3 ""
echo "  (text load $(our_ms BM_TextLoad) ms, vim $vim_load_ms ms)"
target "session / vim's session" "$(awk -v o="$our_session_ms" -v v="$vim_session_ms" 'BEGIN { print o / v }')" 0.5 ""
echo "  (vusk-script $our_session_ms ms, vim $vim_session_ms ms)"
