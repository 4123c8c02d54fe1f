#!/usr/bin/env bash
# Runs one scripted case: tests/scripts/NAME.vsk through vusk-script, in a
# scratch directory, and compares the transcript with NAME.expected. A script
# may name its document with a first line "# file: NAME" (a file beside it).
set -euo pipefail
driver=$1
script=$2
dir=$(cd "$(dirname "$script")" && pwd)
name=$(basename "$script" .vsk)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$dir/data/." "$work/" 2>/dev/null || true
cd "$work"
file=$(sed -n 's/^# file: //p' "$script" | head -1)
status=0
"$driver" "$script" $file >"$work/transcript" 2>"$work/stderr" || status=$?
expected="$dir/$name.expected"
if ! diff -u "$expected" "$work/transcript"; then
  echo "--- stderr:"; cat "$work/stderr"
  exit 1
fi
# A check script may inspect the outputs the run left behind.
if [ -x "$dir/$name.check" ]; then
  "$dir/$name.check" "$work" || exit 1
fi
exit 0
