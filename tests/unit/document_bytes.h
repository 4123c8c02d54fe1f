// A Document made straight from bytes, for the tests of the Document engine
// and its LineTable: no loader, no conversion, the layout exactly as given.
#pragma once
#include <algorithm>
#include <cstring>
#include <string>

#include "app/startup.h"
#include "editor/document.h"
#include "platform/platform.h"

namespace vusk::test {

// Replaces the Document by `bytes` (end marker included) in a text block of
// `capacity` bytes (default: 64 spare), indexed from line 0.
inline void make_document(const std::string& bytes, uint32_t capacity = 0) {
  reset_all_state();
  create_empty_document();
  free_block(doc.text_buffer);
  doc.text_capacity = capacity != 0 ? capacity : static_cast<uint32_t>(bytes.size()) + 64;
  doc.text_buffer = static_cast<uint8_t*>(alloc_or_exit(doc.text_capacity));
  std::memcpy(doc.text_buffer, bytes.data(), bytes.size());
  doc.text_length = static_cast<uint32_t>(bytes.size());
  doc.last_line = static_cast<uint32_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  rebuild_line_table(0);
  doc.cursor_ptr = doc.text_buffer;  // as a load leaves the location record
}

// The bytes in use, filler, end marker and dead bytes included.
inline std::string used_bytes() { return std::string(reinterpret_cast<char*>(doc.text_buffer), doc.text_length); }

}  // namespace vusk::test
