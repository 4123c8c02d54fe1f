// The LineTable under edits that cost what they change: raw splices
// re-indexed in place against an index derived from the bytes, the slack
// filler that large tail moves open, and edits that must not read lines
// far from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/startup.h"
#include "document_bytes.h"
#include "editor/document.h"
#include "platform/platform.h"

using namespace vusk;
using namespace vusk::test;
using namespace std::string_literals;

namespace {

// The entries as the Document gives them: lines 0..last_line and the one
// past the end marker.
std::vector<uint32_t> entries() {
  std::vector<uint32_t> out;
  for (uint32_t k = 0; k <= doc.last_line + 1; ++k) out.push_back(line_entry(k));
  return out;
}

// The entries read straight off the bytes, by the layout's rule: a line
// starts at the first non-zero byte after a 0x0A; the first 0x0D ends the
// text, and the last entry lies just past it.
std::vector<uint32_t> entries_from_bytes() {
  std::vector<uint32_t> out{0};
  const uint8_t* t = doc.text_buffer;
  uint32_t i = 0;
  for (; t[i] != 0x0D; ++i) {
    if (t[i] != 0x0A) continue;
    uint32_t s = i + 1;
    while (s < doc.text_length && t[s] == 0) ++s;
    out.push_back(s);
    i = s - 1;
  }
  out.push_back(i + 1);
  return out;
}

void insert_at(uint32_t line, uint32_t column, const std::string& bytes) {
  locate_line(line, column);
  insert_at_cursor(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
}

std::string fault() {
  const char* why = "";
  check_document(&why);
  return why;
}

// A text of `lines` lines of 8 letters, each closed as a CR LF load leaves
// it (0x0A and one 0x00 of filler), the last one by the end marker.
std::string lines_of_letters(int lines) {
  std::string text;
  for (int k = 0; k < lines; ++k) text += std::string(8, static_cast<char>('a' + k % 26)) + "\n\0"s;
  return text + "end\r";
}

}  // namespace

// Undo's kind of change: bytes replaced anywhere before the end marker,
// line breaks and 0x00 among them, and the table brought up to date
// without a rebuild. The entries must be those the bytes give; the table's
// gap and step travel from splice to splice, as between real edits.
TEST(LineTable, ReindexAfterRandomSplicesMatchesTheBytes) {
  std::mt19937 rng(11);
  auto pick = [&rng](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  const std::string alphabet = "ab \n\n\0\0"s;
  int grew = 0;
  for (int round = 0; round < 20; ++round) {
    make_document(lines_of_letters(static_cast<int>(pick(300))), 1u << 16);
    for (int step = 0; step < 400; ++step) {
      const auto marker = static_cast<uint32_t>(std::find(doc.text_buffer, doc.text_buffer + doc.text_length, 0x0D) - doc.text_buffer);
      const uint32_t offset = pick(marker + 1);
      const uint32_t removed = pick(1 + std::min<uint32_t>(marker - offset, pick(4) == 0 ? 200 : 6));
      std::string bytes;
      for (uint32_t n = pick(4) == 0 ? pick(300) : pick(6); n > 0; --n) bytes += alphabet[pick(alphabet.size())];
      if (pick(5) == 0) bytes.resize(removed, 'z');  // an overwrite in place
      const auto inserted = static_cast<uint32_t>(bytes.size());
      if (doc.text_length + inserted >= doc.text_capacity) break;
      uint8_t* at = doc.text_buffer + offset;
      std::memmove(at + inserted, at + removed, doc.text_length - offset - removed);
      std::memcpy(at, bytes.data(), inserted);
      doc.text_length = doc.text_length - removed + inserted;
      const uint32_t capacity = doc.line_table_capacity;
      reindex_after_splice(offset, removed, inserted);
      grew += doc.line_table_capacity != capacity;
      ASSERT_EQ(entries(), entries_from_bytes()) << "round " << round << " step " << step;
      ASSERT_EQ(fault(), "") << "round " << round << " step " << step;
      if (step % 50 == 49) {  // the full rebuild agrees, and leaves a table the next splices start from
        const std::vector<uint32_t> before = entries();
        rebuild_line_table(0);
        ASSERT_EQ(entries(), before);
      }
    }
  }
  EXPECT_GT(grew, 0);
}

// The edits that a held key repeats must not read the text far from them:
// a line break hidden at line 150 behind the index's back stays unseen, and
// its entry is only moved. A full re-index would find it.
TEST(LineTable, EditsReadOnlyTheLinesTheyTouch) {
  const auto hide_line_break = [] {
    make_document(lines_of_letters(200), 1u << 16);
    line_start(150)[3] = '\n';
  };
  hide_line_break();
  const uint32_t far = line_entry(180);
  insert_at(10, 2, "X");  // into the filler
  EXPECT_EQ(doc.last_line, 200u);
  EXPECT_EQ(line_entry(180), far);
  insert_at(10, 2, "YZ");  // a tail move: the later entries shift
  EXPECT_EQ(doc.last_line, 200u);
  EXPECT_EQ(line_entry(180), far + 2);
  locate_line(10, 4);
  doc.pad_newlines += 1;  // Enter: one more entry
  insert_at_cursor(nullptr, 0);
  EXPECT_EQ(doc.last_line, 201u);
  EXPECT_EQ(line_entry(181), far + 3);
  delete_byte_at(10, COLUMN_LINE_END);  // the join takes it out again
  EXPECT_EQ(doc.last_line, 200u);
  EXPECT_EQ(line_entry(180), far + 3);

  hide_line_break();
  delete_selected_text(line_start(20) + 2, line_start(23) + 4);
  EXPECT_EQ(doc.last_line, 197u);
  EXPECT_EQ(line_entry(177), far - 3 * 10 - 2);
  doc.last_line += 1;  // the bound a caller that knew of it would give
  rebuild_line_table(0);
  EXPECT_EQ(doc.last_line, 198u);  // the hidden line break, found at last
}

// Large tail moves open slack filler behind the cursor's line; with the
// threshold lowered these small texts reach it. 48 bytes allow 3 of it.
TEST(LineTable, SlackFillerBehindALargeTailMove) {
  const std::string middle(41, 'c');
  make_document("ab\n" + middle + "\nef\r");
  doc_tuning = {4, 3};
  insert_at(0, 2, "X");  // 46 bytes behind the cursor: more than 4
  EXPECT_EQ(used_bytes(), "abX\n\0\0\0"s + middle + "\nef\r");
  EXPECT_EQ(doc.filler_added, 3u);
  EXPECT_EQ(doc.room_offset, 2u);
  EXPECT_EQ(doc.room_removed, 1u);
  EXPECT_EQ(doc.room_inserted, 5u);
  insert_at(0, 3, "Y");  // then typing works in place
  locate_line(0, 1);
  doc.pad_newlines += 1;  // and so does Enter
  insert_at_cursor(nullptr, 0);
  EXPECT_EQ(used_bytes(), "a\nbXY\n\0"s + middle + "\nef\r");
  EXPECT_EQ(fault(), "");

  make_document("ab\n" + middle + "\nef\r");
  doc_tuning = {46, 3};
  insert_at(0, 2, "X");  // exactly the threshold: byte for byte as ever
  EXPECT_EQ(used_bytes(), "abX\n" + middle + "\nef\r");

  make_document("ab\ne" + middle + "f\r");
  doc_tuning = {4, 3};
  insert_at(1, 1, "X");  // never on the last line
  EXPECT_EQ(used_bytes(), "ab\neX" + middle + "f\r");
  EXPECT_EQ(doc.filler_added, 0u);
}

TEST(LineTable, SlackStaysWithinItsShareAndTheRoomThereIs) {
  // 1/16 of the text in all: 39 bytes give 2, spent by the first move.
  const std::string text = "abcdefgh\nabcdefgh\nabcdefgh\nabcdefgh\nab\r";
  make_document(text);
  doc_tuning = {4, 100};
  insert_at(0, 0, "X");
  EXPECT_EQ(doc.filler_added, 2u);
  insert_at(1, 0, "X");
  EXPECT_EQ(doc.filler_added, 2u);
  EXPECT_EQ(fault(), "");

  // Slack never causes a reallocation: with room for the byte alone, none.
  make_document(text, static_cast<uint32_t>(text.size()) + 2);
  doc_tuning = {4, 100};
  insert_at(0, 0, "X");
  EXPECT_EQ(doc.text_capacity, text.size() + 2);
  EXPECT_EQ(doc.filler_added, 0u);
  // A reallocation that must happen takes the slack along.
  insert_at(0, 0, "X");
  EXPECT_EQ(doc.filler_added, 2u);
  EXPECT_EQ(doc.text_capacity, text.size() + 1 + 1 + 2 + TEXT_SPARE_BYTES);
  EXPECT_EQ(fault(), "");
}
