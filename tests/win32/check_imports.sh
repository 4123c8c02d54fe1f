#!/usr/bin/env bash
# The cross-built exes import only DLLs that every Windows has: the C++ and
# GCC runtimes (libstdc++, libgcc, libwinpthread) are linked in, so that
# vusk.exe runs from any folder on its own. Each zip holds vusk.exe,
# jisfont.bin and unicodefont.bin in one folder.
#   check_imports.sh EXE_OR_ZIP...
# Skipped when objdump for mingw-w64 is missing or nothing was built.
set -euo pipefail
objdump=""
for o in x86_64-w64-mingw32-objdump i686-w64-mingw32-objdump objdump; do
  if command -v "$o" >/dev/null && "$o" --help 2>/dev/null | grep -q 'pei-'; then objdump=$o; break; fi
done
[ -n "$objdump" ] || { echo "skipped: no objdump that reads Windows executables"; exit 77; }
system_dlls='^(kernel32|user32|gdi32|comdlg32|advapi32|shell32|ole32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
checked=0
for f in "$@"; do
  [ -f "$f" ] || continue
  case $f in
    *.zip)
      listing=$(unzip -Z1 "$f" | sort | tr '\n' ' ')
      [ "$listing" = "vusk/ vusk/jisfont.bin vusk/unicodefont.bin vusk/vusk.exe " ] || { echo "FAIL: $f holds: $listing" >&2; exit 1; } ;;
    *)
      dlls=$("$objdump" -p "$f" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
      [ -n "$dlls" ] || { echo "FAIL: $f imports no DLL at all: not a Windows program?" >&2; exit 1; }
      foreign=$(echo "$dlls" | grep -Ev "$system_dlls" || true)
      [ -z "$foreign" ] || { echo "FAIL: $f needs DLLs Windows lacks: $foreign" >&2; exit 1; }
      echo "$f imports: $(echo "$dlls" | tr '\n' ' ')" ;;
  esac
  checked=$((checked + 1))
done
[ "$checked" -gt 0 ] || { echo "skipped: nothing built (make win32)"; exit 77; }
echo "ok: $checked checked"
