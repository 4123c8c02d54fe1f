// Cut, copy and paste on the running editor (the scripts transfer_*.vsk
// cover the keys and menu entries further): pastes into virtual space and
// over a selection, the column paste (created lines, block pieces), the
// clipboard paste, and the refusals: a copy that failed keeps what Cut would delete, a transfer file
// with CR bytes is converted as a load converts, and one that cannot be
// taken whole is refused before anything changes.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "editor_session.h"
#include "files/load_save.h"
#include "files/transfer.h"
#include "widgets/status.h"

using namespace vusk;
using namespace vusk::test;
using namespace std::string_literals;

namespace {

class Transfer : public EditorSession {
 protected:
  void SetUp() override {
    EditorSession::SetUp();
    char pattern[] = "/tmp/vusk-transfer-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    std::snprintf(files.transfer_path, PATH_BYTES, "%s/VUSK.TMP", dir.c_str());
  }
  void TearDown() override {
    fail_file_operations(0);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
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

  std::string dir;
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
// out. A missing cache folder is made by the first copy.
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
