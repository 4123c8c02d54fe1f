// Typed characters beyond ASCII (WM_UNICHAR's code points): encoded for the
// current document's display mode, then routed as the bytes it stores.
// App layer: the window procedure and the tests include it.
#pragma once
#include <cstdint>

namespace vusk {

// The status message when a character typed in Shift_JIS mode has no CP932 bytes.
constexpr char NOT_IN_SHIFT_JIS[] = "not a Shift_JIS character!";

// The bytes of code point `cp` in the document's display mode into `out`:
// UTF-8 (1 to 4 bytes) or CP932 (1 or 2); 0 for a code point that is no
// character (a surrogate, beyond U+10FFFF) or that CP932 lacks.
uint32_t encode_typed(uint32_t cp, uint8_t out[4]);

// Types code point `cp` as the keyboard would: one byte as its WM_CHAR; a
// UTF-8 sequence whole, into the focused field or as one command; CP932
// bytes one WM_CHAR each, as an ANSI window gets them. A character CP932
// lacks is dropped with a status message.
void type_code_point(uint32_t cp);

}  // namespace vusk
