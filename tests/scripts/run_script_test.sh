#!/usr/bin/env bash
# Runs one scripted case, tests/scripts/NAME.vsk, through vusk-script in a
# scratch directory holding a copy of tests/scripts/data/ and of the script,
# and compares its transcript (standard output) with NAME.expected.
#
# Comment lines of the script may say how to run it:
#   # file: NAME       the document named on the command line (from data/)
#   # status: N        the exit status expected (default 0)
#   # stdin            the script is read from standard input ("-")
#   # options: ...     options for the driver before the script (--timings)
# When NAME.stderr exists, standard error must equal it; otherwise a run
# expected to succeed must print nothing there (except with options).
# An executable NAME.check then runs with the scratch directory as its
# argument and VUSK_SCRIPT naming the driver, to inspect what the run left
# behind (a doc dump, a shot) or to run the driver again.
set -euo pipefail
driver=$1
script=$2
case $driver in /*) ;; *) driver=$PWD/$driver ;; esac
dir=$(cd "$(dirname "$script")" && pwd)
name=$(basename "$script" .vsk)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$dir/data/." "$work/" 2>/dev/null || true
cp "$script" "$work/$name.vsk"
cd "$work"

setting() { sed -n "s/^# $1: *//p" "$name.vsk" | head -1; }
file=$(setting file)
want_status=$(setting status)
want_status=${want_status:-0}
read -r -a options <<<"$(setting options)"
args=("${options[@]}")
if grep -qx '# stdin' "$name.vsk"; then args+=(-); else args+=("$name.vsk"); fi
if [ -n "$file" ]; then args+=("$file"); fi

status=0
if grep -qx '# stdin' "$name.vsk"; then
  "$driver" "${args[@]}" <"$name.vsk" >transcript 2>stderr || status=$?
else
  "$driver" "${args[@]}" >transcript 2>stderr </dev/null || status=$?
fi

failed=0
if ! diff -u "$dir/$name.expected" transcript; then failed=1; fi
if [ "$status" != "$want_status" ]; then
  echo "exit status $status, expected $want_status"
  failed=1
fi
if [ -f "$dir/$name.stderr" ]; then
  if ! diff -u "$dir/$name.stderr" stderr; then failed=1; fi
elif [ "$want_status" = 0 ] && [ ${#options[@]} -eq 0 ] && [ -s stderr ]; then
  echo "unexpected standard error output"
  failed=1
fi
if [ "$failed" != 0 ]; then
  echo "--- stderr:"; cat stderr
  exit 1
fi
if [ -x "$dir/$name.check" ]; then
  VUSK_SCRIPT=$driver "$dir/$name.check" "$work" || exit 1
fi
exit 0
