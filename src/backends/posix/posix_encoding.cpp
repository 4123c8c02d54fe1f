// POSIX text encoding for the SDL2 and headless backends: one typed code
// point as CP932 bytes, through the C library's iconv (glibc has it built in).
#include <iconv.h>

#include "platform/platform.h"

namespace vusk {

// iconv from UTF-32LE to CP932 for one character; a converter that cannot
// be opened, or a character CP932 lacks, gives 0 bytes.
uint32_t encode_cp932(uint32_t code_point, uint8_t out[2]) {
  iconv_t cd = iconv_open("CP932", "UTF-32LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    if (code_point >= 0x80) return 0;
    out[0] = static_cast<uint8_t>(code_point);
    return 1;
  }
  char in_bytes[4] = {static_cast<char>(code_point & 0xFF), static_cast<char>((code_point >> 8) & 0xFF),
                      static_cast<char>((code_point >> 16) & 0xFF), static_cast<char>(code_point >> 24)};
  char result[8];
  char* in = in_bytes;
  char* o = result;
  size_t in_left = sizeof in_bytes, o_left = sizeof result;
  const size_t r = iconv(cd, &in, &in_left, &o, &o_left);
  iconv_close(cd);
  const auto n = static_cast<uint32_t>(o - result);
  if (r == static_cast<size_t>(-1) || n == 0 || n > 2) return 0;
  for (uint32_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(result[i]);
  return n;
}

}  // namespace vusk
