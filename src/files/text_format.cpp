// The text form of a Document on disk.
#include "files/text_format.h"

#include <cstring>

#include "editor/document.h"

namespace vusk {

namespace {
constexpr uint8_t CR = 0x0D;
constexpr uint8_t LF = 0x0A;
constexpr uint8_t CR_LF[2] = {CR, LF};
}  // namespace

// Converts the file bytes in place in one pass and counts the line breaks.
uint32_t convert_text_in_place(uint8_t* text, uint32_t size) {
  // The end marker goes in first, so that a CR in the last byte finds a
  // non-LF behind it without a bounds check.
  text[size] = CR;
  uint32_t breaks = 0;
  uint8_t* p = text;
  uint8_t* const end = text + size;
  while (p < end) {
    const uint8_t c = *p++;
    if (c > CR) continue;
    if (c == CR) {
      p[-1] = LF;
      ++breaks;
      if (*p == LF) *p++ = 0;  // the LF of a CR LF pair becomes filler
    } else if (c == LF) {
      ++breaks;
    }
  }
  return breaks;
}

// Writes each line's bytes and a CR LF; the last line ends at the end marker.
void write_text_document(OutputFile& out) {
  const uint32_t last = doc.last_line;
  for (uint32_t k = 0; k < last; ++k) {
    const uint8_t* start = line_start(k);
    // The line's LF is the last non-filler byte before the next line.
    const uint8_t* lf = line_start(k + 1) - 1;
    while (lf > start && *lf == 0) --lf;
    put_bytes(out, start, static_cast<uint32_t>(lf - start));
    put_bytes(out, CR_LF, 2);
  }
  const uint8_t* start = line_start(last);
  const void* marker = std::memchr(start, CR, static_cast<size_t>(doc.text_buffer + doc.text_length - start));
  if (marker != nullptr) put_bytes(out, start, static_cast<uint32_t>(static_cast<const uint8_t*>(marker) - start));
}

}  // namespace vusk
