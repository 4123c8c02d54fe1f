// The text form of a Document on disk: the conversion of a file's line ends
// on load (also used on pasted bytes), and the CR LF writer for a save.
// Files layer: included by the files subsystem, the tests and the benchmarks.
#pragma once
#include <cstdint>

#include "files/file_output.h"

namespace vusk {

// A LineTable being built for a text that is not yet the Document's: offsets
// of line starts, as in the Document's own table.
struct LineStarts {
  uint32_t* table;
  uint32_t capacity;  // entries
  uint32_t count;     // entries written
};

// Makes room for at least `entries` entries, keeping those written; false
// (the table as it was) when memory runs out or 32 bits cannot size it.
bool reserve_line_starts(LineStarts& starts, uint64_t entries);

// Converts `size` file bytes at `text` in place into the Document's form
// (CR LF -> '\n' NUL, lone CR -> '\n', LF stays), puts the end marker at
// text[size] (which must be writable) and records every line's start, as a
// rebuild of the LineTable would, in one pass. The starts begin empty; the
// line breaks are then starts.count - 1. False when memory for the starts ran
// out, or when a line is longer than files.longest_line bytes.
bool convert_text(uint8_t* text, uint32_t size, LineStarts& starts);

// The same conversion while a file's bytes arrive, each piece converted
// while it is still in the cache: begin_conversion, then convert_arrived
// with the count of bytes at `text` so far after every read, then
// finish_conversion with the total, as convert_text would end.
struct TextConversion {
  uint8_t* text;
  uint32_t converted;  // bytes before this are converted
  uint32_t bound;      // bytes known when the last piece was converted
  LineStarts* starts;
  // NUL bytes of the file after a line break, which the Document takes for
  // filler and a text save therefore drops.
  uint32_t nul_filler;
};
bool begin_conversion(TextConversion& c, uint8_t* text, LineStarts& starts);
bool convert_arrived(TextConversion& c, uint32_t arrived);
bool finish_conversion(TextConversion& c, uint32_t size);

// The same conversion of line ends alone, for bytes to be inserted into the
// Document: text[size] must be writable (it receives the end marker).
// Returns the line breaks the bytes hold afterwards.
uint32_t convert_line_ends(uint8_t* text, uint32_t size);

// Appends the Document's lines with CR LF line ends, leaving out the filler
// behind each line end and everything from the end marker on.
void write_text_document(OutputFile& out);

}  // namespace vusk
