// The LineTable's storage: the entries around their gap and lazy step, as
// the Document's own routines change them. Editor layer, internal: only
// document.cpp and line_table.cpp include it; everyone else reads entries
// through line_entry() and changes them through the Document's primitives.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vusk {

constexpr uint32_t ENTRY_BYTES = 4;

// First occurrence of `byte` in [from, limit), or null.
inline uint8_t* find_byte(uint8_t* from, const uint8_t* limit, uint8_t byte) {
  if (from >= limit) return nullptr;
  return static_cast<uint8_t*>(std::memchr(from, byte, static_cast<size_t>(limit - from)));
}

// First byte at or after p that is not filler, never beyond `limit`.
inline uint8_t* skip_filler(uint8_t* p, const uint8_t* limit) {
  while (p < limit && *p == 0) ++p;
  return p;
}

// A block size for the Document; a size that 32 bits cannot describe ends
// the process as a refused allocation would.
uint32_t document_block_size(uint64_t bytes);
// Declares the table plain: `entries` entries stored in order from its
// start, no step pending, every other entry of the block free.
void set_plain_table(uint32_t entries);
// Sets entry k to `value`.
void set_entry(uint32_t k, uint32_t value);
// Removes `count` entries from index `at` on; later ones move down.
void remove_entries(uint32_t at, uint32_t count);

}  // namespace vusk
