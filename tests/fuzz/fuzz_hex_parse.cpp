// The listing parser of the binary save on arbitrary Documents, against a
// plain reading of the format: per line, hexadecimal digits pair into bytes,
// a single digit before any other character is a byte of its own, and ';'
// or the line end ends the line.
#include <cstddef>
#include <cstdint>

#include "app/startup.h"
#include "backends/headless/headless.h"
#include "editor/document.h"
#include "files/load_save.h"
#include "fuzz_support.h"

using namespace vusk;
using namespace vusk::fuzz;

namespace {

int digit_value(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The bytes one line describes, from its start to its ';', '\n' or end marker.
void parse_line(const uint8_t* p, std::string& out) {
  int pending = -1;
  for (;; ++p) {
    const int d = digit_value(*p);
    if (d >= 0) {
      if (pending < 0) {
        pending = d;
      } else {
        out += static_cast<char>(pending * 16 + d);
        pending = -1;
      }
      continue;
    }
    if (pending >= 0) out += static_cast<char>(pending);
    pending = -1;
    if (*p == ';' || *p == '\n' || *p == '\r') return;
  }
}

std::string expected_bytes() {
  std::string out;
  for (uint32_t k = 0; k <= doc.last_line; ++k) parse_line(line_start(k), out);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  reset_all_state();
  headless::reset();
  create_empty_document();
  // The Document is whatever a text load of the bytes makes of them.
  const std::string in = scratch_dir() + "/doc.txt", out = scratch_dir() + "/out.bin";
  write_whole(in, std::string(reinterpret_cast<const char*>(data), size));
  std::snprintf(files.file_path, PATH_BYTES, "%s", in.c_str());
  files.file_mode = FILE_MODE_TEXT;
  if (load_document() != 0) fail("the load failed");
  std::snprintf(files.file_path, PATH_BYTES, "%s", out.c_str());
  files.file_mode = FILE_MODE_HEX;
  if (!save_document()) fail("the save failed");
  if (read_whole(out) != expected_bytes()) fail("the parsed bytes differ");
  return 0;
}
