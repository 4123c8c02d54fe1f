// UTF-16 conversions through the system's code pages: MultiByteToWideChar
// and WideCharToMultiByte, with what CP932 lacks left out rather than
// replaced by a question mark.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "backends/win32/win32_text.h"

#include <cstring>

#include "platform/platform.h"

namespace vusk {

namespace {

constexpr UINT CP932 = 932;

// WideCharToMultiByte of n units (n > 0) into `out` (room for `room` bytes),
// or, with room 0, the bytes needed; *lost is set when a character has no
// code in CP932. UTF-8 takes no flags and reports nothing lost.
int narrow(const wchar_t* units, int n, UINT code_page, char* out, int room, BOOL* lost) {
  *lost = FALSE;
  if (code_page == CP_UTF8) return WideCharToMultiByte(CP_UTF8, 0, units, n, out, room, nullptr, nullptr);
  return WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, units, n, out, room, nullptr, lost);
}

// The units of the character at `units`: a surrogate pair is 2, a lone
// surrogate 0 (no character), anything else 1.
int character_units(const wchar_t* units) {
  const wchar_t u = units[0];
  if (u >= 0xD800 && u <= 0xDBFF) return units[1] >= 0xDC00 && units[1] <= 0xDFFF ? 2 : 0;
  return u >= 0xDC00 && u <= 0xDFFF ? 0 : 1;
}

// Character by character, for text that holds something the code page
// lacks: each one that converts whole is kept. `out` has room for the text.
size_t narrow_each(const wchar_t* text, UINT code_page, char* out) {
  size_t used = 0;
  for (const wchar_t* p = text; *p != 0;) {
    const int units = character_units(p);
    if (units == 0) {
      ++p;
      continue;
    }
    char bytes[8];
    BOOL lost = FALSE;
    const int n = narrow(p, units, code_page, bytes, sizeof bytes, &lost);
    if (n > 0 && !lost) {
      std::memcpy(out + used, bytes, static_cast<size_t>(n));
      used += static_cast<size_t>(n);
    }
    p += units;
  }
  return used;
}

}  // namespace

namespace win32 {

wchar_t* widen_text(const char* text, UINT code_page) {
  const int n = MultiByteToWideChar(code_page, 0, text, -1, nullptr, 0);
  if (n <= 0) return nullptr;
  auto* out = static_cast<wchar_t*>(try_alloc(static_cast<size_t>(n) * sizeof(wchar_t)));
  if (out == nullptr) return nullptr;
  if (MultiByteToWideChar(code_page, 0, text, -1, out, n) != n) {
    free_block(out);
    return nullptr;
  }
  return out;
}

char* narrow_text(const wchar_t* text, UINT code_page) {
  BOOL lost = FALSE;
  const int n = narrow(text, -1, code_page, nullptr, 0, &lost);
  if (n <= 0) return nullptr;
  auto* out = static_cast<char*>(try_alloc(static_cast<size_t>(n)));
  if (out == nullptr) return nullptr;
  if (narrow(text, -1, code_page, out, n, &lost) == n && !lost) return out;
  // Some character has no code here: convert one at a time and leave it out.
  out[narrow_each(text, code_page, out)] = 0;
  return out;
}

}  // namespace win32

uint32_t encode_cp932(uint32_t code_point, uint8_t out[2]) {
  wchar_t units[3] = {0, 0, 0};
  if (code_point >= 0x10000) {
    units[0] = static_cast<wchar_t>(0xD800 + ((code_point - 0x10000) >> 10));
    units[1] = static_cast<wchar_t>(0xDC00 + ((code_point - 0x10000) & 0x3FF));
  } else {
    units[0] = static_cast<wchar_t>(code_point);
  }
  const int count = units[1] != 0 ? 2 : 1;
  if (character_units(units) != count) return 0;
  char bytes[8];
  BOOL lost = FALSE;
  const int n = narrow(units, count, CP932, bytes, sizeof bytes, &lost);
  if (n <= 0 || n > 2 || lost) return 0;
  for (int i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(bytes[i]);
  return static_cast<uint32_t>(n);
}

}  // namespace vusk
