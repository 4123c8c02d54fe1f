// Cut, copy and paste on the running editor (the scripts transfer_*.vsk
// cover the keys and menu entries further): pastes into virtual space and
// over a selection, the column paste (created lines, block pieces), the
// clipboard paste, and the refusals: a copy that failed keeps what Cut would delete, a transfer file
// with CR bytes is converted as a load converts, and one that cannot be
// taken whole is refused before anything changes.
#include <stdlib.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "editor/undo.h"
#include "editor_session.h"
#include "file_test_support.h"
#include "files/load_save.h"
#include "files/transfer.h"
#include "screens/screens.h"
#include "widgets/status.h"

using namespace vusk;
using namespace vusk::test;
using namespace std::string_literals;

namespace {

// The column paste as it ran before it was built in one pass: one
// insertion per piece, each moving the rest of the text. The reference that
// the one-pass paste must match byte for byte (it leaves out the size
// check, which these small texts never reach).
namespace per_piece {

struct Place {
  uint32_t row, col;
  bool at_line_start;
};

void paste_block(Place& at, const uint8_t* p, const uint8_t* end) {
  while (p < end) {
    if (at.at_line_start) {
      while (p < end && *p == 0) ++p;
      if (p == end) break;
      at.at_line_start = false;
    }
    const auto* lf = static_cast<const uint8_t*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const uint8_t* stop = lf != nullptr ? lf : end;
    const auto count = static_cast<uint32_t>(stop - p);
    locate_cursor(at.row, at.col);
    if (count != 0 || doc.pad_spaces != 0 || doc.pad_newlines != 0) insert_at_cursor(p, count);
    at.col += count;
    p = stop;
    if (lf != nullptr) {
      view.top_line += 1;
      at.col = static_cast<uint32_t>(view.left_col) + view.cursor_col;
      at.at_line_start = true;
      ++p;
    }
  }
}

void paste_column() {
  begin_command();
  const uint32_t col = static_cast<uint32_t>(view.left_col) + view.cursor_col;
  locate_cursor(view.cursor_row, col);
  if (!read_transfer_file() || transfer.bytes == nullptr) return;
  Place at{view.cursor_row, col, true};
  for (uint32_t from = 0; from < transfer.count; from += IO_BUFFER_BYTES) {
    const uint32_t to = std::min(transfer.count - from, IO_BUFFER_BYTES) + from;
    paste_block(at, transfer.bytes + from, transfer.bytes + to);
  }
  reset_transfer_state();
  keep_view_on_text();  // the view's part is shared: the text is what is compared
  locate_cursor(view.cursor_row, col);
  empty_selection(doc.cursor_ptr);
}

}  // namespace per_piece

class Transfer : public EditorSession {
 protected:
  void SetUp() override {
    EditorSession::SetUp();
    scratch.enter();
    dir = scratch.dir;
    std::snprintf(files.transfer_path, PATH_BYTES, "%s/VUSK.TMP", dir.c_str());
  }
  void TearDown() override {
    fail_file_operations(0);
    scratch.leave();
  }

  static void write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string bytes() { return std::string(reinterpret_cast<char*>(doc.text_buffer), doc.text_length - 1); }

  // Chooses an Edit menu entry with the mouse, then closes the menu.
  static void menu(EditCommand command) {
    keys({"alt", "Right", "Enter"});
    for (int32_t s = view.thumb_end; s < wt.widget_end; s += 4) {
      const int32_t i = slot_index(s);
      if (wt.w_data[i].handler == edit_menu_command && wt.w_value[i] == command) {
        click(wt.w_x[i] + 4u, wt.w_y[i] + 4u);
        chars("-");
        return;
      }
    }
    ADD_FAILURE() << "no entry " << command;
  }
  static std::string last_line_of_transcript() {
    return headless::state.transcript.empty() ? "" : headless::state.transcript.back();
  }

  vusk::testing::ScratchDir scratch;
  std::string dir;  // scratch.dir
};

TEST_F(Transfer, PastesReachVirtualSpaceAndReplaceSelections) {
  write(files.transfer_path, "XY");
  set_text("abc\nd");
  click_cell(0, 5);
  key("shift+Insert");
  click_cell(4, 2);  // three lines below the last
  key("shift+Insert");
  EXPECT_EQ(text(), "abc  XY\nd\n\n\n  XY");
  EXPECT_EQ(doc.last_line, 4u);
  EXPECT_TRUE(check_document());
  // Over a selection made upwards: the cursor goes where it began.
  set_text("one two\nthree");
  click_cell(1, 3);
  key("shift+Up");
  key("shift+Insert");
  EXPECT_EQ(text(), "oneXYee");
  EXPECT_EQ(row(), 0);
  EXPECT_EQ(col(), 3);
  // With no transfer file the selection still goes.
  std::filesystem::remove(files.transfer_path);
  keys({"shift+Right", "shift+Right", "shift+Insert"});
  EXPECT_EQ(text(), "oneee");
}

TEST_F(Transfer, ColumnPasteCreatesLinesAndScrollsOnlyForLineEnds) {
  write(files.transfer_path, "ab\nc\ndef\n");
  // At the end of the text the lines are created; the view stays on the
  // text, with the cursor on the line below the block.
  set_text("x");
  click_cell(0, 2);
  menu(EDIT_PASTE_COLUMN);
  EXPECT_EQ(text(), "x ab\n  c\n  def");
  EXPECT_EQ(view.top_line, 2);
  EXPECT_EQ(view.cursor_abs_line, 3u);
  EXPECT_TRUE(check_document());
  // No final line end: one line of scrolling, for the one line end there is.
  set_text("xxxx\nyyyy\nzzzz");
  write(files.transfer_path, "ab\nc");
  click_cell(0, 1);
  menu(EDIT_PASTE_COLUMN);
  EXPECT_EQ(text(), "xabxxx\nycyyy\nzzzz");
  EXPECT_EQ(view.top_line, 1);
}

// The pieces are cut where 2048-byte blocks end: a CR LF that a boundary
// splits is still one line end, and a NUL that a boundary brings to a
// piece's start is kept (only filler behind a line break is skipped).
TEST_F(Transfer, ColumnPasteDroppedANulThatOpensABlock) {
  set_text("");
  write(files.transfer_path, std::string(2048, 'a') + "\0b\r"s + std::string(2044, 'c') + "\r\nd\re");
  menu(EDIT_PASTE_COLUMN);
  EXPECT_EQ(text(), std::string(2048, 'a') + "\0b\n"s + std::string(2044, 'c') + "\nd\ne");
  EXPECT_EQ(doc.last_line, 3u);
  EXPECT_TRUE(check_document());
}

// Random texts (filler of any width behind line breaks, NUL bytes in
// lines, dead bytes behind the end marker) and transfer files (NUL, CR,
// lines cut by block boundaries) pasted at random places, virtual space
// and the text's end included: the one-pass paste leaves the bytes, the
// view and the cursors of its undo and redo that the insertions one by one
// left, and it is one step.
TEST_F(Transfer, ColumnPasteMatchesThePerPieceInsertions) {
  std::mt19937 rng(21);
  auto below = [&rng](uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); };
  auto random_bytes = [&](uint32_t n, const std::string& alphabet) {
    std::string out;
    while (out.size() < n) out += alphabet[below(static_cast<uint32_t>(alphabet.size()))];
    return out;
  };
  for (int trial = 0; trial < 250; ++trial) {
    std::string text;
    for (uint32_t lines = below(12); lines > 0; --lines) {
      text += random_bytes(below(9), "ab \0") + "\n" + std::string(below(3) == 0 ? below(6) : 0, '\0');
    }
    text += random_bytes(below(9), "ab \0");
    const std::string dead = random_bytes(below(3), std::string("\0\r", 2));
    const uint32_t around = std::array<uint32_t, 3>{0, IO_BUFFER_BYTES, 2 * IO_BUFFER_BYTES}[below(3)];
    write(files.transfer_path, random_bytes(around - std::min(around, below(12)), "xy") +
                                   random_bytes(below(24), std::string("xyz \n\n\r\0\0", 10)));
    const int32_t top = static_cast<int32_t>(below(static_cast<uint32_t>(std::count(text.begin(), text.end(), '\n')) + 1));
    const auto row = static_cast<uint8_t>(below(6));
    const auto column = static_cast<uint16_t>(below(12));
    const int32_t left = below(4) == 0 ? 2 : 0;
    auto outcome = [&](void (*paste)()) {
      set_text(text);
      std::memcpy(doc.text_buffer + doc.text_length, dead.data(), dead.size());
      doc.text_length += static_cast<uint32_t>(dead.size());
      const std::string before = std::string(document_text());
      view.top_line = top;
      view.left_col = left;
      view.cursor_row = row;
      view.cursor_col = column;
      clear_history();
      paste();
      const uint32_t steps = undo_step_count();
      std::string seen = std::string(document_text()) + "|" + dump_state() + "|" + std::to_string(steps);
      EXPECT_TRUE(check_document()) << "trial " << trial;
      uint32_t undone_at = 0, redone_at = 0;
      EXPECT_EQ(undo_step(&undone_at) && redo_step(&redone_at), steps == 1) << "trial " << trial;
      seen += "|" + std::to_string(undone_at) + "|" + std::string(document_text()) + "|" + std::to_string(redone_at);
      undo_step(&undone_at);
      EXPECT_EQ(std::string(document_text()), before) << "trial " << trial;
      return seen;
    };
    const std::string expected = outcome(per_piece::paste_column);
    ASSERT_EQ(outcome(paste_column), expected) << "trial " << trial;
  }
}

// End leaves no padding behind in the location record, so the paste's size
// check, which reads it, does not refuse.
TEST_F(Transfer, ColumnPasteAfterEndReadUnderflowedPadding) {
  write(files.transfer_path, "ab\n");
  for (const char* before : {"End", "ctrl+End", "ctrl+z"}) {
    set_text("hello world\nxy\n");
    if (std::string(before) == "ctrl+z") {  // something for the undo to take back
      key("End");
      chars("!");
    }
    headless::state.transcript.clear();
    key(before);
    menu(EDIT_PASTE_COLUMN);
    EXPECT_TRUE(headless::state.transcript.empty()) << before;
    EXPECT_NE(text().find("ab"), std::string::npos) << before;
    EXPECT_TRUE(check_document()) << before;
  }
}

// A transfer file written by another program may hold CR bytes: they
// become line ends as a load makes them, never end markers.
TEST_F(Transfer, CrBytesInTheTransferFileBecomeLineEnds) {
  write(files.transfer_path, "a\r\nb\rc");
  set_text("[]");
  click_cell(0, 1);
  key("shift+Insert");
  EXPECT_EQ(bytes(), "[a\n\0b\nc]"s);
  EXPECT_EQ(doc.last_line, 2u);
  EXPECT_TRUE(check_document());
}

// The clipboard's text goes in at the cursor, a selection staying; the
// clipboard is closed again, also after an empty text.
TEST_F(Transfer, ClipboardPasteLeavesTheSelectionAndClosesTheClipboard) {
  set_text("<>");
  click_cell(0, 2);
  key("shift+Left");
  headless::state.clipboard_has_text = true;
  headless::state.clipboard = "a\r\nb";
  menu(EDIT_PASTE_CLIPBOARD);
  EXPECT_EQ(bytes(), "<a\n\0b>"s);
  EXPECT_EQ(col(), 1);
  EXPECT_FALSE(headless::state.clipboard_open);
  headless::state.clipboard = "";
  key("ctrl+v");
  EXPECT_EQ(bytes(), "<a\n\0b>"s);
  EXPECT_FALSE(headless::state.clipboard_open);
}

// Text with bare LF line ends (as Windows programs put it there too) pastes
// as lines, never as NUL bytes inside one.
TEST_F(Transfer, ClipboardLfTextPastedAsNulBytes) {
  set_text("");
  headless::state.clipboard_has_text = true;
  headless::state.clipboard = "one\ntwo\rthree\r\nfour";
  key("ctrl+v");
  EXPECT_EQ(text(), "one\ntwo\nthree\nfour");
  EXPECT_EQ(doc.last_line, 3u);
  EXPECT_TRUE(check_document());
}

// Cut deletes only what reached the transfer file: not when its folder
// cannot be made, a write comes back short, or the bytes cannot be forced
// out; the box names the file then. A missing cache folder is made by the
// first copy.
TEST_F(Transfer, CutKeepsTheSelectionWhenTheCopyFailed) {
  write(dir + "/file", "");
  std::snprintf(files.transfer_path, PATH_BYTES, "%s/file/VUSK.TMP", dir.c_str());
  set_text("abc");
  click_cell(0, 0);
  key("shift+End");
  for (const uint64_t failing : {0u, 1u, 2u}) {  // none (no folder), the write, the flush
    status.status_text = nullptr;
    fail_file_operations(failing);
    menu(EDIT_CUT);
    EXPECT_EQ(last_line_of_transcript(), "box error!?: " + std::string(files.transfer_path)) << failing;
    EXPECT_EQ(status.status_text, nullptr) << failing;
    EXPECT_EQ(text(), "abc") << failing;
    EXPECT_EQ(selected(), "abc") << failing;
    std::snprintf(files.transfer_path, PATH_BYTES, "%s/cache/vusk/VUSK.TMP", dir.c_str());
  }
  fail_file_operations(0);
  key("ctrl+Insert");
  EXPECT_EQ(read(files.transfer_path), "abc");
}

// The file is read whole before the selection it replaces goes: one that
// yields nothing, does not fit in memory or would outgrow the Document is
// refused with the box, and nothing changes.
TEST_F(Transfer, ATransferFileThatCannotBeTakenIsRefusedBeforeAnythingChanges) {
  write(files.transfer_path, "new");
  set_text("abc");
  click_cell(0, 0);
  key("shift+Right");
  const std::string box = "box error!?: " + std::string(files.transfer_path);
  fail_file_operations(1);  // the read
  key("shift+Insert");
  EXPECT_EQ(last_line_of_transcript(), box);
  files.alloc_block = [](size_t) -> void* { return nullptr; };
  headless::state.transcript.clear();
  menu(EDIT_PASTE);
  menu(EDIT_PASTE_COLUMN);
  EXPECT_EQ(headless::state.transcript, (std::vector<std::string>{box, box}));
  files.alloc_block = nullptr;
  EXPECT_EQ(text(), "abc");
  EXPECT_EQ(selected(), "a");
  EXPECT_EQ(transfer.bytes, nullptr);
  // The column paste builds its lines in a block of their own: without it,
  // not even a part of them goes in.
  static int blocks;
  blocks = 0;
  files.alloc_block = [](size_t n) { return ++blocks == 1 ? try_alloc(n) : nullptr; };
  headless::state.transcript.clear();
  menu(EDIT_PASTE_COLUMN);
  files.alloc_block = nullptr;
  EXPECT_EQ(headless::state.transcript, std::vector<std::string>{box});
  EXPECT_EQ(text(), "abc");
  // The bound holds where 32 bits run out, for the text and the LineTable.
  doc.pad_spaces = doc.pad_newlines = 0;
  const uint32_t length = doc.text_length;
  doc.text_length = UINT32_MAX - TEXT_SPARE_BYTES - 10;
  EXPECT_TRUE(document_can_take(10, 0));
  EXPECT_FALSE(document_can_take(11, 0));
  doc.text_length = length;
  EXPECT_FALSE(document_can_take(3, UINT32_MAX / 4));
}

}  // namespace
