#!/usr/bin/env bash
# Runs one libFuzzer target for a set time from its seed corpus and prints
# one line: executions, coverage (edges) and the outcome.
#   run_fuzz.sh [--grow] TARGET_BINARY CORPUS_DIR SECONDS
# The bounded run works on a copy of the corpus, so that the committed one
# stays as it is; with --grow, the inputs that reached new coverage are
# merged into CORPUS_DIR afterwards. Exits 77 when the target is not built.
set -euo pipefail
grow=0
if [ "${1:-}" = "--grow" ]; then grow=1; shift; fi
bin=$1 corpus=$2 seconds=$3
case $bin in /*) ;; *) bin=$PWD/$bin ;; esac
case $corpus in /*) ;; *) corpus=$PWD/$corpus ;; esac
name=$(basename "$bin")
if [ ! -x "$bin" ]; then
  echo "$name: not built (make fuzz-build)"
  exit 77
fi
work=$(mktemp -d /tmp/vusk-fuzzrun-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
[ -d "$corpus" ] && cp -r "$corpus/." "$work/corpus/"
status=0
(cd "$work" && "$bin" -max_total_time="$seconds" -print_final_stats=1 -timeout=20 -rss_limit_mb=4096 \
  -max_len=4096 -artifact_prefix="$work/artifacts/" corpus) >"$work/log" 2>&1 || status=$?
execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$' || echo 0)
edges=$(grep -o 'cov: [0-9]*' "$work/log" | tail -1 | grep -o '[0-9]*' || echo 0)
if [ "$status" -ne 0 ]; then
  if grep -qE "ERROR|fuzz check failed|SUMMARY" "$work/log"; then
    grep -E "ERROR|fuzz check failed|SUMMARY" "$work/log" | head -20
  else
    tail -5 "$work/log"
  fi
  for a in "$work/artifacts"/*; do
    [ -e "$a" ] || continue
    mkdir -p "${FUZZ_ARTIFACTS:-/tmp}"
    cp "$a" "${FUZZ_ARTIFACTS:-/tmp}/$name-$(basename "$a")"
    echo "input kept: ${FUZZ_ARTIFACTS:-/tmp}/$name-$(basename "$a")"
  done
  echo "$name: $execs executions, $edges edges: FAILED"
  exit 1
fi
if [ "$grow" -eq 1 ]; then
  mkdir -p "$corpus"
  "$bin" -merge=1 -max_len=4096 "$corpus" "$work/corpus" >"$work/merge.log" 2>&1
fi
echo "$name: $execs executions, $edges edges: no failure in ${seconds} s"
