// Text between the core's 8-bit encodings (UTF-8, CP932) and the system's
// UTF-16, for the clipboard and the typed characters. Blocks come from
// try_alloc and go back with free_block. Backends layer (Win32): included by
// src/backends/win32 and its console test only.
#pragma once
#include <windows.h>

namespace vusk::win32 {

// The zero-terminated UTF-16 form of zero-terminated `text` in `code_page`
// (CP_UTF8 or 932; bytes that are no character become U+FFFD); null when
// it cannot be made.
wchar_t* widen_text(const char* text, UINT code_page);
// The zero-terminated `code_page` form (CP_UTF8 or 932) of zero-terminated
// UTF-16 `text`; characters that CP932 lacks, and lone surrogates, are left
// out (UTF-8 shows a lone surrogate as U+FFFD). Null when it cannot be made.
char* narrow_text(const wchar_t* text, UINT code_page);

}  // namespace vusk::win32
