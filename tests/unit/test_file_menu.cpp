// The File menu's bindings and Ctrl+F2 on the running editor: a load shows
// the new Document from its first line, on screen before the handler
// returns; a failed one leaves the Document, the view and the screen alone;
// a save puts the new name on the title bar; Ctrl+F2 reloads in the other
// mode and puts the view at the top left, drawn from the new text.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor_session.h"
#include "file_test_support.h"
#include "files/load_save.h"
#include "screens/file_menu.h"
#include "screens/path_prompt.h"
#include "widgets/label.h"
#include "widgets/status.h"

using namespace vusk;
using namespace vusk::test;

namespace {

class FileMenu : public EditorSession {
 protected:
  void SetUp() override {
    EditorSession::SetUp();
    scratch.enter();
    dir = scratch.dir;
  }
  void TearDown() override {
    scratch.leave();
  }

  // Writes `lines` lines "line N" to `name` in the scratch directory.
  std::string write_lines(const std::string& name, int lines) const {
    const std::string p = dir + "/" + name;
    std::ofstream out(p, std::ios::binary);
    for (int i = 0; i < lines; ++i) out << "line " << i << "\r\n";
    return p;
  }

  // The live slot of the open File menu's entry with this handler and mode.
  static int32_t entry(void (*handler)(int32_t), uint8_t mode) {
    for (int32_t s = view.thumb_end; s < wt.widget_end; s += 4) {
      const int32_t i = slot_index(s);
      if (wt.w_data[i].handler == handler && wt.w_value[i] == mode) return s;
    }
    ADD_FAILURE() << "no such entry in the open menu";
    return 0;
  }

  // Loads `path` as text through the File menu, then scrolls down and
  // selects, with the menu left open: every load below starts from there.
  void open_scrolled(const std::string& path) {
    headless::state.answers.push_back({headless::DialogAnswer::OPEN, path, 0});
    keys({"alt", "Enter", "o"});
    click_cell(0, 0);
    keys({"PageDown", "PageDown", "shift+Down"});
    ASSERT_GT(view.top_line, 0);
    ASSERT_NE(view.sel_start, view.sel_end);
    keys({"alt", "Enter"});
  }

  // The frame's pixels of the title bar's text row.
  static std::vector<uint32_t> title_pixels() {
    std::vector<uint32_t> out;
    for (uint32_t y = 0; y < 18; ++y) {
      for (uint32_t x = 0; x < 1024; ++x) out.push_back(*pixel_address(y, x));
    }
    return out;
  }

  // True when the presented screen matches the frame everywhere.
  static bool screen_shows_frame() {
    for (uint32_t y = 0; y < 768; ++y) {
      for (uint32_t x = 0; x < 1024; ++x) {
        if (headless::state.screen[y * 1024 + x] != *pixel_address(y, x)) return false;
      }
    }
    return true;
  }

  static bool presented_whole_frame() {
    for (const PlatformRect& r : headless::state.presented) {
      if (r.left == 0 && r.top == 0 && r.right == 1024 && r.bottom == 768) return true;
    }
    return false;
  }

  vusk::testing::ScratchDir scratch;
  std::string dir;  // scratch.dir
};

}  // namespace

TEST_F(FileMenu, ALoadShowsTheNewDocumentFromItsFirstLineAtOnce) {
  open_scrolled(write_lines("long.txt", 300));
  const std::string other = write_lines("short.txt", 3);
  headless::state.presented.clear();
  headless::state.answers.push_back({headless::DialogAnswer::OPEN, other, 0});
  open_file_dialog(entry(open_file_dialog, FILE_MODE_TEXT));
  // Presented by the handler itself, not at the end of a message.
  EXPECT_TRUE(presented_whole_frame());
  EXPECT_TRUE(screen_shows_frame());
  EXPECT_EQ(text(), "line 0\nline 1\nline 2\n");
  EXPECT_EQ(view.top_line, 0);
  EXPECT_EQ(wt.w_y[slot_index(view.thumb_slot)], 36);  // the thumb back at the top
  EXPECT_EQ(view.row_ptr[0], doc.text_buffer);
  EXPECT_EQ(view.sel_start, view.sel_end);
  EXPECT_EQ(view.sel_start, doc.text_buffer);
  EXPECT_STREQ(files.file_name, "short.txt");
}

TEST_F(FileMenu, AFailedLoadLeavesTheDocumentTheViewAndTheScreen) {
  open_scrolled(write_lines("long.txt", 300));
  const std::string before = text();
  const int32_t top = view.top_line;
  const std::vector<uint32_t> frame(raster.frame_pixels, raster.frame_pixels + 1024 * 768);
  headless::state.presented.clear();
  headless::state.answers.push_back({headless::DialogAnswer::OPEN, dir + "/missing.txt", 0});
  open_file_dialog(entry(open_file_dialog, FILE_MODE_HEX));
  EXPECT_EQ(headless::state.transcript.back(), "box error!?: " + dir + "/missing.txt");
  EXPECT_EQ(text(), before);
  EXPECT_EQ(view.top_line, top);
  EXPECT_EQ(files.file_mode, FILE_MODE_TEXT);
  EXPECT_TRUE(headless::state.presented.empty());
  EXPECT_EQ(std::vector<uint32_t>(raster.frame_pixels, raster.frame_pixels + 1024 * 768), frame);
}

// A name that neither loaded nor saved does not stay in file_path: Ctrl+F2
// then reloads the Document shown instead of reporting that name.
TEST_F(FileMenu, AFailedOpenOrSaveAsLeavesThePathOfTheDocument) {
  const std::string shown = write_lines("long.txt", 300);
  open_scrolled(shown);
  headless::state.answers.push_back({headless::DialogAnswer::OPEN, dir + "/missing.txt", 0});
  open_file_dialog(entry(open_file_dialog, FILE_MODE_TEXT));
  EXPECT_EQ(files.file_path, shown);
  headless::state.answers.push_back({headless::DialogAnswer::SAVE, dir + "/no/such/dir", 0});
  save_file_dialog(entry(save_file_dialog, FILE_MODE_HEX));
  EXPECT_EQ(headless::state.transcript.back(), "box error!?: " + dir + "/no/such/dir");
  EXPECT_EQ(files.file_path, shown);
  EXPECT_EQ(files.file_mode, FILE_MODE_TEXT);
  headless::state.transcript.clear();
  click_cell(3, 30);  // right of the open menu
  key("ctrl+F2");
  EXPECT_TRUE(headless::state.transcript.empty());
  EXPECT_EQ(files.file_mode, FILE_MODE_HEX);
}

TEST_F(FileMenu, ASavePutsTheNewNameOnTheTitleBar) {
  open_scrolled(write_lines("long.txt", 300));
  const std::vector<uint32_t> old_title = title_pixels();
  headless::state.answers.push_back({headless::DialogAnswer::SAVE, dir + "/renamed.txt", 0});
  save_file_dialog(entry(save_file_dialog, FILE_MODE_TEXT));
  EXPECT_STREQ(files.file_name, "renamed.txt");
  EXPECT_STREQ(status.status_text, "File saved.");
  // The frame already shows the new label: drawing it again changes nothing.
  const std::vector<uint32_t> new_title = title_pixels();
  EXPECT_NE(new_title, old_title);
  draw_widget(view.text_rows_end);
  EXPECT_EQ(title_pixels(), new_title);
  // "Save" writes there again; the view stays where it was.
  const int32_t top = view.top_line;
  save_under_file_name(entry(save_under_file_name, 0));
  EXPECT_EQ(view.top_line, top);
  EXPECT_TRUE(std::filesystem::exists(dir + "/renamed.txt"));
}

// "save hex as Bin" onto a folder fails: the text mode stays, so that the
// next Ctrl+S writes the edited text, not the bytes of its digits.
TEST_F(FileMenu, AFailedSaveAsSwitchedTheModeForTheNextSave) {
  const std::string file = dir + "/m.txt";
  std::ofstream(file, std::ios::binary) << "hello text\r\n";
  headless::state.answers.push_back({headless::DialogAnswer::OPEN, file, 0});
  keys({"alt", "Enter", "o"});
  std::filesystem::create_directory(dir + "/folder");
  headless::state.answers.push_back({headless::DialogAnswer::SAVE, dir + "/folder", 0});
  save_file_dialog(entry(save_file_dialog, FILE_MODE_HEX));
  EXPECT_EQ(headless::state.transcript.back(), "box error!?: " + dir + "/folder");
  EXPECT_EQ(files.file_mode, FILE_MODE_TEXT);
  EXPECT_EQ(files.file_path, file);
  keys({"minus", "z", "ctrl+s"});
  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "zhello text\r\n");
}

TEST_F(FileMenu, CtrlF2ReloadsInTheOtherModeWithTheViewAtTheTopLeft) {
  open_scrolled(write_lines("long.txt", 300));
  click_cell(3, 30);  // right of the open menu
  keys({"ctrl+PageDown", "shift+Right", "ctrl+F2"});
  EXPECT_EQ(files.file_mode, FILE_MODE_HEX);
  EXPECT_EQ(text().substr(0, 17), "; hex listing of ");
  EXPECT_EQ(view.top_line, 0);
  EXPECT_EQ(view.left_col, 0);
  EXPECT_EQ(row(), 0);
  EXPECT_EQ(col(), 0);
  EXPECT_EQ(view.sel_start, view.sel_end);
  // The rows are drawn from the new text, not from the released block.
  EXPECT_EQ(view.row_ptr[0], doc.text_buffer);
  EXPECT_EQ(view.row_ptr[1], line_start(1));
  EXPECT_TRUE(check_document());
  key("ctrl+F2");
  EXPECT_EQ(files.file_mode, FILE_MODE_TEXT);
  EXPECT_EQ(text().substr(0, 14), "line 0\nline 1\n");
  EXPECT_EQ(view.row_ptr[0], doc.text_buffer);
}

// Stepping through a directory will load without the menu's redraw: the
// load alone must leave no row or Selection pointer in the released block.
TEST_F(FileMenu, ALoadAloneLeavesNothingPointingIntoTheReleasedText) {
  open_scrolled(write_lines("long.txt", 300));
  click_cell(2, 30);
  const std::string other = write_lines("other.txt", 400);
  std::snprintf(files.file_path, PATH_BYTES, "%s", other.c_str());
  ASSERT_EQ(load_document(), 0);
  const uint8_t* end = doc.text_buffer + doc.text_length;
  for (uint32_t i = 0; i < view.visible_rows; ++i) {
    ASSERT_NE(view.row_ptr[i], nullptr) << i;
    EXPECT_TRUE(view.row_ptr[i] >= doc.text_buffer && view.row_ptr[i] < end) << i;
  }
  for (const uint8_t* p : {view.sel_anchor, view.sel_head, view.sel_start, view.sel_end}) EXPECT_EQ(p, doc.text_buffer);
  key("Right");  // redraws the cursor's row from its pointer
  EXPECT_TRUE(check_document());
}

// Without a program for the dialogs, Open showed "error!?" with the current
// file's name, which named the wrong cause and left no way to open a file.
TEST_F(FileMenu, OpenWithoutZenityShowedErrorWithTheCurrentFilesName) {
  open_scrolled(write_lines("long.txt", 300));
  const std::string other = write_lines("short.txt", 3);
  headless::state.dialogs_unavailable = true;
  headless::state.transcript.clear();
  key("o");  // "Open as text" in the open File menu
  for (const std::string& line : headless::state.transcript) EXPECT_NE(line.rfind("box ", 0), 0u) << line;
  EXPECT_STREQ(status.status_text, file_dialog_unavailable_reason());
  ASSERT_EQ(wt.focus_widget, slot_of(PANEL_PATH_PROMPT));
  // The field starts in the current file's folder: a bare name completes it.
  EXPECT_EQ(std::string(path_prompt.field, dir.size() + 1), dir + "/");
  chars("short.txt");
  key("Enter");
  EXPECT_EQ(text(), "line 0\nline 1\nline 2\n");
  EXPECT_STREQ(files.file_path, other.c_str());
  EXPECT_EQ(panel_slot(PANEL_PATH_PROMPT, 0), NO_SLOT);
}

TEST_F(FileMenu, ThePathPromptActsOnEnterAndCancelsOnEscapeOrAnEmptyField) {
  open_scrolled(write_lines("long.txt", 300));
  const std::string before = text(), path = files.file_path;
  headless::state.dialogs_unavailable = true;
  // Escape, and Enter on a field emptied by a click: nothing is typed, loaded or asked.
  keys({"o"});
  chars("short.txt\x1B");
  EXPECT_EQ(panel_slot(PANEL_PATH_PROMPT, 0), NO_SLOT);
  keys({"alt", "Enter", "o"});
  click(wt.w_x[slot_index(slot_of(PANEL_PATH_PROMPT))] + 20, 56 + 24);
  chars("\r");
  EXPECT_EQ(panel_slot(PANEL_PATH_PROMPT, 0), NO_SLOT);
  EXPECT_EQ(text(), before);
  EXPECT_EQ(files.file_path, path);
  EXPECT_EQ(headless::state.transcript.back(), "dialog open -> unavailable");
  // A path that cannot be opened gets the "error!?" box with that path.
  keys({"alt", "Enter", "o"});
  chars("missing.txt\r");
  EXPECT_EQ(headless::state.transcript.back(), "box error!?: " + dir + "/missing.txt");
  // "save As": the current path is offered, and the first character typed
  // replaces it; an existing file is replaced only after a Yes.
  const std::string kept = write_lines("kept.txt", 1);
  keys({"alt", "Enter", "a"});
  headless::state.answers.push_back({headless::DialogAnswer::NO, "", 0});
  chars(kept + "\r");
  EXPECT_EQ(headless::state.transcript.back(), "question Vusk: " + kept + " exists. Replace it?");
  EXPECT_EQ(std::filesystem::file_size(kept), 8u);
  keys({"alt", "Enter", "a"});
  chars(dir + "/new.txt\r");
  EXPECT_STREQ(files.file_name, "new.txt");
  EXPECT_EQ(std::filesystem::file_size(dir + "/new.txt"), std::filesystem::file_size(path));
}
