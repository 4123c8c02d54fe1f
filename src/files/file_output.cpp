// Gathering output for a save.
#include "files/file_output.h"

namespace vusk {

// Writes the gathered bytes and empties the buffer; false once any write failed.
bool drain_output(OutputFile& out) {
  if (out.fill != 0 && !out.failed) {
    out.failed = write_block(out.fill, out.buffer, out.handle) != out.fill;
  }
  out.fill = 0;
  return !out.failed;
}

// Appends `count` bytes, writing whole buffers as they fill.
void put_bytes(OutputFile& out, const uint8_t* bytes, uint32_t count) {
  while (count != 0) {
    if (out.fill == out.capacity) drain_output(out);
    uint32_t n = out.capacity - out.fill;
    if (n > count) n = count;
    std::memcpy(out.buffer + out.fill, bytes, n);
    out.fill += n;
    bytes += n;
    count -= n;
  }
}

}  // namespace vusk
