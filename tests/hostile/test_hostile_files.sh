#!/usr/bin/env bash
# Real conditions on Linux, each run through vusk-script: a full file system,
# `ulimit -f`, files that change while they load, devices, pipes, sockets
# and folders named as the document, a 4 GiB sparse file, long names and
# names with every byte, a huge or endless transfer file, a 1 MB clipboard,
# and extreme window sizes. Every case must end with exit 0 and lose nothing.
#   test_hostile_files.sh VUSK_SCRIPT
set -uo pipefail
driver=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d /tmp/vusk-hostile-XXXXXX)
mounted=""
cleanup() {
  [ -n "$mounted" ] && umount "$mounted" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
passed=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
pass() {
  echo "ok: $*"
  passed=$((passed + 1))
}

# Runs the script on standard input in directory $1 with the optional file
# $2 on the command line; the transcript goes to $1/transcript. A run that
# does not end within LIMIT seconds (default 120) counts as a hang.
run() {
  local dir=$1 file=${2:-}
  local args=(-)
  [ -n "$file" ] && args+=("$file")
  (cd "$dir" && timeout "${LIMIT:-120}" "$driver" "${args[@]}" >transcript 2>stderr)
}

# Whether the transcript of $1 holds the line $2.
has_line() { grep -qxF -- "$2" "$1/transcript"; }

# The folder's entries, hidden ones included, without the run's own files.
entries() { (cd "$1" && ls -A | grep -vx -e transcript -e stderr | tr '\n' ' '); }

# A failed save: the box, no "File saved.", the old bytes, nothing beside.
expect_failed_save() {
  local what=$1 dir=$2 target=$3 old=$4 status=$5 before=$6
  if [ "$status" -ne 0 ]; then fail "$what: exit $status"; return; fi
  has_line "$dir" "box error!?: $target" || { fail "$what: no error box"; return; }
  if has_line "$dir" "status File saved."; then fail "$what: reported as saved"; return; fi
  cmp -s "$old" "$dir/$target" || { fail "$what: the old bytes are gone"; return; }
  [ "$(entries "$dir")" = "$before" ] || { fail "$what: left behind: $(entries "$dir")"; return; }
  pass "$what"
}

case_file_size_limit() {
  local d=$work/fsize
  mkdir -p "$d"
  head -c 300000 /dev/zero | tr '\0' 'x' >"$d/big.txt"
  echo original >"$d/out.txt"
  cp "$d/out.txt" "$work/fsize.old"
  local before
  before=$(entries "$d")
  # The signal is left at its default here: the program must not die of it.
  local status=0
  (ulimit -f 100 && printf 'answer save out.txt\nkey alt Enter a\n' | run "$d" big.txt) || status=$?
  expect_failed_save "ulimit -f: save as" "$d" out.txt "$work/fsize.old" "$status" "$before"
  # In place, behind a backup: a file with a second link.
  ln "$d/out.txt" "$d/link.txt"
  before=$(entries "$d")
  status=0
  (ulimit -f 100 && printf 'answer save out.txt\nkey alt Enter a\n' | run "$d" big.txt) || status=$?
  expect_failed_save "ulimit -f: save in place" "$d" out.txt "$work/fsize.old" "$status" "$before"
}

case_full_file_system() {
  local d=$work/full
  mkdir -p "$d"
  if ! mount -t tmpfs -o size=256k tmpfs "$d" 2>/dev/null; then
    echo "skipped: full file system (no tmpfs mount here)"
    return
  fi
  mounted=$d
  head -c 1000000 /dev/zero | tr '\0' 'y' >"$work/big.txt"
  echo "the old contents" >"$d/doc.txt"
  cp "$d/doc.txt" "$work/full.old"
  local before status=0
  before=$(entries "$d")
  printf 'answer save %s\nkey alt Enter a\n' "$d/doc.txt" | run "$work" big.txt || status=$?
  mv "$work/transcript" "$d/transcript"
  sed -i "s|box error!?: $d/|box error!?: |" "$d/transcript"
  expect_failed_save "full file system" "$d" doc.txt "$work/full.old" "$status" "$before"
  umount "$d" && mounted=""
}

# Loads that must be refused with the box and must not hang.
case_unloadable_documents() {
  local d=$work/devices
  mkdir -p "$d/folder"
  mkfifo "$d/fifo"
  python3 -c "import socket,sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])" "$d/socket" 2>/dev/null || true
  truncate -s 4G "$d/sparse4g"
  truncate -s $((4 * 1024 * 1024 * 1024 + 16)) "$d/sparse4g16"
  local name
  for name in /dev/null /dev/zero "$d/fifo" "$d/socket" "$d/folder" "$d/sparse4g" "$d/sparse4g16"; do
    [ -e "$name" ] || continue
    local status=0
    printf 'state\n' | run "$d" "$name" || status=$?
    if [ "$status" -ne 0 ]; then fail "load of $name: exit $status (124 is a hang)"; continue; fi
    has_line "$d" "box error!?: $name" || { fail "load of $name: no error box"; continue; }
    grep -q 'text_length=4 ' "$d/transcript" || { fail "load of $name: the empty Document is gone"; continue; }
    pass "load of $(basename "$name") refused"
  done
}

# A file that grows and shrinks while it is loaded again and again.
case_changing_file() {
  local d=$work/changing
  mkdir -p "$d"
  head -c 200000 /dev/urandom >"$d/moving.bin"
  (
    for _ in $(seq 200); do
      head -c $((RANDOM * 8)) /dev/urandom >"$d/moving.bin.new" && mv "$d/moving.bin.new" "$d/moving.bin"
      head -c 5000 /dev/urandom >>"$d/moving.bin"
      truncate -s $((RANDOM)) "$d/moving.bin"
    done
  ) &
  local writer=$! script="" status=0
  for _ in $(seq 100); do script+=$'key ctrl+F2\n'; done
  printf '%s' "$script" | run "$d" moving.bin || status=$?
  wait "$writer"
  if [ "$status" -ne 0 ] || [ -s "$d/stderr" ]; then fail "changing file: exit $status $(head -3 "$d/stderr")"; return; fi
  pass "a file that changes while it loads"
}

case_long_and_odd_names() {
  local d=$work/names
  mkdir -p "$d"
  local long
  long=$(printf 'L%.0s' $(seq 255))
  echo long >"$d/$long"
  # "-" closes the File menu after each entry, so that keys reach the text.
  local script="answer open $long"$'\nkey alt Enter o\ntype -\ntype Z\nkey alt Enter s\ntype -\n'
  local b name escaped count=0
  for b in $(seq 1 255); do
    [ "$b" -eq 47 ] && continue # '/' cannot be part of a name
    printf -v escaped 'n\\x%02xz' "$b"
    printf -v name "n\\x$(printf %02x "$b")z"
    printf 'x' >"$d/$name"
    script+="answer open $escaped"$'\nkey alt Enter o\ntype -\nkey ctrl+Home Home\ntype y\nkey alt Enter s\ntype -\n'
    count=$((count + 1))
  done
  local status=0
  printf '%s' "$script" | LIMIT=600 run "$d" || status=$?
  if [ "$status" -ne 0 ]; then fail "odd names: exit $status"; return; fi
  if grep -q '^box' "$d/transcript"; then fail "odd names: $(grep -m3 '^box' "$d/transcript" | cat -v)"; return; fi
  [ "$(grep -c '^status File saved.$' "$d/transcript")" -eq $((count + 1)) ] || { fail "odd names: not every save"; return; }
  [ "$(cat "$d/$long")" = $'Zlong\r' ] || { fail "255-byte name: $(cat -v "$d/$long")"; return; }
  for b in $(seq 1 255); do
    [ "$b" -eq 47 ] && continue
    printf -v name "n\\x$(printf %02x "$b")z"
    [ "$(cat "$d/$name")" = "yx" ] || { fail "name with byte $b: $(cat -v "$d/$name")"; return; }
  done
  pass "a 255-byte name and names with each byte from 0x01 to 0xFF"
}

case_transfer_files() {
  local d=$work/transfer
  mkdir -p "$d"
  head -c 100000000 /dev/zero | tr '\0' 't' >"$d/huge.tmp"
  ln -s /dev/zero "$d/endless.tmp"
  echo doc >"$d/doc.txt"
  local status=0
  printf 'state\ntransfer huge.tmp\nkey shift+Insert\nstate\ntransfer endless.tmp\nkey shift+Insert\nstate\nkey shift+End ctrl+Insert\n' |
    run "$d" doc.txt || status=$?
  if [ "$status" -ne 0 ]; then fail "transfer files: exit $status"; return; fi
  local lengths
  lengths=($(grep -o 'text_length=[0-9]*' "$d/transcript" | grep -o '[0-9]*'))
  # The 100 MB go in whole; the endless one is no file to paste from.
  if [ "${#lengths[@]}" -ne 3 ] || [ $((lengths[1] - lengths[0])) -ne 100000000 ] || [ "${lengths[2]}" -ne "${lengths[1]}" ]; then
    fail "transfer files: lengths ${lengths[*]}"
    return
  fi
  [ -L "$d/endless.tmp" ] || { fail "the link to /dev/zero was replaced"; return; }
  pass "a 100 MB transfer file, and one that links to /dev/zero"
}

case_big_clipboard_and_sizes() {
  local d=$work/clip
  mkdir -p "$d"
  local text
  text=$(head -c 1048576 /dev/zero | tr '\0' 'c')
  local status=0
  printf 'clipboard %s\nkey ctrl+v\nstate\nresize 1 1\nkey Down End\ntype a\nstate\nresize 8000 8000\nkey PageDown\nstate\n' \
    "$text" | run "$d" || status=$?
  if [ "$status" -ne 0 ] || [ -s "$d/stderr" ]; then fail "clipboard and sizes: exit $status $(head -3 "$d/stderr")"; return; fi
  grep -q 'text_length=1048580 ' "$d/transcript" || { fail "1 MB clipboard not pasted"; return; }
  # The frame keeps its least size at 1 x 1, and grows as far as it may.
  local rows
  rows=($(grep -o 'rows=[0-9]*' "$d/transcript" | grep -o '[0-9]*'))
  if [ "${#rows[@]}" -ne 3 ] || [ "${rows[1]}" -ge "${rows[0]}" ] || [ "${rows[2]}" -le "${rows[0]}" ]; then
    fail "rows at 1 x 1 and 8000 x 8000: ${rows[*]}"
    return
  fi
  pass "a 1 MB clipboard, and the window at 1 x 1 and 8000 x 8000"
}

case_file_size_limit
case_full_file_system
case_unloadable_documents
case_changing_file
case_long_and_odd_names
case_transfer_files
case_big_clipboard_and_sizes
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
