// The HexListing: rendering and parsing, both table-driven so that a listing
// of many megabytes renders and parses at memory speed.
#include "files/hex_listing.h"

#include <array>
#include <cstring>

#include "editor/document.h"

namespace vusk {

namespace {

constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
constexpr char HEADER_START[] = "; hex listing of ";
constexpr uint32_t HEADER_START_LENGTH = sizeof HEADER_START - 1;  // 17
constexpr uint32_t GROUP_COLUMNS = 13;  // four bytes of three columns, one more space
constexpr uint32_t OFFSET_COLUMN = 54;
constexpr uint32_t CHARACTER_COLUMN = 63;

// Each byte as its two digits and two spaces: a cell is stored with four
// bytes, and the next cell overwrites the second space unless the byte ends
// a group of four, where that space is the group's extra one.
constexpr std::array<std::array<char, 4>, 256> make_cells() {
  std::array<std::array<char, 4>, 256> t{};
  for (uint32_t b = 0; b < 256; ++b) t[b] = {HEX_DIGITS[b >> 4], HEX_DIGITS[b & 15], ' ', ' '};
  return t;
}
constexpr auto HEX_CELL = make_cells();

// Eight bytes of the character column at once: 0x20..0x7F stand for
// themselves, every other byte becomes a space, so that no line break, end
// marker or filler can enter the listing. Every step stays within its byte, so no borrow or
// carry crosses into the next one.
inline uint64_t shown_characters(uint64_t bytes) {
  constexpr uint64_t HIGH = 0x8080808080808080ull;
  constexpr uint64_t SPACES = 0x2020202020202020ull;
  // High bit set: the byte is 0x80 or more, or its low seven bits are below
  // 0x20 (0x80 + those bits - 0x20 then stays below 0x80).
  const uint64_t above = bytes & HIGH;
  const uint64_t below = ~((bytes | HIGH) - SPACES) & HIGH;
  const uint64_t hidden = ((above | below) >> 7) * 0xFF;
  return (bytes & ~hidden) | (SPACES & hidden);
}

// Classes of listing characters for the parse: 0..15 a digit's value.
enum : uint8_t { CH_OTHER = 16, CH_LINE_END = 17, CH_END = 18 };
constexpr std::array<uint8_t, 256> make_classes() {
  std::array<uint8_t, 256> t{};
  for (uint32_t c = 0; c < 256; ++c) t[c] = CH_OTHER;
  for (uint8_t d = 0; d < 10; ++d) t['0' + d] = d;
  for (uint8_t d = 0; d < 6; ++d) t['A' + d] = t['a' + d] = static_cast<uint8_t>(10 + d);
  t[';'] = t['\n'] = CH_LINE_END;
  t['\r'] = CH_END;
  return t;
}
constexpr auto CLASS = make_classes();

static_assert(HEADER_START_LENGTH + HEX_PATH_COLUMNS + 1 == HEX_LINE_BYTES);

}  // namespace

// Characters of the listing of a file of `file_bytes` bytes, header included,
// sentinel excluded.
uint64_t hex_listing_length(uint64_t file_bytes) {
  const uint64_t rest = file_bytes % 16;
  return HEX_LINE_BYTES + file_bytes / 16 * HEX_LINE_BYTES + 3 * rest + rest / 4;
}

// Writes the 80-byte header line for `path`; control bytes become spaces so
// that a path can never break or end the listing's lines.
uint8_t* render_hex_header(uint8_t* out, const char* path) {
  std::memcpy(out, HEADER_START, HEADER_START_LENGTH);
  uint8_t* column = out + HEADER_START_LENGTH;
  uint32_t i = 0;
  for (; i < HEX_PATH_COLUMNS && path[i] != 0; ++i) {
    const auto c = static_cast<uint8_t>(path[i]);
    column[i] = c < 0x20 ? ' ' : c;
  }
  std::memset(column + i, ' ', HEX_PATH_COLUMNS - i);
  out[HEX_LINE_BYTES - 1] = '\n';
  return out + HEX_LINE_BYTES;
}

// Renders `count` bytes as listing lines, line by line from the table.
uint8_t* render_hex_lines(uint8_t* out, const uint8_t* bytes, uint32_t count, uint32_t first_line) {
  uint32_t line = first_line;
  for (uint32_t left = count; left >= 16; left -= 16, bytes += 16, out += HEX_LINE_BYTES, ++line) {
    const uint8_t* in = bytes;
    for (uint32_t j = 0; j < 16; ++j) std::memcpy(out + GROUP_COLUMNS * (j / 4) + 3 * (j % 4), HEX_CELL[in[j]].data(), 4);
    out[52] = ';';
    out[53] = ' ';
    // Bits 31..4 of the offset: 28 bits as seven digits.
    uint8_t* o = out + OFFSET_COLUMN;
    o[0] = HEX_DIGITS[(line >> 24) & 15];
    std::memcpy(o + 1, HEX_CELL[(line >> 16) & 255].data(), 2);
    std::memcpy(o + 3, HEX_CELL[(line >> 8) & 255].data(), 2);
    std::memcpy(o + 5, HEX_CELL[line & 255].data(), 2);
    o[7] = 'x';
    o[8] = ' ';
    for (uint32_t half = 0; half < 16; half += 8) {
      uint64_t word;
      std::memcpy(&word, in + half, 8);
      word = shown_characters(word);
      std::memcpy(out + CHARACTER_COLUMN + half, &word, 8);
    }
    out[HEX_LINE_BYTES - 1] = '\n';
  }
  const uint32_t rest = count % 16;
  if (rest != 0) {
    for (uint32_t j = 0; j < rest; ++j) std::memcpy(out + GROUP_COLUMNS * (j / 4) + 3 * (j % 4), HEX_CELL[bytes[j]].data(), 4);
    out += 3 * rest + rest / 4;
  }
  return out;
}

// Parses the Document as a HexListing: digit pairs from the left, a lone digit
// as a byte of its own, ';' and '\n' end a line's parsing, the end marker the
// whole parse; everything else is passed over.
void parse_hex_document(OutputFile& out) {
  for (uint32_t k = 0; k <= doc.last_line; ++k) {
    const uint8_t* p = line_start(k);
    for (;;) {
      uint8_t c = CLASS[*p++];
      if (c < 16) {
        const uint8_t d = CLASS[*p];
        if (d < 16) {
          put_byte(out, static_cast<uint8_t>(c << 4 | d));
          ++p;
          continue;
        }
        put_byte(out, c);  // a lone digit
        continue;
      }
      if (c == CH_OTHER) continue;
      if (c == CH_END) return;
      break;  // ';' or '\n': on to the next line
    }
  }
}

}  // namespace vusk
