// The Document engine: byte layouts after each primitive and protocol, the
// LineTable, and a randomized run against a plain model of the visible text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "document_bytes.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "backends/headless/headless.h"
#include "platform/platform.h"
#include "app/startup.h"

using namespace vusk;
using namespace vusk::test;
using namespace std::string_literals;

namespace {

// The lines as shown, joined by '\n': no filler, no dead bytes.
std::string visible_bytes() {
  std::string text;
  for (uint32_t k = 0; k <= doc.last_line; ++k) {
    const uint8_t* start = line_start(k);
    const void* end = std::memchr(start, k < doc.last_line ? '\n' : '\r', doc.text_buffer + doc.text_length - start);
    text.append(reinterpret_cast<const char*>(start), static_cast<const uint8_t*>(end) - start);
    if (k < doc.last_line) text += '\n';
  }
  return text;
}

void insert_at(uint32_t line, uint32_t column, const std::string& bytes) {
  locate_line(line, column);
  insert_at_cursor(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
}

// The debug check's complaint about the Document, empty when it holds.
std::string document_fault() {
  const char* why = "";
  check_document(&why);
  return why;
}

}  // namespace

TEST(Document, EmptyDocumentAndLocating) {
  reset_all_state();
  create_empty_document();
  EXPECT_EQ(used_bytes(), "   \r");
  EXPECT_EQ(doc.text_capacity, INITIAL_TEXT_BYTES);
  EXPECT_EQ(doc.line_table_capacity, INITIAL_LINE_TABLE_BYTES);
  EXPECT_EQ(document_fault(), "");
  locate_line(0, COLUMN_LINE_END);
  EXPECT_EQ(doc.cursor_line_length, 3u);
  EXPECT_EQ(doc.cursor_ptr, doc.text_buffer + 3);

  make_document("abc\nxy\r");
  locate_line(0, 7);
  EXPECT_EQ(doc.cursor_ptr, doc.text_buffer + 3);
  EXPECT_EQ(doc.pad_spaces, 4u);
  EXPECT_EQ(doc.cursor_line_length, 3u);
  view.top_line = 1;  // the view's rows count from its top line
  locate_cursor(2, 5);
  EXPECT_EQ(doc.cursor_line, 3u);
  EXPECT_EQ(doc.pad_newlines, 2u);
  EXPECT_EQ(doc.pad_spaces, 5u);
  EXPECT_EQ(doc.cursor_line_length, 0u);
  EXPECT_EQ(doc.cursor_ptr, doc.text_buffer + 6);
}

TEST(Document, MakeRoomInPlaceTailMoveAndReallocation) {
  make_document("ab\n\0cd\r"s);
  insert_at(0, 2, "X");  // uses the filler: line 1 stays put
  EXPECT_EQ(used_bytes(), "abX\ncd\r");
  EXPECT_EQ(document_fault(), "");

  make_document("ab\n\0cd\r"s);
  insert_at(0, 2, "XY");  // one byte of filler is too little
  EXPECT_EQ(used_bytes(), "abXY\n\0cd\r"s);
  EXPECT_EQ(document_fault(), "");

  make_document("ab\ncd\r\0\r"s);
  insert_at(1, 2, "X");  // never in place on the last line: dead bytes move along
  EXPECT_EQ(used_bytes(), "ab\ncdX\r\0\r"s);

  make_document("ab\ncd\nef\r", 10);
  doc.line_table[1] = 7;  // stale entries before the cursor must be rebuilt too
  locate_line(2, 1);
  EXPECT_EQ(insert_at_cursor(reinterpret_cast<const uint8_t*>("X"), 1), 0);
  EXPECT_EQ(used_bytes(), "ab\ncd\neXf\r");
  EXPECT_EQ(doc.text_capacity, 10u + TEXT_SPARE_BYTES);
  EXPECT_EQ(doc.cursor_ptr, doc.text_buffer + 8);
  EXPECT_EQ(document_fault(), "");
}

TEST(Document, InsertionPadsAndSplitsLines) {
  make_document("ab\r");
  insert_at(2, 3, "Z");  // two lines below the last
  EXPECT_EQ(used_bytes(), "ab\n\n   Z\r");
  EXPECT_EQ(doc.last_line, 2u);
  insert_at(0, 4, "x\ny");
  EXPECT_EQ(visible_bytes(), "ab  x\ny\n\n   Z");
  EXPECT_EQ(document_fault(), "");

  make_document("abc\r");
  locate_line(0, 1);
  doc.pad_newlines += 1;  // Enter: a line break and no bytes
  EXPECT_EQ(insert_at_cursor(nullptr, 0), -1);
  EXPECT_EQ(visible_bytes(), "a\nbc");
  EXPECT_EQ(document_fault(), "");
}

TEST(Document, DeletingBytesAndJoiningLines) {
  make_document("ab\n\0cd\r"s);
  delete_byte_at(0, 0);
  EXPECT_EQ(used_bytes(), "b\n\0\0cd\r"s);
  EXPECT_EQ(line_entry(1), 4u);
  EXPECT_EQ(document_fault(), "");

  make_document("ab\n\0cd\r"s);
  delete_byte_at(0, 2);  // on the 0x0A: the last line comes up
  EXPECT_EQ(used_bytes(), "abcd\r\0\0"s);
  EXPECT_EQ(doc.last_line, 0u);
  EXPECT_EQ(document_fault(), "");
  delete_byte_at(0, 9);  // on the end marker, and below the text: nothing
  delete_byte_at(1, 0);
  EXPECT_EQ(used_bytes(), "abcd\r\0\0"s);
  make_document("ab\ncd\r");
  delete_byte_at(1, 1);  // the last content byte leaves a dead 0x0D
  EXPECT_EQ(used_bytes(), "ab\nc\r\r");
  EXPECT_EQ(visible_bytes(), "ab\nc");
  EXPECT_EQ(document_fault(), "");

  make_document("ab\n\0cd\nef\r"s);
  delete_byte_at(0, 5);  // beyond the end of line 0: still a join
  EXPECT_EQ(used_bytes(), "abcd\n\0\0ef\r"s);
  EXPECT_EQ(line_entry(1), 7u);
  EXPECT_EQ(document_fault(), "");
}

TEST(Document, ZeroBytesBehindALineBreakBecomeFiller) {
  make_document("ab\nx\0y\r"s);
  delete_byte_at(1, 0);
  EXPECT_EQ(visible_bytes(), "ab\ny");
  EXPECT_EQ(document_fault(), "");
  insert_at(1, 0, "\0"s);
  EXPECT_EQ(visible_bytes(), "ab\ny");
  EXPECT_EQ(document_fault(), "");
  insert_at(0, 0, "\0"s);  // line 0 starts at the text's start: content
  EXPECT_EQ(visible_bytes(), "\0ab\ny"s);
  EXPECT_EQ(document_fault(), "");
}

// Deletions in a row at one place delete the bytes the line showed; a 0x00
// becomes filler only if it opens the line after the last of them.
TEST(Document, RepeatedDeletionsAtALineStart) {
  make_document("x\na\0bcd\nz\r"s);  // F5 at line 1's start: "a", the 0x00, "b"
  locate_line(1, 0);
  delete_bytes_at_cursor(3);
  EXPECT_EQ(visible_bytes(), "x\ncd\nz");
  EXPECT_EQ(document_fault(), "");
  EXPECT_EQ(doc.cursor_ptr, line_start(1));
  EXPECT_EQ(doc.cursor_line_length, 2u);

  make_document("x\na\0\r"s);  // at the end of the text the line empties
  locate_line(1, 0);
  delete_bytes_at_cursor(3);
  EXPECT_EQ(document_fault(), "");
  insert_at_cursor(reinterpret_cast<const uint8_t*>("HELLO"), 5);
  EXPECT_EQ(visible_bytes(), "x\nHELLO");
  EXPECT_EQ(document_fault(), "");

  make_document("x\n\nb\0c\r"s);  // a join brings the 0x00 there
  locate_line(1, 0);
  delete_bytes_at_cursor(3);
  EXPECT_EQ(visible_bytes(), "x\nc");
  EXPECT_EQ(document_fault(), "");

  // Single deletions leave a fresh record: the next one deletes the byte
  // the cursor now stands on, the run of 0x00 having become filler.
  make_document("x\na\0\0bc\nz\r"s);
  locate_line(1, 0);
  for (const char* left : {"x\nbc\nz", "x\nc\nz", "x\n\nz"}) {
    delete_char_at_cursor();
    EXPECT_EQ(visible_bytes(), left);
    EXPECT_EQ(document_fault(), "");
    EXPECT_EQ(doc.cursor_ptr, line_start(1));
    EXPECT_EQ(doc.cursor_line_length, std::strlen(left) - 4);
  }
}

TEST(Document, DeletingTheSelection) {
  make_document("ab\ncd\nef\r");
  EXPECT_EQ(delete_selected_text(doc.text_buffer + 1, doc.text_buffer + 4), 0u);
  EXPECT_EQ(used_bytes(), "ad\nef\r");
  EXPECT_EQ(document_fault(), "");

  // A selection reaching over the end marker stops before it.
  EXPECT_EQ(delete_selected_text(doc.text_buffer + 4, doc.text_buffer + 6), 1u);
  EXPECT_EQ(used_bytes(), "ad\ne\r");
  EXPECT_EQ(document_fault(), "");
}

TEST(Document, RebuildRangeAndLineTableGrowth) {
  make_document("ab\ncd\nef\r");
  doc.line_table[1] = 1;
  rebuild_line_table(doc.last_line + 1);
  EXPECT_FALSE(check_document());
  rebuild_line_table(-3);
  EXPECT_EQ(document_fault(), "");
  // Indexing stops at the first 0x0D, even with line feeds behind it.
  make_document("ab\rcd\nef\nghijklmnopq\r");
  EXPECT_EQ(doc.last_line, 0u);
  EXPECT_EQ(line_entry(1), 3u);

  std::string text;
  for (int k = 0; k < 1023; ++k) text += "x\n";
  make_document(text + "\r");  // 1022 would still fit 4096 bytes
  EXPECT_EQ(doc.line_table_capacity, 8188u);
  doc.line_table_capacity = 4096;  // as if the old table were still in use
  std::memset(doc.line_table, 0xEE, 4096);
  rebuild_line_table(500);  // a new table is indexed from line 0
  EXPECT_EQ(doc.line_table_capacity, 8188u);
  EXPECT_EQ(document_fault(), "");
  make_document(text.substr(2) + "\r");
  EXPECT_EQ(doc.line_table_capacity, INITIAL_LINE_TABLE_BYTES);
}

TEST(Document, CheckDocumentFindsBrokenLayouts) {
  make_document("ab\ncd\r\0"s);
  doc.text_buffer[7] = 'x';
  doc.text_length = 8;
  EXPECT_EQ(document_fault(), "a dead byte behind the end marker is neither 0x00 nor 0x0D");
  doc.text_buffer[5] = 'e';
  EXPECT_EQ(document_fault(), "no end marker among the used bytes");
  make_document("ab\ncd\r");
  doc.last_line = 0;
  EXPECT_EQ(document_fault(), "more line breaks than last_line");
  make_document("ab\ncd\r", 6);
  EXPECT_EQ(document_fault(), "text_length is not below text_capacity");
}

TEST(Document, SizesBeyond32BitsEndTheProcessWithCode1) {
  struct Exited {
    int code;
  };
  headless::set_exit_handler([](int code) { throw Exited{code}; });
  make_document("ab\r");
  locate_line(1, COLUMN_LINE_END - 1);  // a virtual line at the widest column
  try {
    insert_at_cursor(reinterpret_cast<const uint8_t*>("x"), 1);
    ADD_FAILURE() << "the insertion went ahead";
  } catch (const Exited& e) {
    EXPECT_EQ(e.code, 1);
  }
  EXPECT_EQ(used_bytes(), "ab\r");
  doc.last_line = 0x3FFFFFFF;  // (last_line + 1) x 4 wraps round in 32 bits
  EXPECT_THROW(rebuild_line_table(0), Exited);
  headless::set_exit_handler(nullptr);
}

TEST(Document, IndexingAndLineOfPointerMatchLinearScans) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int lines = static_cast<int>(rng() % 40);
    for (int k = 0; k < lines; ++k) {  // filler runs of up to 19 bytes cross 16-byte blocks
      text += std::string(rng() % 20, 'a') + "\n" + std::string(rng() % 4 == 0 ? rng() % 20 : rng() % 2, '\0');
    }
    make_document(text + std::string(rng() % 20, 'x') + "\r" + std::string(rng() % 3, '\0'));
    EXPECT_EQ(document_fault(), "");
    for (uint32_t at = 0; at < doc.text_length; ++at) {
      uint32_t expected = 0;
      while (expected < doc.last_line && line_entry(expected + 1) <= at) ++expected;
      ASSERT_EQ(line_of_pointer(doc.text_buffer + at), expected) << "round " << round << " offset " << at;
    }
  }
}

namespace {

// The model: the visible text as one string, lines joined by '\n'.
size_t model_line_start(const std::string& text, uint32_t line) {
  size_t at = 0;
  while (line-- > 0) at = text.find('\n', at) + 1;
  return at;
}

uint32_t model_line_length(const std::string& text, size_t start) {
  const size_t end = text.find('\n', start);
  return static_cast<uint32_t>((end == std::string::npos ? text.size() : end) - start);
}

// 0x00 bytes directly behind a line break are filler, not text.
void drop_filler(std::string& text) {
  if (text.find("\n\0"s) == std::string::npos) return;
  std::string kept;
  for (char c : text) {
    if (c != 0 || kept.empty() || kept.back() != '\n') kept += c;
  }
  text = kept;
}

}  // namespace

// Random edits through the protocols against the model; `tuning` decides
// whether large tail moves open slack filler.
void random_edits_match_the_model(uint32_t seed, DocumentTuning tuning) {
  reset_all_state();
  std::mt19937 rng(seed);
  auto pick = [&rng](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  std::string model, bytes;
  for (int k = 0; k < 1000; ++k) {  // CR LF filler, and nearly enough lines to grow the table
    const std::string line(pick(8), static_cast<char>('a' + k % 26));
    model += line + "\n";
    bytes += line + "\n\0"s;
  }
  model += "end";
  make_document(bytes + "end\r");
  doc_tuning = tuning;
  const std::string alphabet = "abcxyz \n\n\x81\xff\0"s;
  int in_place = 0, tail_moves = 0, reallocations = 0, table_growths = 0;

  for (int step = 0; step < 4000; ++step) {
    const uint32_t last = doc.last_line;
    const uint32_t top = pick(last + 1);  // as a view would show it
    const uint32_t line = top + pick(last + 4 - top);
    const size_t start = model_line_start(model, std::min(line, last));
    const uint32_t length = model_line_length(model, start);
    const uint32_t column = pick(length + 6);
    const uint32_t action = pick(10);
    const uint32_t old_capacity = doc.text_capacity, old_length = doc.text_length;
    const uint32_t old_table = doc.line_table_capacity;

    if (action < 7) {  // typing or pasting; Enter for action 6
      const bool enter = action == 6;
      std::string typed;
      for (uint32_t n = enter ? 0 : pick(7); n > 0; --n) {
        const uint32_t choices = static_cast<uint32_t>(alphabet.size()) - (pick(8) != 0 ? 1 : 0);  // 0x00 is rare
        typed += alphabet[pick(choices)];
      }
      const size_t at = line > last ? model.size() : start + std::min(column, length);
      const uint32_t spaces = line > last ? column : column - std::min(column, length);
      const std::string added = std::string((line > last ? line - last : 0) + enter, '\n') + std::string(spaces, ' ') + typed;
      model.insert(at, added);
      locate_line(line, column);
      doc.pad_newlines += enter;
      insert_at_cursor(reinterpret_cast<const uint8_t*>(typed.data()), static_cast<uint32_t>(typed.size()));
      if (doc.text_capacity != old_capacity) ++reallocations;
      else if (!added.empty()) ++(doc.text_length == old_length ? in_place : tail_moves);
    } else if (action < 9) {  // Delete or F5: bytes, or the line break at the line's end, at one place
      const uint32_t count = 1 + pick(3);
      const size_t at = start + std::min(column, length);
      for (uint32_t i = 0; i < count && line <= last && at < model.size(); ++i) model.erase(at, 1);
      locate_line(line, column);
      delete_bytes_at_cursor(count);
    } else {  // a selection over up to three lines; on the last line at times over the end marker
      const uint32_t line_a = std::min(line, last), column_a = std::min(column, length);
      const uint32_t line_b = std::min(last, line_a + pick(3));
      const size_t start_b = model_line_start(model, line_b);
      const uint32_t column_b = pick(model_line_length(model, start_b) + 1);
      size_t from = start + column_a, to = start_b + column_b;
      uint8_t* sel_a = line_start(line_a) + column_a;
      uint8_t* sel_b = line_start(line_b) + column_b;
      if (line_a == last && pick(4) == 0) {
        to = model.size();
        sel_b = doc.text_buffer + doc.text_length;
      }
      if (to < from) {
        std::swap(from, to);
        std::swap(sel_a, sel_b);
      }
      model.erase(from, to - from);
      delete_selected_text(sel_a, sel_b);
    }
    drop_filler(model);
    ASSERT_EQ(document_fault(), "") << "at step " << step;
    ASSERT_EQ(visible_bytes(), model) << "at step " << step;
    if (doc.line_table_capacity != old_table) ++table_growths;
  }
  EXPECT_GT(in_place, 0);
  EXPECT_GT(tail_moves, 0);
  EXPECT_GT(reallocations, 0);
  EXPECT_GT(table_growths, 0);
  if (tuning.slack_tail_bytes < doc.text_length) {
    EXPECT_GT(doc.filler_added, 0u);
  }
}

TEST(Document, RandomEditsMatchAModelOfTheText) { random_edits_match_the_model(2024, DEFAULT_DOCUMENT_TUNING); }

// The same with slack filler behind tail moves of more than 256 bytes.
TEST(Document, RandomEditsWithSlackFillerMatchAModelOfTheText) {
  random_edits_match_the_model(2025, DocumentTuning{256, 64});
}
