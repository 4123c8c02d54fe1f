// F3 and F4 on the running editor, with the real find_text: what a search
// selects and where the cursor and view go, and that the screen shows the new
// Selection and nothing of the old one. (The find bar itself, and repeated
// searches walking from match to match, are the scripted search_find_bar.)
#include <string>
#include <vector>

#include "editor/cells.h"
#include "editor_session.h"
#include "files/search.h"
#include "widgets/status.h"

using namespace vusk;
using namespace vusk::test;

namespace {

class Search : public EditorSession {
 protected:
  static void set_pattern(const std::string& p) {
    ASSERT_LE(p.size(), FIND_PATTERN_CHARS);
    std::memset(find_pattern, ' ', FIND_PATTERN_CHARS);
    std::memcpy(find_pattern, p.data(), p.size());
  }
  static int32_t sel(const uint8_t* p) { return static_cast<int32_t>(p - doc.text_buffer); }
  static std::vector<uint32_t> frame() { return {raster.frame_pixels, raster.frame_pixels + 1024 * 768}; }
  // The frame shows what a full redraw would: no stale highlight anywhere.
  static bool screen_is_current() {
    const std::vector<uint32_t> before = frame();
    redraw_all_widgets();
    return frame() == before;
  }
  static std::string lines(int count, int marked, const char* mark) {
    std::string text;
    for (int k = 0; k < count; ++k) {
      if (k != 0) text += '\n';
      if (k == marked) {
        text += mark;
      } else {
        text += 'l';
        text += std::to_string(k);
      }
    }
    return text;
  }
};

}  // namespace

TEST_F(Search, WhatASearchSelectsAndWhereTheCursorGoes) {
  struct Case {
    const char* what;
    std::string text, pattern;
    int32_t top, row, col;
    const char* key;
    int32_t start, end, top_after, row_after;  // start -1: not found
  } cases[] = {
      {"fold off", "x abc ABC aBc", "ABC", 0, 0, 0, "F3", 6, 9, 0, 0},
      {"fold on", "x ABC abc", "\x1b" "abc", 0, 0, 0, "F3", 2, 5, 0, 0},
      {"only letters fold", "{y} [y]", "\x1b[y", 0, 0, 0, "F3", 4, 6, 0, 0},
      {"leading space", "b ab\n b", " b", 0, 0, 0, "F3", 5, 7, 0, 1},
      {"trailing spaces", "xa\ny", "a   ", 0, 0, 0, "F3", 1, 2, 0, 0},
      {"one line", "hello world", "o", 0, 0, 11, "F4", 7, 8, 0, 0},
      {"below the last line", "ab\nab", "ab", 0, 5, 0, "F3", -1, -1, 0, 5},
      {"backward from below", "ab\nab", "ab", 0, 5, 0, "F4", 3, 5, 0, 1},
      {"at a match start", "ab ab", "ab", 0, 0, 3, "F3", 3, 5, 0, 0},
      {"ESC alone", "\nxy", "\x1b", 0, 0, 0, "F3", 1, 1, 0, 1},
      {"inside a double-byte character", "\x82\xa0\x82\xa1z", "\xa0\x82", 0, 0, 0, "F3", -1, -1, 0, 0},
      {"a line feed", "ab\ncd", "b\ncd", 0, 0, 0, "F3", 1, 5, 0, 0},
      {"a line feed meets a CR LF", std::string("ab\n\0cd", 6), "b\ncd", 0, 0, 0, "F3", 1, 6, 0, 0},
      {"last line, centred", lines(60, 59, "end"), "end", 0, 0, 0, "F3", 226, 229, 37, 22},
      {"backward to the top", lines(300, 3, "mark"), "mark", 100, 5, 2, "F4", 9, 13, 0, 3},
  };
  for (const Case& c : cases) {
    set_text(c.text);
    // Shown as a load would show it: Shift_JIS for text that is not UTF-8.
    if (!is_valid_utf8(reinterpret_cast<const uint8_t*>(c.text.data()), c.text.size())) {
      doc.encoding = ENCODING_SHIFT_JIS;
    }
    view.top_line = c.top;
    sync_scroll_thumb();
    click_cell(c.row, c.col);
    set_pattern(c.pattern);
    const uint32_t shows = status.status_shows;
    key(c.key);
    if (c.start < 0) {
      EXPECT_STREQ(status.status_text, "Search string not found") << c.what;
      EXPECT_EQ(status.status_shows, shows + 1) << c.what;
      EXPECT_EQ(view.sel_start, view.sel_end) << c.what;
    } else {
      EXPECT_EQ(sel(view.sel_start), c.start) << c.what;
      EXPECT_EQ(sel(view.sel_end), c.end) << c.what;
      EXPECT_TRUE(screen_is_current()) << c.what;
    }
    EXPECT_EQ(view.top_line, c.top_after) << c.what;
    EXPECT_EQ(row(), c.row_after) << c.what;
    EXPECT_EQ(col(), c.col) << c.what;  // the column never changes
  }
}

TEST_F(Search, TheScreenLosesTheOldSelectionsHighlight) {
  // A Selection over rows 2 to 6, then a match on row 8: rows 2 to 5 are
  // neither the cursor's old row nor its new one.
  set_text(lines(20, 8, "hit"));
  click_cell(2, 0);
  keys({"shift+Down", "shift+Down", "shift+Down", "shift+Down"});
  set_pattern("hit");
  key("F3");
  EXPECT_EQ(row(), 8);
  EXPECT_TRUE(screen_is_current());
  // A match over two lines, then one on another row.
  set_text("a\nb\nxyz\nc\nxyz");
  click_cell(0, 0);
  set_pattern("a\nb");
  key("F3");
  set_pattern("xyz");
  key("F3");
  EXPECT_EQ(sel(view.sel_start), 4);
  EXPECT_TRUE(screen_is_current());
}
