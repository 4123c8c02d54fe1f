// The dispatcher's key cases: where each cursor and page key (with and
// without Ctrl) puts the cursor and the view, and what F6 repeats and what it
// does not.
#include <string>
#include <vector>

#include "editor/modified.h"
#include "commands/command_keys.h"
#include "editor_session.h"

using namespace vusk;
using namespace vusk::test;

namespace {

class CommandKeys : public EditorSession {
 protected:
  // 100 lines "line 00" .. "line 99", the view at `top`, the cursor at
  // (row, col) of the screen.
  static void start_at(int32_t top, uint32_t row, uint32_t col) {
    std::string lines;
    for (int k = 0; k < 100; ++k) {
      if (k != 0) lines += '\n';
      lines += k < 10 ? "line 0" : "line ";
      lines += std::to_string(k);
    }
    set_text(lines);
    view.top_line = top;
    sync_scroll_thumb();
    click_cell(row, col);
  }
};

TEST_F(CommandKeys, CursorAndPageKeysMoveTheCursorAndTheView) {
  struct Case {
    const char* key;
    int32_t top, row, col, left;  // expected, from top 10, row 5, column 20
  } cases[] = {
      {"Left", 10, 5, 19, 0},        {"Right", 10, 5, 21, 0},       {"Up", 10, 4, 20, 0},
      {"Down", 10, 6, 20, 0},        {"ctrl+Left", 10, 5, 15, 0},   {"ctrl+Right", 10, 5, 25, 0},
      {"ctrl+Up", 9, 6, 20, 0},      {"ctrl+Down", 11, 4, 20, 0},   {"PageUp", 0, 5, 20, 0},
      {"PageDown", 53, 5, 20, 0},    {"ctrl+PageUp", 10, 5, 0, 0},  {"ctrl+PageDown", 10, 5, 112, 22},
      {"Home", 10, 5, 0, 0},         {"ctrl+Home", 0, 0, 0, 0},     {"End", 10, 5, 7, 0},
      {"ctrl+End", 56, 43, 7, 0},    {"shift+Left", 10, 5, 19, 0},  {"shift+ctrl+Up", 9, 6, 20, 0},
  };
  for (const Case& c : cases) {
    start_at(10, 5, 20);
    key(c.key);
    EXPECT_EQ(view.top_line, c.top) << c.key;
    EXPECT_EQ(row(), c.row) << c.key;
    EXPECT_EQ(col(), c.col) << c.key;
    EXPECT_EQ(view.left_col, c.left) << c.key;
    EXPECT_EQ(view.cursor_abs_line, static_cast<uint32_t>(view.top_line + row())) << c.key;
  }
  // Ctrl+Up at the top of the text cannot scroll: the cursor keeps its row.
  start_at(0, 5, 3);
  key("ctrl+Up");
  EXPECT_EQ(view.top_line, 0);
  EXPECT_EQ(row(), 5);
  EXPECT_EQ(text().substr(0, 7), "line 00");
}

// With nothing recorded yet, F6 leaves the text alone (it once typed a 0x00
// into the next line).
TEST_F(CommandKeys, F6BeforeAnyCommandTypedANul) {
  set_text("abc\ndef");
  key("ctrl+PageDown");
  key("F6");
  EXPECT_EQ(text(), "abc\ndef");
  EXPECT_FALSE(document_modified());
}

TEST_F(CommandKeys, F6RepeatsTheLastRecordedCommandOneLineDown) {
  // Ctrl and the column travel with the command: Ctrl+Right from column 2
  // again from column 2 of the next line.
  start_at(0, 0, 2);
  keys({"ctrl+Right", "F6"});
  EXPECT_EQ(row(), 1);
  EXPECT_EQ(col(), 7);
  // The view moves that F6 leaves out of its memory: Home, End, PageUp,
  // PageDown and the bookmark keys. F6 still types the 'x' at column 4.
  set_text("abcdef\nghijkl\nmnopqr");
  click_cell(0, 4);
  chars("x");
  keys({"End", "Home", "PageDown", "PageUp", "F7", "F6"});
  EXPECT_EQ(text(), "abcdxef\nghijxkl\nmnopqr");
  EXPECT_EQ(col(), 5);
  // A deletion repeats at the same column, and again.
  click_cell(0, 1);
  keys({"Delete", "F6", "F6"});
  EXPECT_EQ(text(), "acdxef\ngijxkl\nmopqr");
  EXPECT_EQ(cmd.last_command, KEY_DELETE);
  // Below the middle of the view the view scrolls and the cursor keeps its row.
  start_at(0, 30, 0);
  keys({"Tab", "F6"});
  EXPECT_EQ(view.top_line, 1);
  EXPECT_EQ(row(), 30);
  EXPECT_NE(text().find("\nline 29\n        line 30\n        line 31\nline 32"), std::string::npos);
}

// F6 repeating a Ctrl+X that finds nothing to cut still steps down a line;
// from the lower half that scrolls the view, and the line counter follows.
TEST_F(CommandKeys, F6RepeatingACutOfNothingKeepsTheLineCounterTrue) {
  start_at(10, 30, 2);
  key("ctrl+x");
  key("F6");
  EXPECT_EQ(view.top_line, 11);
  EXPECT_EQ(row(), 30);
  EXPECT_EQ(view.cursor_abs_line, 41u);
}

}  // namespace
