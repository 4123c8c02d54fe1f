// The editing dispatcher on the running editor: overwrite mode, keys without
// a binding, what each kind of command redraws, the Selection kept inside the
// text across reallocations and deletions, and the rows and view kept true.
// Deletions where 0x00 bytes come to open a line, Backspace in the top row,
// and the cursor after a selection is deleted. (Typing and deleting in
// virtual space, cursor keys, F6, bookmarks and Ctrl+F2 are scripted cases.)
#include <functional>
#include <set>
#include <string>

#include "editor_session.h"
#include "files/load_save.h"

using namespace vusk;
using namespace vusk::test;
using namespace std::string_literals;

namespace {

class Commands : public EditorSession {};

constexpr uint32_t SENTINEL = 0x00ABCDEF;  // no palette colour

// What a command drew, read from probe pixels of a frame filled with SENTINEL.
struct Drawn {
  std::set<int> rows;
  bool bars = false, bottom = false, overlay = false;
};

bool drawn_at(uint32_t y, uint32_t x) { return *pixel_address(y, x) != SENTINEL; }

Drawn drawn_by(const std::function<void()>& action) {
  std::fill(raster.frame_pixels, raster.frame_pixels + size_t{raster.frame_width} * raster.frame_height, SENTINEL);
  action();
  Drawn d;
  for (uint32_t r = 0; r < view.visible_rows; ++r) {
    if (drawn_at(36 + 16 * r + 8, 600)) d.rows.insert(static_cast<int>(r));
  }
  d.bars = drawn_at(5, 600) || drawn_at(27, 60);  // title bar, "  File"
  d.bottom = drawn_at(745, 600) && drawn_at(wt.w_y[slot_index(slot_of(PANEL_THUMB))] + 9, 1013);
  d.overlay = drawn_at(65, 80);  // the File menu's first entry
  return d;
}

}  // namespace

TEST_F(Commands, OverwriteMode) {
  set_text("abc\n\x82\xa0z");
  key("Insert");
  EXPECT_EQ(view.insert_mode, 0);
  click_cell(0, 1);
  chars("XY");
  chars("Z");  // at the line's end it inserts
  click_cell(1, 0);
  chars("W");  // a lead byte: only that byte is replaced
  click_cell(2, 2);
  chars("!");  // below the last line it inserts, with the padding
  EXPECT_EQ(text(), "aXYZ\nW\xa0z\n  !");
  EXPECT_EQ(col(), 3);
  // A line break written over a byte is indexed like an inserted one.
  click_cell(0, 1);
  chars("\n");
  EXPECT_EQ(text(), "a\nYZ\nW\xa0z\n  !");
  EXPECT_EQ(doc.last_line, 3u);
  EXPECT_TRUE(check_document());
  // In UTF-8 mode a character written over another replaces all of it.
  set_text("a\xC3\xA9\xE6\xBC\xA2z");
  ASSERT_EQ(doc.encoding, ENCODING_UTF8);
  click_cell(0, 1);
  headless::send(WM_UNICHAR, 0x20AC, 1);
  chars("!");
  EXPECT_EQ(text(), "a\xE2\x82\xAC!z");
  EXPECT_TRUE(check_document());
}

TEST_F(Commands, KeysWithoutBindingChangeAndDrawNothing) {
  set_text("ab");
  click_cell(0, 1);
  chars("x");
  headless::state.presented.clear();
  for (uint32_t vk : {VK_MENU, VK_PAUSE, VK_CAPITAL, VK_F1, VK_F1 + 1, VK_F1 + 8, VK_F10, VK_NUMLOCK, VK_SCROLL}) {
    headless::send(WM_KEYDOWN, vk, 1);
    headless::send(WM_KEYUP, vk, 1);
  }
  EXPECT_EQ(text(), "axb");
  EXPECT_EQ(col(), 2);
  EXPECT_TRUE(headless::state.presented.empty());
  EXPECT_EQ(cmd.last_command, uint32_t{'x'});  // F6 still repeats the 'x'
  EXPECT_EQ(cmd.last_column, 1);
}

TEST_F(Commands, EachCommandDrawsOnlyWhatChanged) {
  std::string lines;
  for (int k = 0; k < 60; ++k) lines += "line " + std::to_string(k) + "\n";
  set_text(lines);
  click(40, 27);      // the File menu stays open over the rows
  click_cell(5, 20);  // beside it, the text gets the focus back
  const std::set<int> none;

  Drawn d = drawn_by([] { key("Right"); });
  EXPECT_EQ(d.rows, std::set<int>{5});
  EXPECT_TRUE(d.overlay);
  EXPECT_FALSE(d.bottom || d.bars);

  d = drawn_by([] { key("Down"); });
  EXPECT_EQ(d.rows, (std::set<int>{5, 6}));
  EXPECT_TRUE(d.bottom && d.overlay);
  EXPECT_FALSE(d.bars);

  d = drawn_by([] { key("F7"); });
  EXPECT_EQ(d.rows, none);
  EXPECT_TRUE(d.bottom && d.overlay);
  EXPECT_FALSE(d.bars);

  for (const char* k : {"x", "Insert", "Left", "Delete"}) {  // typing, moving, and the forced row redraws
    d = drawn_by([k] { key(k); });
    EXPECT_EQ(d.rows, std::set<int>{6}) << k;
    EXPECT_TRUE(d.overlay) << k;
    EXPECT_FALSE(d.bottom || d.bars) << k;
  }

  d = drawn_by([] { key("CapsLock"); });
  EXPECT_EQ(d.rows, none);
  EXPECT_FALSE(d.bottom || d.overlay || d.bars);

  // Shift+Right selects the byte under the cursor; Right then collapses the
  // Selection and the whole text area is redrawn to clear the highlight.
  key("Home");
  key("shift+Right");
  EXPECT_EQ(selected(), "l");
  d = drawn_by([] { key("Right"); });
  EXPECT_EQ(view.sel_start, view.sel_end);
  EXPECT_EQ(d.rows.size(), view.visible_rows);
  EXPECT_TRUE(d.bottom && d.overlay);
  EXPECT_FALSE(d.bars);

  // A search match (only sel_start and sel_end set) over two lines goes
  // with the next move, and so does its highlight on the row below.
  view.sel_start = line_start(5);
  view.sel_end = line_start(6) + 2;
  d = drawn_by([] { key("Left"); });
  EXPECT_EQ(view.sel_start, view.sel_end);
  EXPECT_EQ(d.rows.size(), view.visible_rows);

  // Scrolling also redraws everything but the bars.
  click_cell(43, 0);
  d = drawn_by([] { key("Down"); });
  EXPECT_EQ(view.top_line, 1);
  EXPECT_EQ(d.rows.size(), view.visible_rows);
  EXPECT_FALSE(d.bars);
}

TEST_F(Commands, SelectionFollowsAReallocatedText) {
  const uint32_t n = doc.text_capacity - 6;
  set_text(std::string(n, 'x'));
  click_cell(0, 0);
  keys({"shift+Right", "shift+Right", "shift+Right"});
  const uint8_t* old_block = doc.text_buffer;
  key("shift+Tab");  // eight more bytes do not fit: the text moves
  ASSERT_NE(doc.text_buffer, old_block);
  EXPECT_EQ(selected(), "xxx        ");
  key("Delete");
  EXPECT_EQ(text(), std::string(n - 3, 'x'));
  EXPECT_EQ(view.sel_start, doc.text_buffer);
  // Without a selection the anchor is the cursor's place before the command,
  // which the move must not leave behind either.
  set_text(std::string(doc.text_capacity - 2, 'x'));
  click_cell(0, 1);
  old_block = doc.text_buffer;
  key("shift+Enter");
  ASSERT_NE(doc.text_buffer, old_block);
  EXPECT_EQ(selected(), "\n");
  EXPECT_TRUE(check_document());
}

TEST_F(Commands, ShiftWithADeletionNeverSelectsTheEndMarker) {
  set_text("abc");
  click_cell(0, 3);
  key("shift+Backspace");
  EXPECT_EQ(text(), "ab");
  EXPECT_EQ(selected(), "");
  set_text("abc");
  click_cell(0, 3);
  keys({"shift+Left", "shift+Backspace"});
  EXPECT_EQ(text(), "ac");
  EXPECT_EQ(selected(), "c");
  // Shift+Delete of a selection leaves the Selection empty where it began,
  // not stretched to the cursor's old place beyond the shortened text.
  set_text("abcdef");
  click_cell(0, 0);
  keys({"shift+End", "shift+Delete"});
  EXPECT_EQ(text(), "");
  EXPECT_EQ(view.sel_start, doc.text_buffer);
  EXPECT_EQ(view.sel_end, doc.text_buffer);
  EXPECT_EQ(view.sel_anchor, view.sel_head);
}

TEST_F(Commands, PasteOverASelectionLocatesWhereItBegan) {
  std::strcpy(files.transfer_path, "/nonexistent/VUSK.TMP");  // nothing to paste
  set_text("abcdefg\nhijk\nxyz");
  click_cell(0, 2);
  keys({"shift+Down", "shift+Right"});
  EXPECT_EQ(selected(), "cdefg\nhij");
  key("shift+Insert");
  EXPECT_EQ(text(), "abk\nxyz");
  // The paste goes in at the selection's start, with that line's record.
  EXPECT_EQ(doc.cursor_line, 0u);
  EXPECT_EQ(doc.cursor_line_length, 3u);
  EXPECT_EQ(doc.cursor_ptr, line_start(0) + 2);
  EXPECT_EQ(doc.pad_spaces + doc.pad_newlines, 0u);
  EXPECT_EQ(view.sel_start, doc.cursor_ptr);
  EXPECT_EQ(view.sel_end, doc.cursor_ptr);
  EXPECT_EQ(row(), 0);
  EXPECT_EQ(col(), 2);
  EXPECT_TRUE(check_document());
  // A selection from a line's start whose remaining bytes open with 0x00:
  // the 0x00 becomes filler, and the paste still goes in at the line's start.
  set_text("ab\ncd\0ef"s);
  click_cell(1, 0);
  keys({"shift+Right", "shift+Right"});
  key("shift+Insert");
  EXPECT_EQ(text(), "ab\nef");
  EXPECT_EQ(doc.cursor_ptr, line_start(1));
  EXPECT_EQ(col(), 0);
  EXPECT_TRUE(check_document());
}

TEST_F(Commands, RowsFollowALineWhoseFirstByteBecomesFiller) {
  set_text(std::string("a\nb\0c", 5));
  click_cell(1, 1);
  key("Backspace");  // the NUL now stands directly behind a line break
  EXPECT_EQ(text(), "a\nc");
  EXPECT_EQ(view.row_ptr[1], line_start(1));
}

TEST_F(Commands, RepeatingAnEmptyClipboardPasteStillStepsDown) {
  set_text(std::string(3, '\n'));
  for (int i = 0; i < 3; ++i) mouse(WM_MOUSEWHEEL, 0xFF880000u, 500, 400);
  EXPECT_EQ(view.top_line, 3);
  click_cell(30, 2);
  key("ctrl+v");  // the clipboard holds no text: nothing happens
  key("F6");      // below mid-view the view would scroll, but not past the last line
  EXPECT_EQ(view.top_line, 3);
  EXPECT_EQ(row(), 30);
  EXPECT_EQ(view.cursor_abs_line, 33u);
  key("ctrl+Home");
  key("F6");
  EXPECT_EQ(row(), 1);
  EXPECT_EQ(col(), 2);
  EXPECT_EQ(text(), "\n\n\n");
}

// The scroll thumb lies over the first rows at the top of its track: a row
// drawn on its own (a move along it, or losing the focus to the menu bar)
// must leave the thumb on top.
TEST_F(Commands, ARowDrawnAloneLeavesTheThumbOnTop) {
  const uint32_t thumb_x = wt.w_x[slot_index(slot_of(PANEL_THUMB))] + 11;
  const uint32_t thumb_y = wt.w_y[slot_index(slot_of(PANEL_THUMB))] + 9;
  ASSERT_EQ(thumb_y, 45u);  // on row 0
  for (const char* k : {"Right", "alt"}) {
    std::fill(raster.frame_pixels, raster.frame_pixels + size_t{raster.frame_width} * raster.frame_height, SENTINEL);
    key(k);
    EXPECT_TRUE(drawn_at(44, 600)) << k;  // row 0 was drawn
    EXPECT_EQ(*pixel_address(thumb_y, thumb_x), palette[2]) << k;
  }
}

// F5 deletes the three bytes the line showed, also when the first of them
// brings a 0x00 to the line's start, and the LineTable stays true.
TEST_F(Commands, F5AtALineStartBeforeA0x00) {
  set_text("x\na\0bcd\nz"s);
  click_cell(1, 0);
  key("F5");
  EXPECT_EQ(text(), "x\ncd\nz");
  EXPECT_TRUE(check_document());
  key("End");
  EXPECT_EQ(col(), 2);
  // On the last line: it empties, and typing lands on it.
  set_text("x\na\0"s);
  click_cell(1, 0);
  key("F5");
  chars("HELLO");
  EXPECT_EQ(text(), "x\nHELLO");
  EXPECT_TRUE(check_document());
  // Backspace and Delete in a row at such a line's start.
  set_text("x\nab\0\0c\nz"s);
  click_cell(1, 2);
  keys({"Backspace", "Backspace"});
  EXPECT_EQ(text(), "x\nc\nz");
  EXPECT_TRUE(check_document());
  set_text("x\na\0b\0c"s);
  click_cell(1, 0);
  keys({"Delete", "Delete"});
  EXPECT_EQ(text(), "x\nc");
  EXPECT_TRUE(check_document());
}

// Backspace in the first column of the top row joins the line onto the one
// above it, scrolling that line into view first; on line 0 nothing changes.
TEST_F(Commands, BackspaceInTheTopRowJoinsTheLineAbove) {
  std::string lines;
  for (int k = 0; k < 60; ++k) {
    if (k != 0) lines += '\n';
    lines += "row ";
    lines += std::to_string(k);
  }
  set_text(lines);
  for (int i = 0; i < 5; ++i) mouse(WM_MOUSEWHEEL, 0xFF880000u, 500, 400);
  ASSERT_EQ(view.top_line, 5);
  click_cell(0, 0);
  key("Backspace");
  EXPECT_EQ(view.top_line, 4);
  EXPECT_EQ(row(), 0);
  EXPECT_EQ(col(), 5);
  EXPECT_EQ(doc.last_line, 58u);
  EXPECT_NE(text().find("\nrow 3\nrow 4row 5\nrow 6\n"), std::string::npos);
  EXPECT_TRUE(check_document());

  // Fifty Enters, then fifty Backspaces, give the text back.
  set_text("first\nlast");
  click_cell(0, 5);
  for (int i = 0; i < 50; ++i) key("Enter");
  ASSERT_GT(view.top_line, 0);
  for (int i = 0; i < 50; ++i) key("Backspace");
  EXPECT_EQ(text(), "first\nlast");
  EXPECT_EQ(view.top_line, 0);
  EXPECT_EQ(row(), 0);
  EXPECT_EQ(col(), 5);
  key("Home");
  key("Backspace");
  EXPECT_EQ(text(), "first\nlast");
  EXPECT_EQ(col(), 0);
}

// After Delete removes a selection, the cursor stands where it began, on
// its line and at its column, whichever end the cursor was at.
TEST_F(Commands, DeletingASelectionLeavesTheCursorWhereItBegan) {
  set_text("Hello Everyone is permitted");
  click_cell(0, 5);
  for (int i = 0; i < 9; ++i) key("shift+Right");
  ASSERT_EQ(selected(), " Everyone");
  key("Delete");
  chars("X");
  EXPECT_EQ(text(), "HelloX is permitted");

  set_text("abcdef\nghijkl\nmnop");
  click_cell(2, 2);
  keys({"shift+Up", "shift+Up", "shift+Right"});
  ASSERT_EQ(selected(), "def\nghijkl\nmn");
  key("Delete");
  EXPECT_EQ(row(), 0);
  EXPECT_EQ(col(), 3);
  chars("X");
  EXPECT_EQ(text(), "abcXop");
  EXPECT_TRUE(check_document());
}

// The view scrolls to the place where the selection began, as it follows
// any cursor: sideways, and up to lines above it.
TEST_F(Commands, DeletingASelectionScrollsToWhereItBegan) {
  set_text(std::string(300, 'a') + "\nbcd");
  click_cell(0, 0);
  key("End");
  for (int i = 0; i < 100; ++i) key("Left");
  keys({"shift+Down", "shift+Home"});
  ASSERT_EQ(selected(), std::string(100, 'a') + "\n");
  key("Delete");
  EXPECT_EQ(view.left_col + col(), 200);
  EXPECT_LT(static_cast<uint32_t>(col()), view.visible_cols);
  EXPECT_EQ(row(), 0);
  chars("X");
  EXPECT_EQ(text(), std::string(200, 'a') + "Xbcd");

  std::string lines;
  for (int k = 0; k < 100; ++k) lines += "line\n";
  set_text(lines);
  click_cell(2, 3);
  keys({"shift+PageDown", "shift+PageDown"});
  ASSERT_GT(view.top_line, 2);
  key("Delete");
  EXPECT_EQ(view.top_line, 2);
  EXPECT_EQ(row(), 0);
  EXPECT_EQ(col(), 3);
  EXPECT_TRUE(check_document());
}
