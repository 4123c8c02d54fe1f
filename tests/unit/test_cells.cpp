// The cell rules of a line in both display modes, and the checkpoints of a
// long line staying true across edits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document_bytes.h"
#include "editor/cells.h"
#include "editor/document.h"

using namespace vusk;
using namespace vusk::test;

namespace {

// One line in one mode: the column each byte offset stands at (the cell
// holding it), and the cell start and padding that each column locates.
struct LineCase {
  const char* what;
  DocumentEncoding mode;
  std::string line;                 // without its end marker
  std::vector<uint32_t> column_at;  // per byte offset, then the end
  std::vector<uint32_t> start_of;   // per column 0..: the offset of its cell start
  uint32_t width;                   // the line's columns
};

const LineCase CASES[] = {
    {"ASCII", ENCODING_UTF8, "ab c", {0, 1, 2, 3, 4}, {0, 1, 2, 3}, 4},
    {"a tab to the next stop", ENCODING_UTF8, "ab\tc\t", {0, 1, 2, 8, 9, 16},
     {0, 1, 2, 2, 2, 2, 2, 2, 3, 4, 4, 4, 4, 4, 4, 4}, 16},
    {"a tab on a stop is a whole stop", ENCODING_UTF8, "\t", {0, 8}, {0, 0, 0, 0, 0, 0, 0, 0}, 8},
    {"e acute, a wide ideograph", ENCODING_UTF8, "\xC3\xA9\xE6\xBC\xA2x", {0, 0, 1, 1, 1, 3, 4}, {0, 2, 2, 5}, 4},
    {"combining marks join the cell before", ENCODING_UTF8, "e\xCC\x81\xCC\xA3z", {0, 0, 0, 0, 0, 1, 2}, {0, 5}, 2},
    {"a mark at the line's start has a cell", ENCODING_UTF8, "\xCC\x81" "a", {0, 0, 1, 2}, {0, 2}, 2},
    {"controls stay one cell", ENCODING_UTF8, "\x01\x1F\x7F", {0, 1, 2, 3}, {0, 1, 2}, 3},
    {"an invalid byte is a cell", ENCODING_UTF8, "\xFFz\x80", {0, 1, 2, 3}, {0, 1, 2}, 3},
    {"a truncated sequence is a cell per byte", ENCODING_UTF8, "\xE6\xBCz", {0, 1, 2, 3}, {0, 1, 2}, 3},
    {"overlong and surrogate forms are invalid", ENCODING_UTF8, "\xC0\xAF\xED\xA0\x80", {0, 1, 2, 3, 4, 5},
     {0, 1, 2, 3, 4}, 5},
    {"a truncated sequence before a character", ENCODING_UTF8, "\xE6\xC3\xA9", {0, 1, 1, 2}, {0, 1}, 2},
    {"Shift_JIS: a column is a byte", ENCODING_SHIFT_JIS, "a\t\x88\x9F\xC3\xA9", {0, 1, 2, 3, 4, 5, 6},
     {0, 1, 2, 3, 4, 5}, 6},
};

}  // namespace

TEST(Cells, ColumnsOffsetsAndPaddingOfEveryCase) {
  for (const LineCase& c : CASES) {
    SCOPED_TRACE(c.what);
    make_document(c.line + "\r");
    doc.encoding = c.mode;
    uint8_t* line = doc.text_buffer;
    ASSERT_EQ(c.column_at.size(), c.line.size() + 1);
    for (uint32_t at = 0; at <= c.line.size(); ++at) EXPECT_EQ(column_of(line, line + at), c.column_at[at]) << at;
    ASSERT_EQ(c.start_of.size(), c.width);
    for (uint32_t column = 0; column < c.width; ++column) {
      const CellPlace place = place_of_column(line, column);
      EXPECT_EQ(place.at - line, c.start_of[column]) << "column " << column;
      EXPECT_EQ(place.column, c.column_at[c.start_of[column]]) << "column " << column;
      EXPECT_EQ(place.pad, 0u) << "column " << column;
    }
    // Beyond the end: the line's end, with spaces up to the column.
    const CellPlace beyond = place_of_column(line, c.width + 3);
    EXPECT_EQ(beyond.at - line, static_cast<ptrdiff_t>(c.line.size()));
    EXPECT_EQ(beyond.column, c.width);
    EXPECT_EQ(beyond.pad, 3u);
  }
}

// Each case alone, and after and amid ASCII runs that the check takes in bulk.
TEST(Cells, ValidUtf8DecidesTheMode) {
  const std::pair<std::string, bool> cases[] = {{"\xEF\xBB\xBF" "bom", true}, {"caf\xC3\xA9", true},
      {"\xF0\x9F\x98\x80", true}, {"\x88\x9F", false}, {"caf\xE9", false}, {"\xC3", false}, {"\xF4\x90\x80\x80", false}};
  for (const auto& [tail, valid] : cases) {
    for (const std::string& bytes : {tail, std::string(40, 'a') + tail, std::string(9, 'a') + tail + std::string(40, 'b')}) {
      EXPECT_EQ(is_valid_utf8(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), valid) << bytes;
    }
  }
}

// A line long enough for checkpoints: every lookup agrees with a walk of
// cell_at from the line's start, before and after edits in its middle and
// near its start.
TEST(Cells, CheckpointsOfALongLineFollowEdits) {
  std::string line;
  for (int i = 0; i < 3000; ++i) line += i % 7 == 0 ? "\t" : i % 5 == 0 ? "\xE6\xBC\xA2" : i % 3 == 0 ? "e\xCC\x81" : "\xC3\xA9";
  make_document(line + "\r", static_cast<uint32_t>(line.size()) + 4096);
  auto agrees = [](const char* when) {
    SCOPED_TRACE(when);
    uint8_t* start = doc.text_buffer;
    uint32_t column = 0;
    const uint8_t* end = start;
    while (*end != '\r') ++end;
    const uint32_t width = column_of(start, end);
    for (uint8_t* p = start; *p != '\r';) {
      const Cell c = cell_at(p, column);
      ASSERT_EQ(column_of(start, p), column) << p - start;
      ASSERT_EQ(place_of_column(start, column).at, p) << p - start;
      p += c.bytes;
      column += c.width;
    }
    EXPECT_EQ(width, column);
  };
  agrees("loaded");
  for (const uint32_t at : {1500u, 7u, 3000u}) {
    locate_line(0, column_of(doc.text_buffer, doc.text_buffer + at));
    const uint8_t wide[] = {0xE5, 0xAD, 0x97, '\t', 0xCC, 0x81};  // a mark joining the tab before it
    insert_at_cursor(wide, sizeof wide);
    agrees("after an insertion");
    delete_bytes_at_cursor(2);
    agrees("after a deletion");
  }
}
