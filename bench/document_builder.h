// The 100 MB Document the editing benchmarks time their commands on, built
// straight in memory: no loader, no conversion.
#pragma once
#include <cstdint>

#include "app/startup.h"
#include "editor/document.h"
#include "platform/platform.h"

namespace vusk::bench {

constexpr uint32_t DOCUMENT_BYTES = 100u << 20;
constexpr uint32_t LINE_BYTES = 60;  // content and line feed (and one filler byte)

// Replaces the Document's text by lines of 59 content bytes and a 0x0A,
// each followed by one 0x00 of filler when `filler` is set, up to about
// 100 MB; the rest of the program's state stays.
inline void fill_document(bool filler) {
  const uint32_t stride = LINE_BYTES + (filler ? 1 : 0);
  const uint32_t lines = DOCUMENT_BYTES / stride;
  const uint32_t length = lines * stride + LINE_BYTES;
  free_block(doc.text_buffer);
  doc.text_capacity = length + (1u << 20);  // spare room: no reallocation while timing
  doc.text_buffer = static_cast<uint8_t*>(alloc_or_exit(doc.text_capacity));
  uint8_t* p = doc.text_buffer;
  for (uint32_t k = 0; k <= lines; ++k, p += stride) {
    for (uint32_t i = 0; i + 1 < LINE_BYTES; ++i) p[i] = static_cast<uint8_t>('a' + (k + i) % 26);
    p[LINE_BYTES - 1] = '\n';
    if (filler) p[LINE_BYTES] = 0;
  }
  // The last line: 59 bytes and the end marker instead of a line feed.
  p -= stride;
  p[LINE_BYTES - 1] = '\r';
  doc.text_length = static_cast<uint32_t>(p + LINE_BYTES - doc.text_buffer);
  doc.last_line = lines;
  rebuild_line_table(0);
}

// The same text in a Document of its own, everything else reset.
inline void build_document(bool filler) {
  reset_all_state();
  create_empty_document();
  fill_document(filler);
}

}  // namespace vusk::bench
