// The text form of a Document on disk: the conversion of a file's line ends
// on load, and the CR LF writer for a save. Included by load_save.cpp, the
// tests and the benchmarks.
#pragma once
#include <cstdint>

#include "files/file_output.h"

namespace vusk {

// Converts `size` file bytes at `text` in place into the Document's form
// (CR LF -> '\n' NUL, lone CR -> '\n', LF stays) and returns the number of
// line breaks. text[size] must be writable: it receives the end marker.
uint32_t convert_text_in_place(uint8_t* text, uint32_t size);

// Appends the Document's lines with CR LF line ends, leaving out the filler
// behind each line end and everything from the end marker on.
void write_text_document(OutputFile& out);

}  // namespace vusk
