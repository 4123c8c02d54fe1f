// The text form of a Document on disk.
#include "files/text_format.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "editor/document.h"
#include "files/load_save.h"
#include "platform/platform.h"

namespace vusk {

namespace {
constexpr uint8_t CR = 0x0D;
constexpr uint8_t LF = 0x0A;
constexpr uint8_t CR_LF[2] = {CR, LF};
// For finding a byte below 0x0E among eight: the result is non-zero exactly
// when one of them is.
constexpr uint64_t BYTES_0E = 0x0E0E0E0E0E0E0E0Eull;
constexpr uint64_t HIGH_BITS = 0x8080808080808080ull;

// Whether the line from `start` to the terminator just passed (the byte
// before `after`, or the one before that for a CR LF pair) is longer than
// the view's columns can reach.
bool line_too_long(const uint8_t* text, uint32_t start, const uint8_t* after) {
  const uint8_t* terminator = after[-1] == 0 ? after - 2 : after - 1;
  return static_cast<uint32_t>(terminator - text) - start > files.longest_line;
}

// Converts the line ends of [text, end) in place (CR LF -> LF and filler, a
// lone CR -> LF) and calls at_break(p) just past each line end, where p is
// the byte after the LF or its filler. Returns where it stopped: at `end`,
// or one byte beyond when a CR LF pair straddles it (so *end must be
// readable, a byte other than LF at the text's end); null as soon as
// at_break returns false.
template <class AtBreak>
uint8_t* scan_line_ends(uint8_t* text, const uint8_t* end, AtBreak at_break) {
  uint8_t* p = text;
  while (p < end) {
    if (end - p >= 8) {
      // Eight bytes at a time: the lowest flagged byte of a word is exactly
      // its first byte below 0x0E (flags above it may be false ones), so the
      // scan jumps straight to it and most bytes are never looked at singly.
      uint64_t word;
      std::memcpy(&word, p, 8);
      const uint64_t low = (word - BYTES_0E) & ~word & HIGH_BITS;
      if (low == 0) {
        p += 8;
        continue;
      }
      if constexpr (std::endian::native == std::endian::little) p += std::countr_zero(low) / 8;
    }
    const uint8_t c = *p++;
    if (c == CR) {
      p[-1] = LF;
      if (*p == LF) *p++ = 0;  // the LF of a CR LF pair becomes filler
    } else if (c != LF) {
      continue;
    }
    if (!at_break(p)) return nullptr;
  }
  return p;
}

// Converts [c.converted, limit) and records the line starts found, skipping
// filler no further than `bound` (the bytes known so far); a start cut
// short there by the previous piece skips on first.
bool convert_piece(TextConversion& c, uint32_t limit, uint32_t bound) {
  uint8_t* const text = c.text;
  LineStarts& starts = *c.starts;
  uint32_t& last = starts.table[starts.count - 1];
  if (starts.count > 1 && last == c.bound) {
    const uint32_t cut = last;
    while (last < bound && text[last] == 0) ++last;
    c.nul_filler += last - cut;
  }
  c.bound = bound;
  uint32_t count = starts.count;
  uint8_t* stopped = scan_line_ends(text + c.converted, text + limit, [&](const uint8_t* p) {
    if (line_too_long(text, starts.table[count - 1], p)) return false;
    // p is past the LF's own filler: every NUL from here is the file's.
    const uint8_t* next = p;
    while (next < text + bound && *next == 0) ++next;
    c.nul_filler += static_cast<uint32_t>(next - p);
    if (count == starts.capacity) {
      // Doubling, up to the most entries that 32 bits can size.
      const uint64_t grown = std::min<uint64_t>(uint64_t{count} * 2, UINT32_MAX / 4);
      starts.count = count;
      if (grown <= count || !reserve_line_starts(starts, grown)) return false;
    }
    starts.table[count++] = static_cast<uint32_t>(next - text);
    return true;
  });
  starts.count = count;
  if (stopped == nullptr) return false;
  c.converted = static_cast<uint32_t>(stopped - text);
  return true;
}

}  // namespace

// Makes room for at least `entries` entries, keeping those written.
bool reserve_line_starts(LineStarts& starts, uint64_t entries) {
  if (entries <= starts.capacity) return true;
  if (entries > UINT32_MAX / 4) return false;
  auto* table = static_cast<uint32_t*>(obtain_file_block(static_cast<size_t>(entries) * 4));
  if (table == nullptr) return false;
  if (starts.count != 0) std::memcpy(table, starts.table, size_t{starts.count} * 4);
  free_block(starts.table);
  starts.table = table;
  starts.capacity = static_cast<uint32_t>(entries);
  return true;
}

bool begin_conversion(TextConversion& c, uint8_t* text, LineStarts& starts) {
  c = TextConversion{text, 0, 0, &starts, 0};
  if (!reserve_line_starts(starts, 1)) return false;
  starts.table[0] = 0;
  starts.count = 1;
  return true;
}

// The last byte that arrived waits: the LF of a CR LF pair may follow it.
bool convert_arrived(TextConversion& c, uint32_t arrived) {
  if (arrived <= c.converted + 1) return true;
  return convert_piece(c, arrived - 1, arrived);
}

bool finish_conversion(TextConversion& c, uint32_t size) {
  // The end marker goes in first: a CR in the last byte finds a non-LF
  // behind it, and skipping filler stops there.
  c.text[size] = CR;
  if (c.converted < size && !convert_piece(c, size, size)) return false;
  const LineStarts& starts = *c.starts;
  return size - starts.table[starts.count - 1] <= files.longest_line;
}

bool convert_text(uint8_t* text, uint32_t size, LineStarts& starts) {
  TextConversion c;
  return begin_conversion(c, text, starts) && finish_conversion(c, size);
}

uint32_t convert_line_ends(uint8_t* text, uint32_t size) {
  text[size] = CR;
  uint32_t breaks = 0;
  scan_line_ends(text, text + size, [&breaks](const uint8_t*) {
    ++breaks;
    return true;
  });
  return breaks;
}

// Writes each line's bytes and a CR LF; the last line ends at the end marker.
void write_text_document(OutputFile& out) {
  const uint32_t last = doc.last_line;
  const uint8_t* const text = doc.text_buffer;
  uint32_t next = line_entry(0);
  for (uint32_t k = 0; k < last; ++k) {
    const uint8_t* start = text + next;
    next = line_entry(k + 1);
    // The line's LF is the last non-filler byte before the next line.
    const uint8_t* lf = text + next - 1;
    while (lf > start && *lf == 0) --lf;
    const auto length = static_cast<uint32_t>(lf - start);
    if (out.capacity - out.fill >= length + 2) {  // the common case: it fits as it is
      uint8_t* to = out.buffer + out.fill;
      std::memcpy(to, start, length);
      to[length] = CR;
      to[length + 1] = LF;
      out.fill += length + 2;
    } else {
      put_bytes(out, start, length);
      put_bytes(out, CR_LF, 2);
    }
  }
  const uint8_t* start = text + next;
  const void* marker = std::memchr(start, CR, static_cast<size_t>(text + doc.text_length - start));
  if (marker != nullptr) put_bytes(out, start, static_cast<uint32_t>(static_cast<const uint8_t*>(marker) - start));
}

}  // namespace vusk
