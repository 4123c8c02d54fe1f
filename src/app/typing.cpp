// Typed code points become the document's bytes here, the one place that
// decides by the display mode; the backends deliver characters only.
#include "app/typing.h"

#include "app/window.h"
#include "commands/commands.h"
#include "editor/document.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "widgets/input.h"
#include "widgets/status.h"

namespace vusk {

namespace {

constexpr uint32_t LAST_CODE_POINT = 0x10FFFF;

// UTF-8 of a valid code point (not a surrogate).
uint32_t encode_utf8(uint32_t cp, uint8_t out[4]) {
  if (cp < 0x80) {
    out[0] = static_cast<uint8_t>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<uint8_t>(0xC0 | (cp >> 6));
    out[1] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<uint8_t>(0xE0 | (cp >> 12));
    out[1] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = static_cast<uint8_t>(0xF0 | (cp >> 18));
  out[1] = static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F));
  out[2] = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
  out[3] = static_cast<uint8_t>(0x80 | (cp & 0x3F));
  return 4;
}

}  // namespace

uint32_t encode_typed(uint32_t cp, uint8_t out[4]) {
  if (cp > LAST_CODE_POINT || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  if (doc.encoding == ENCODING_UTF8) return encode_utf8(cp, out);
  return encode_cp932(cp, out);
}

void type_code_point(uint32_t cp) {
  uint8_t bytes[4];
  const uint32_t n = encode_typed(cp, bytes);
  if (n == 0) {
    if (doc.encoding != ENCODING_UTF8 && cp <= LAST_CODE_POINT) post_status(NOT_IN_SHIFT_JIS);
    return;
  }
  if (n == 1 || doc.encoding != ENCODING_UTF8) {
    for (uint32_t i = 0; i < n; ++i) act_on_route(route_input(0, 0, bytes[i], WM_CHAR));
    return;
  }
  if (route_sequence(bytes, n).action == ROUTE_SEQUENCE) act_on_command(run_typed_sequence(bytes, n));
}

}  // namespace vusk
