# Helpers for the check scripts of scripted cases (sourced, not run): image
# sizes and pixels of the shots a run left behind.

# Prints a message and fails the check.
fail() {
  echo "check failed: $*" >&2
  exit 1
}

# Unsigned little-endian 32-bit number at byte OFFSET of FILE.
le32() { od -An -tu4 --endian=little -j "$2" -N4 "$1" | tr -d ' '; }
# Unsigned big-endian 32-bit number at byte OFFSET of FILE.
be32() { od -An -tu4 --endian=big -j "$2" -N4 "$1" | tr -d ' '; }

# "W H" of a BMP or PNG file.
bmp_size() { echo "$(le32 "$1" 18) $(le32 "$1" 22)"; }
png_size() {
  [ "$(od -An -tx1 -N8 "$1" | tr -d ' ')" = 89504e470d0a1a0a ] || fail "$1 is no PNG"
  echo "$(be32 "$1" 16) $(be32 "$1" 20)"
}

# The N pixels of row Y from column X of a 32-bit bottom-up BMP, one
# 00rrggbb word per line.
bmp_row() {
  local file=$1 y=$2 x=$3 n=$4
  local w h
  read -r w h <<<"$(bmp_size "$file")"
  od -An -v -tx4 --endian=little -w4 -j $((54 + ((h - 1 - y) * w + x) * 4)) -N $((n * 4)) "$file" | tr -d ' '
}

# The pixels of a rectangle (Y X HEIGHT WIDTH) of a BMP, row after row.
bmp_rect() {
  local file=$1 y=$2 x=$3 height=$4 width=$5 r
  for ((r = y; r < y + height; r++)); do bmp_row "$file" "$r" "$x" "$width"; done
}
