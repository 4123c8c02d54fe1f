#!/usr/bin/env bash
# Installs the Debian packages that a purpose needs and this machine lacks.
#   install-deps.sh run    building and running Vusk (SDL2, fonts, Unicode's
#                          data, file dialogs)
#   install-deps.sh test   building and running every test (adds GoogleTest,
#                          clang for the fuzz targets, Xvfb and xdotool,
#                          ImageMagick, mingw-w64 and Wine, and gdb for the
#                          backtrace of a window that never appears)
#   install-deps.sh bench  the benchmarks and their baseline tools
set -euo pipefail
purpose=${1:-test}

common=(cmake make g++ pkg-config libsdl2-dev xfonts-base xfonts-shinonome pcf2bdf unicode-data unifont)
case "$purpose" in
  run)   want=("${common[@]}" zenity) ;;
  test)  want=("${common[@]}" clang googletest libgtest-dev libbenchmark-dev xvfb xdotool x11-utils xclip imagemagick gdb
               g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386 zip unzip dpkg-dev) ;;
  bench) want=("${common[@]}" libbenchmark-dev xxd vim) ;;
  *) echo "usage: $0 run|test|bench" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -o DPkg::Lock::Timeout=600 -qq
$sudo apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}"
