// The HexListing format in both directions: rendering a file's bytes as the
// 80-column listing, and parsing a listing held in the Document back into
// bytes. Files layer: included by the files' loads and saves, the tests and
// the benchmarks.
#pragma once
#include <cstdint>

#include "files/file_output.h"

namespace vusk {

// Bytes of one listing line, its line break included.
constexpr uint32_t HEX_LINE_BYTES = 80;
// Columns of the header line that show the file's path.
constexpr uint32_t HEX_PATH_COLUMNS = 62;

// Characters of the listing of a file of `file_bytes` bytes, header included,
// sentinel excluded.
uint64_t hex_listing_length(uint64_t file_bytes);

// Writes the 80-byte header line for `path` at `out`; returns the end.
uint8_t* render_hex_header(uint8_t* out, const char* path);

// Renders `count` bytes as listing lines at `out`, the first of them standing
// at file offset 16 x `first_line`; a count that is not a multiple of 16 ends
// in the short last line. May write one byte past the returned end.
uint8_t* render_hex_lines(uint8_t* out, const uint8_t* bytes, uint32_t count, uint32_t first_line);

// Parses the Document as a HexListing and appends the bytes it describes.
void parse_hex_document(OutputFile& out);

}  // namespace vusk
