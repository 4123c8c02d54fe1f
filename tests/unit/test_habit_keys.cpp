// The Ctrl+letters people press from habit: Save, Open, Find, Copy, Cut and
// Select all act instead of typing their control byte, while every other
// Ctrl+letter still types its byte; and the text that copies put on the
// system clipboard.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "editor/modified.h"
#include "editor_session.h"
#include "file_test_support.h"
#include "files/load_save.h"
#include "files/search.h"
#include "files/transfer.h"
#include "widgets/status.h"

using namespace vusk;
using namespace vusk::test;

namespace {

class HabitKeys : public EditorSession {
 protected:
  void SetUp() override {
    EditorSession::SetUp();
    scratch.enter();
    dir = scratch.dir;
    ASSERT_TRUE(set_transfer_path((dir + "/VUSK.TMP").c_str()));
    set_text("ab\ncd");
  }
  void TearDown() override {
    scratch.leave();
  }
  std::string read(const std::string& name) const {
    std::ifstream in(dir + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string clipboard() { return headless::state.clipboard_has_text ? headless::state.clipboard : "(none)"; }

  vusk::testing::ScratchDir scratch;
  std::string dir;  // scratch.dir
};

// clipboard_form of a byte string.
std::string clipboard_form_of(const std::string& bytes) {
  std::string out(bytes.size() * 2 + 1, '?');
  const size_t n = clipboard_form(reinterpret_cast<const uint8_t*>(bytes.data()),
                                  reinterpret_cast<const uint8_t*>(bytes.data() + bytes.size()), out.data());
  EXPECT_EQ(out[n], 0);
  return out.substr(0, n);
}

}  // namespace

TEST_F(HabitKeys, CopyAndCutPutTheSelectionOnBothStores) {
  // Ctrl+C with nothing selected: nothing, as Ctrl+Insert.
  key("ctrl+c");
  EXPECT_EQ(clipboard(), "(none)");
  EXPECT_EQ(status.status_text, nullptr);
  // "b", the line end and "c": the transfer file holds the Document's bytes,
  // the clipboard the text with CR LF; the Selection stays.
  keys({"Right", "shift+Down", "ctrl+c"});
  EXPECT_EQ(read("VUSK.TMP"), "b\nc");
  EXPECT_EQ(clipboard(), "b\r\nc");
  EXPECT_EQ(selected(), "b\nc");
  EXPECT_EQ(text(), "ab\ncd");
  EXPECT_FALSE(document_modified());
  // Ctrl+X deletes what it copied; with nothing selected it says so.
  key("ctrl+x");
  EXPECT_EQ(text(), "ad");
  EXPECT_EQ(clipboard(), "b\r\nc");
  EXPECT_EQ(selected(), "");
  key("ctrl+x");
  EXPECT_STREQ(status.status_text, "nothing selected!");
  EXPECT_EQ(text(), "ad");
}

TEST_F(HabitKeys, ACutWhoseCopyFailsKeepsTheText) {
  ASSERT_TRUE(set_transfer_path((dir + "/missing/dir/VUSK.TMP").c_str()));
  std::ofstream(dir + "/missing") << "a file where the directory would be";
  keys({"shift+Right", "ctrl+x"});
  EXPECT_EQ(text(), "ab\ncd");
  EXPECT_EQ(selected(), "a");
}

// (Save, Open and Find are in the scripted case habit_keys.)
TEST_F(HabitKeys, SelectAllPutsTheCursorAtTheEndAndIsNotRepeated) {
  chars("x");
  key("ctrl+a");
  EXPECT_EQ(selected(), "xab\ncd");
  EXPECT_EQ(view.cursor_abs_line, 1u);
  EXPECT_EQ(col(), 2);
  // Ctrl+O opens as text, whatever mode was used last.
  files.file_mode = FILE_MODE_HEX;
  std::ofstream(dir + "/b.txt") << "other";
  headless::state.answers.push_back({headless::DialogAnswer::NO, "", 0});
  headless::state.answers.push_back({headless::DialogAnswer::OPEN, dir + "/b.txt", 0});
  key("ctrl+o");
  EXPECT_EQ(text(), "other");
  EXPECT_EQ(files.file_mode, FILE_MODE_TEXT);
  // Neither is what F6 repeats: it types the "x" again, at its column one
  // line below the cursor.
  key("F6");
  EXPECT_EQ(text(), "other\n\nx");
}

TEST_F(HabitKeys, OtherControlBytesAreStillTyped) {
  keys({"ctrl+b", "ctrl+q"});
  // Without Ctrl held (a script's or an input method's character), the
  // habit keys' bytes are typed too.
  chars("\x13\x03\x18\x01");
  EXPECT_EQ(text(), std::string("\x02\x11\x13\x03\x18\x01" "ab\ncd"));
  EXPECT_EQ(clipboard(), "(none)");
  key("ctrl+f");  // Ctrl+H is Backspace's character, told apart by Ctrl: no Backspace in the field
  chars("xy");
  keys({"ctrl+h", "Backspace"});
  EXPECT_EQ(std::string(find_pattern, 2), "x ");
}

// Ctrl+H and Ctrl+G open their bars and type nothing; their bytes without
// Ctrl are still Backspace and a typed 0x07.
TEST_F(HabitKeys, CtrlHAndCtrlGOpenTheirBars) {
  const std::string before = text();
  for (const auto& [stroke, panel] : {std::pair{"ctrl+h", PANEL_REPLACE_BAR}, std::pair{"ctrl+g", PANEL_GOTO_BAR}}) {
    wt.focus_widget = wt.default_focus;
    key(stroke);
    EXPECT_EQ(wt.focus_widget, first_slot_of(panel)) << stroke;
    EXPECT_EQ(text(), before) << stroke;
  }
  wt.focus_widget = wt.default_focus;
  chars("\x07");
  EXPECT_EQ(text(), "\x07" + before);
  chars("\x08");
  EXPECT_EQ(text(), before);
}

TEST(ClipboardForm, LineEndsBecomeCrLfAndNulBytesStayOff) {
  EXPECT_EQ(clipboard_form_of(std::string("one\n\0two\n", 9)), "one\r\ntwo\r\n");  // CR LF loaded
  EXPECT_EQ(clipboard_form_of(std::string("a\0b", 3)), "ab");  // a NUL inside a line
  EXPECT_EQ(clipboard_form_of("\n\n"), "\r\n\r\n");
  EXPECT_EQ(clipboard_form_of("\x82\xA0\n\xB1"), "\x82\xA0\r\n\xB1");  // double-byte and kana unchanged
  EXPECT_EQ(clipboard_form_of("end\r\x00\x0D"), "end");  // nothing from the end marker on
  EXPECT_EQ(clipboard_form_of(""), "");
}
