// The dispatcher's key cases and its services table: where each cursor and
// page key (with and without Ctrl) puts the cursor and the view, what F6
// repeats and what it does not, and which service each key calls, with what
// arguments, including an empty table.
#include <string>
#include <vector>

#include "editor/modified.h"
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
  EXPECT_EQ(cmd.last_command, KEY_CODE_OFFSET + VK_DELETE);
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

// A recording stand-in for the files' services.
struct Calls {
  std::vector<std::string> log;
  int32_t found_line = -1;
  bool step_loads = false, clipboard_has_text = false;
};
Calls calls;

CommandServices recording_services(char* pattern, uint32_t chars) {
  CommandServices s{};
  s.reload_in_other_mode = [] { calls.log.push_back("reload"); };
  s.step_directory = [](int32_t step) {
    calls.log.push_back("step " + std::to_string(step));
    return calls.step_loads;
  };
  s.find_pattern = pattern;
  s.find_pattern_chars = chars;
  s.find_text = [](uint32_t direction, const uint8_t* end, const uint8_t* start) {
    calls.log.push_back("find " + std::to_string(direction) + " '" + std::string(start, end) + "'");
    return calls.found_line;
  };
  s.paste_clipboard_text = [] {
    calls.log.push_back("paste clipboard");
    return calls.clipboard_has_text;
  };
  s.copy_selection_to_transfer_file = [] {
    calls.log.push_back("copy");
    return true;
  };
  s.insert_transfer_file = [] { calls.log.push_back("insert transfer"); };
  return s;
}

using Log = std::vector<std::string>;

TEST_F(CommandKeys, EachKeyCallsItsServiceWithItsArguments) {
  calls = Calls{};
  char pattern[] = "ne 3    ";
  command_services = recording_services(pattern, 8);
  start_at(0, 2, 4);
  for (const char* k : {"F3", "F4"}) {  // not found: a status message, the cursor stays
    status.status_text = nullptr;
    const uint32_t shown = status.status_shows;
    key(k);
    EXPECT_STREQ(status.status_text, "Search string not found") << k;
    EXPECT_EQ(status.status_shows, shown + 1) << k;
  }
  EXPECT_EQ(calls.log, (Log{"find 0 'ne 3'", "find 1 'ne 3'"}));
  EXPECT_EQ(row(), 2);
  calls.log.clear();
  calls.found_line = 70;  // out of view: the view centres on it
  key("F4");
  EXPECT_EQ(view.top_line, 48);
  EXPECT_EQ(row(), 22);
  EXPECT_EQ(col(), 4);
  std::memset(pattern, ' ', 8);  // nothing to search for
  key("F3");
  EXPECT_EQ(calls.log, Log{"find 1 'ne 3'"});

  calls.log.clear();
  keys({"ctrl+F3", "ctrl+F4"});  // the listing ran out: nothing moves
  EXPECT_EQ(view.top_line, 48);
  calls.step_loads = true;
  key("ctrl+F4");
  EXPECT_EQ(calls.log, (Log{"step -1", "step 1", "step 1"}));
  EXPECT_EQ(view.top_line + row() + col() + view.left_col, 0);

  calls.log.clear();
  start_at(0, 3, 2);
  keys({"ctrl+Insert", "ctrl+v", "shift+Right", "ctrl+Insert"});
  EXPECT_EQ(selected(), "n");  // a copy keeps the Selection
  key("shift+Insert");         // the paste replaces it
  EXPECT_EQ(text().substr(24, 7), "lie 03\n");
  key("ctrl+F2");
  EXPECT_EQ(calls.log, (Log{"paste clipboard", "copy", "insert transfer", "reload"}));
  EXPECT_EQ(view.top_line + row() + col(), 0);
}

// Without services the keys that need them change nothing in the text; the
// cursor and view work of their own still happens.
TEST_F(CommandKeys, AnEmptyServicesTableDoesNothing) {
  command_services = CommandServices{};
  start_at(20, 3, 2);
  const std::string before = text();
  keys({"F3", "F4", "ctrl+F3", "ctrl+F4", "ctrl+v", "shift+Right", "ctrl+Insert", "shift+Insert"});
  EXPECT_EQ(text(), before.substr(0, 8 * 23 + 2) + before.substr(8 * 23 + 3));  // the paste's deletion only
  EXPECT_EQ(view.top_line, 20);
  key("ctrl+F2");
  EXPECT_EQ(view.top_line + row() + col(), 0);
  EXPECT_TRUE(check_document());
}

}  // namespace
