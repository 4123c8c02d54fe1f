// Undo and redo through the keys and the history's own routines: what forms
// a step, where the cursor goes, the redo steps a new change drops, the
// bounds on steps and data, loads, the saved state, and the re-indexing
// after a splice compared with a full rebuild.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "editor/undo.h"
#include "editor_session.h"
#include "files/load_save.h"
#include "files/transfer.h"
#include "widgets/status.h"

using namespace vusk;
using namespace vusk::test;
using namespace std::string_literals;

namespace {

std::vector<bool> reports;  // what history_listener was told, in order

class Undo : public EditorSession {
 protected:
  void TearDown() override { history_listener = nullptr; }

  // A text put in place behind the history's back, as a load would.
  static void start_with(const std::string& text) {
    set_text(text);
    clear_history();
  }
  static void undo() { key("ctrl+z"); }
  static void redo() { key("ctrl+y"); }
  static void expect_sound() {
    const char* why = nullptr;
    EXPECT_TRUE(check_document(&why)) << why;
  }
};

TEST_F(Undo, TypingOnOneLineIsOneStepUntilTheCursorMoves) {
  start_with("abc\ndef");
  click_cell(0, 1);
  chars("XY");
  key("Right");
  chars("Z");
  EXPECT_EQ(text(), "aXYbZc\ndef");
  EXPECT_EQ(undo_step_count(), 2u);
  undo();
  EXPECT_EQ(text(), "aXYbc\ndef");
  EXPECT_EQ(col(), 4);  // at the change
  undo();
  EXPECT_EQ(text(), "abc\ndef");
  EXPECT_EQ(col(), 1);
  EXPECT_EQ(row(), 0);
  expect_sound();
}

TEST_F(Undo, OtherCommandsAreStepsOfTheirOwn) {
  start_with("abcdef\nxyz");
  click_cell(0, 3);
  chars("1");
  key("Backspace");  // takes back the typed byte, but as a step of its own
  chars("2");        // a new run: the Backspace moved the cursor
  key("Tab");
  key("Enter");
  chars("3");
  EXPECT_EQ(undo_step_count(), 6u);
  for (const char* before : {"abc2        \ndef\nxyz", "abc2        def\nxyz", "abc2def\nxyz", "abcdef\nxyz",
                             "abc1def\nxyz", "abcdef\nxyz"}) {
    undo();
    EXPECT_EQ(text(), before);
  }
  expect_sound();
}

TEST_F(Undo, RedoDoesTheStepsAgainAndANewChangeDropsThem) {
  start_with("one\ntwo");
  undo();
  EXPECT_STREQ(status.status_text, "nothing to undo!");
  click_cell(1, 3);
  chars("!");
  key("Enter");
  undo();
  undo();
  EXPECT_EQ(text(), "one\ntwo");
  redo();
  EXPECT_EQ(text(), "one\ntwo!");
  EXPECT_EQ(row(), 1);
  EXPECT_EQ(col(), 4);  // behind the change
  key("ctrl+shift+z");
  EXPECT_EQ(text(), "one\ntwo!\n");
  EXPECT_EQ(redo_step_count(), 0u);
  undo();
  click_cell(0, 0);
  chars("#");  // a new change after an undo: the Enter cannot come back
  EXPECT_EQ(redo_step_count(), 0u);
  redo();
  EXPECT_EQ(text(), "#one\ntwo!");
  EXPECT_STREQ(status.status_text, "nothing to redo!");
  // Without Ctrl the same byte is typed, as any control byte is.
  headless::send(WM_CHAR, 'Z' - '@', 1);
  EXPECT_EQ(text(), "#\x1Aone\ntwo!");
  expect_sound();
}

TEST_F(Undo, UndoEmptiesTheSelectionAndScrollsToTheChange) {
  std::string lines;
  for (int k = 0; k < 200; ++k) lines += "line " + std::to_string(k) + "\n";
  start_with(lines + "end");
  click_cell(0, 2);
  keys({"shift+Down", "shift+Down", "Delete"});  // lines 0 and 1 go
  key("ctrl+End");
  key("shift+Up");
  undo();
  EXPECT_EQ(view.sel_start, view.sel_end);
  EXPECT_EQ(view.top_line + row(), 0);  // the view went back to the change
  EXPECT_EQ(col(), 2);
  EXPECT_EQ(text(), lines + "end");
  expect_sound();
  std::vector<uint8_t*> rows(view.row_ptr, view.row_ptr + view.visible_rows);
  fill_row_pointers();
  EXPECT_TRUE(std::equal(rows.begin(), rows.end(), view.row_ptr));
}

TEST_F(Undo, JoinsAndTheF5RepeatComeBackByteForByte) {
  start_with("ab\n\0\0cd\nef"s);
  click_cell(0, 2);
  key("Delete");
  key("Down");
  key("Home");
  key("Backspace");  // joins "ef" onto "abcd": the last line moves back
  EXPECT_EQ(text(), "abcdef");
  undo();
  undo();
  const std::string bytes(reinterpret_cast<const char*>(doc.text_buffer), doc.text_length);
  EXPECT_EQ(bytes, "ab\n\0\0cd\nef\r"s);
  expect_sound();

  start_with("ab\0\0cd\nef\ngh"s);
  click_cell(0, 1);
  key("F5");
  key("F6");  // F5 again, one line down: 'f', the join, 'g'
  EXPECT_EQ(text(), "acd\neh");
  undo();
  EXPECT_EQ(text(), "acd\nef\ngh");
  undo();
  EXPECT_EQ(text(), "ab\0\0cd\nef\ngh"s);
  expect_sound();
}

TEST_F(Undo, ASaveAndTheUndoAndRedoAroundItAreTracked) {
  reports.clear();
  history_listener = [](bool saved) { reports.push_back(saved); };
  start_with("text");
  EXPECT_TRUE(at_saved_state());
  click_cell(0, 4);
  chars("1");
  EXPECT_FALSE(at_saved_state());
  note_saved_state();
  chars("2");  // after a save typing opens a step of its own
  EXPECT_FALSE(at_saved_state());
  undo();
  EXPECT_TRUE(at_saved_state());
  undo();
  EXPECT_FALSE(at_saved_state());
  redo();
  EXPECT_TRUE(at_saved_state());
  redo();
  EXPECT_FALSE(at_saved_state());
  // A change made after undoing past the save leaves it out of reach.
  undo();
  undo();
  chars("x");
  undo();
  EXPECT_FALSE(at_saved_state());
  EXPECT_EQ(reports, (std::vector<bool>{true, false, true, false, true, false, false}));
}

TEST_F(Undo, ALoadClearsTheHistoryAndAFailedOneKeepsIt) {
  const std::string path = ::testing::TempDir() + "vusk-undo-load-" + std::to_string(getpid()) + ".txt";
  std::ofstream(path, std::ios::binary) << "loaded\r\ntext";
  start_with("abc");
  click_cell(0, 3);
  chars("d");
  std::snprintf(files.file_path, sizeof files.file_path, "%s", (path + ".missing").c_str());
  EXPECT_EQ(load_document(), 1);
  EXPECT_EQ(undo_step_count(), 1u);
  std::snprintf(files.file_path, sizeof files.file_path, "%s", path.c_str());
  ASSERT_EQ(load_document(), 0);
  EXPECT_EQ(undo_step_count(), 0u);
  EXPECT_TRUE(at_saved_state());
  undo();
  EXPECT_EQ(text(), "loaded\ntext");
  std::remove(path.c_str());
}

// The text `t` with its LineTable, nothing drawn.
void place_text(const std::string& t) {
  std::memcpy(doc.text_buffer, t.data(), t.size());
  doc.text_buffer[t.size()] = 0x0D;
  doc.text_length = static_cast<uint32_t>(t.size() + 1);
  doc.last_line = static_cast<uint32_t>(std::count(t.begin(), t.end(), '\n'));
  rebuild_line_table(0);
}

// Steps made straight through the Document's protocols, as commands do.
void insert_step(uint32_t line, uint32_t column, const std::string& bytes) {
  begin_command();
  locate_line(line, column);
  insert_at_cursor(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
}

TEST_F(Undo, TheOldestStepsGoBeyondTheStepBound) {
  start_with("");
  const uint32_t extra = 50;
  for (uint32_t k = 0; k < UNDO_MAX_STEPS + extra; ++k) insert_step(0, k, "x");
  EXPECT_EQ(undo_step_count(), UNDO_MAX_STEPS);
  uint32_t at = 0;
  while (undo_step(&at)) {
  }
  EXPECT_EQ(text(), std::string(extra, 'x'));
  expect_sound();
}

TEST_F(Undo, TheOldestStepsGoBeyondTheDataBoundButNoMoreThanThat) {
  const size_t chunk = UNDO_MAX_BYTES / 16;
  start_with("");
  insert_step(0, 0, std::string(chunk, 'a'));
  clear_history();
  // Each deletion holds a chunk; each insertion only its place.
  for (int k = 0; k < 20; ++k) {
    begin_command();
    delete_selected_text(doc.text_buffer, doc.text_buffer + chunk);
    insert_step(0, 0, std::string(chunk, static_cast<char>('b' + k)));
  }
  EXPECT_GE(history_bytes(), UNDO_MAX_BYTES);
  EXPECT_LT(history_bytes(), UNDO_MAX_BYTES + chunk + 4096);
  EXPECT_LT(undo_step_count(), 40u);
  EXPECT_GT(undo_step_count(), 30u);
  uint32_t at = 0;
  while (undo_step(&at)) expect_sound();
  while (redo_step(&at)) expect_sound();
  EXPECT_EQ(text(), std::string(chunk, static_cast<char>('b' + 19)));
}

// The re-indexing after a splice must leave what a rebuild from line 0
// leaves, for changes anywhere: at line starts, in filler, over line
// breaks, on the last line.
TEST_F(Undo, ReindexingAfterASpliceEqualsAFullRebuild) {
  std::mt19937 rng(7);
  auto below = [&rng](uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); };
  const char pool[] = {'a', 'b', '\n', '\n', '\0', '\0', ' '};
  for (int trial = 0; trial < 2000; ++trial) {
    std::string t;
    for (uint32_t n = below(60); n > 0; --n) t += pool[below(sizeof pool)];
    place_text(t);
    const uint32_t offset = below(static_cast<uint32_t>(t.size()) + 1);
    const uint32_t removed = below(static_cast<uint32_t>(t.size()) - offset + 1);
    std::string in;
    for (uint32_t n = below(8); n > 0; --n) in += pool[below(sizeof pool)];
    const std::string changed = t.substr(0, offset) + in + t.substr(offset + removed);
    std::memcpy(doc.text_buffer, changed.data(), changed.size());
    doc.text_buffer[changed.size()] = 0x0D;
    doc.text_length = static_cast<uint32_t>(changed.size() + 1);
    reindex_after_splice(offset, removed, static_cast<uint32_t>(in.size()));
    const char* why = nullptr;
    ASSERT_TRUE(check_document(&why)) << why << " after trial " << trial << ": " << ::testing::PrintToString(t)
                                      << " at " << offset << " -" << removed << " +" << ::testing::PrintToString(in);
  }
}

}  // namespace
