// Gathering output for a save: bytes are appended to a buffer and written in
// whole buffers, and every write's count is checked. Files layer: included
// by the files, the tests and the benchmarks.
#pragma once
#include <cstdint>
#include <cstring>

#include "platform/platform.h"

namespace vusk {

// A file being written through a buffer: the bytes gathered so far and
// whether any write has failed.
struct OutputFile {
  FileHandle handle;
  uint8_t* buffer;
  uint32_t capacity;
  uint32_t fill;
  bool failed;  // a write came back short; nothing more is written
};

// Writes the gathered bytes and empties the buffer; false once any write failed.
bool drain_output(OutputFile& out);

// Appends `count` bytes.
void put_bytes(OutputFile& out, const uint8_t* bytes, uint32_t count);

// Appends one byte.
inline void put_byte(OutputFile& out, uint8_t byte) {
  if (out.fill == out.capacity) drain_output(out);
  out.buffer[out.fill++] = byte;
}

}  // namespace vusk
