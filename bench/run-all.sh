#!/usr/bin/env bash
# Runs every benchmark program of a build, then every comparison script.
#   bench/run-all.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
for src in "$here"/*.cpp; do
  name=$(basename "$src" .cpp)
  if [ -x "$build/$name" ]; then
    echo "== $name"
    "$build/$name"
  fi
done
for script in "$here"/compare-*.sh; do
  [ -e "$script" ] || continue
  echo "== $(basename "$script")"
  "$script" "$build"
done
