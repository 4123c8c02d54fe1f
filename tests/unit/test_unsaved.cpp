// Unsaved changes: which commands set the modified flag (only those that
// change bytes), what clears it, the window title that shows it, and the
// question on every path that would drop the Document, including a "Yes"
// whose save fails, which must stop the action with nothing lost.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "editor/modified.h"
#include "editor_session.h"
#include "file_test_support.h"
#include "files/load_save.h"
#include "screens/screens.h"

using namespace vusk;
using namespace vusk::test;

namespace {

class Unsaved : public EditorSession {
 protected:
  void SetUp() override {
    EditorSession::SetUp();
    scratch.enter();
    dir = scratch.dir;
  }
  void TearDown() override {
    headless::set_exit_handler(nullptr);
    scratch.leave();
  }

  // Writes `bytes` to `name` and loads it as text through the File menu,
  // giving up any change.
  void open(const std::string& name, const std::string& bytes) {
    std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
    if (document_modified()) answer(headless::DialogAnswer::NO);
    answer(headless::DialogAnswer::OPEN, dir + "/" + name);
    keys({"alt", "Enter", "o", "minus"});
    ASSERT_STREQ(files.file_name, name.c_str());
  }
  static void answer(headless::DialogAnswer::Kind kind, const std::string& path = "") {
    headless::state.answers.push_back({kind, path, 0});
  }
  std::string read(const std::string& name) const {
    std::ifstream in(dir + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static size_t questions() {
    size_t n = 0;
    for (const std::string& l : headless::state.transcript) n += l.rfind("question ", 0) == 0;
    return n;
  }

  vusk::testing::ScratchDir scratch;
  std::string dir;  // scratch.dir
};

struct Exited {
  int code;
};

}  // namespace

TEST_F(Unsaved, OnlyCommandsThatChangeBytesSetTheFlag) {
  open("a.txt", "ab\r\ncd");
  // Nothing to delete, join or overwrite differently: the text stays, and
  // so does the flag.
  struct Case {
    const char* keys;
    bool changes;
  } cases[] = {
      {"ctrl+End End Delete", false},  // at the end marker
      {"ctrl+Home Backspace", false},  // the first column of the first row
      {"ctrl+Home Insert a Insert", false},  // overwrite 'a' with 'a'
      {"ctrl+Home Insert z Insert", true},
      {"Down Down Delete", false},  // below the last line
      {"ctrl+Home End Delete", true},  // joins the next line
      {"ctrl+End Tab", true},
      {"ctrl+Home shift+Right Delete", true},
      {"Down Down Down Enter", true},  // line breaks below the text
  };
  for (const Case& c : cases) {
    open("a.txt", "ab\r\ncd");
    ASSERT_FALSE(document_modified());
    key("ctrl+Home");
    std::string name;
    for (const char* p = c.keys;; ++p) {
      if (*p == ' ' || *p == 0) {
        key(name);
        name.clear();
        if (*p == 0) break;
      } else {
        name += *p;
      }
    }
    EXPECT_EQ(document_modified(), c.changes) << c.keys;
    EXPECT_EQ(text() != "ab\ncd", c.changes) << c.keys;
  }
}

// Undo and redo move the flag with them: back at the saved bytes it clears
// (and the title says so), one step away it is set again.
TEST_F(Unsaved, UndoAndRedoAroundTheSaveMoveTheFlag) {
  open("a.txt", "ab");
  chars("x");
  key("ctrl+s");
  chars("y");
  ASSERT_TRUE(document_modified());
  key("ctrl+z");
  EXPECT_FALSE(document_modified());
  EXPECT_EQ(headless::state.window_title, "a.txt - Vusk");
  key("ctrl+z");
  EXPECT_TRUE(document_modified());
  EXPECT_EQ(text(), "ab");
  key("ctrl+y");
  EXPECT_FALSE(document_modified());
  key("ctrl+y");
  EXPECT_TRUE(document_modified());
  EXPECT_EQ(headless::state.window_title, "a.txt* - Vusk");
  // Undoing everything after a fresh load is the loaded file again.
  open("b.txt", "cd");
  chars("zz");
  key("ctrl+z");
  EXPECT_FALSE(document_modified());
  EXPECT_EQ(text(), "cd");
}

TEST_F(Unsaved, LoadAndSaveClearTheFlagAndTheTitleShowsIt) {
  open("a.txt", "ab");
  EXPECT_EQ(headless::state.window_title, "a.txt - Vusk");
  chars("x");
  EXPECT_TRUE(document_modified());
  EXPECT_EQ(headless::state.window_title, "a.txt* - Vusk");
  key("ctrl+s");
  EXPECT_EQ(read("a.txt"), "xab");
  EXPECT_FALSE(document_modified());
  EXPECT_EQ(headless::state.window_title, "a.txt - Vusk");
  // A load that fails keeps the flag and the title with the changes.
  chars("y");
  answer(headless::DialogAnswer::NO);
  answer(headless::DialogAnswer::OPEN, dir + "/missing.txt");
  keys({"alt", "Enter", "o", "minus"});
  EXPECT_TRUE(document_modified());
  EXPECT_EQ(headless::state.window_title, "a.txt* - Vusk");
  // A save under another name clears it, and the title names the new file.
  answer(headless::DialogAnswer::SAVE, dir + "/b.txt");
  keys({"alt", "Enter", "a", "minus"});
  EXPECT_FALSE(document_modified());
  EXPECT_EQ(headless::state.window_title, "b.txt - Vusk");
}

TEST_F(Unsaved, NoQuestionWithoutChanges) {
  open("a.txt", "ab");
  open("b.txt", "cd");
  key("ctrl+F2");
  EXPECT_EQ(files.file_mode, FILE_MODE_HEX);
  headless::send(WM_CLOSE, 0, 0);
  EXPECT_TRUE(headless::state.quit_posted);
  EXPECT_EQ(questions(), 0u);
}

// "Yes" on a path whose save fails: the "error!?" box, then the action
// stops, on each of the five paths, with the change and its flag kept.
TEST_F(Unsaved, AFailedSaveStopsEveryPath) {
  open("a.txt", "ab");
  std::filesystem::remove(dir + "/a.txt");
  std::filesystem::create_directory(dir + "/a.txt");  // the save cannot replace it
  std::ofstream(dir + "/b.txt") << "other";
  chars("x");
  headless::set_exit_handler([](int code) { throw Exited{code}; });
  const auto yes_then = [&](const char* what, auto action) {
    const size_t boxes = headless::state.transcript.size();
    answer(headless::DialogAnswer::YES);
    EXPECT_NO_THROW(action()) << what;
    EXPECT_EQ(questions(), 1u) << what;
    EXPECT_EQ(headless::state.transcript.at(boxes + 1), "box error!?: " + dir + "/a.txt") << what;
    EXPECT_TRUE(headless::state.answers.empty()) << what;  // the open dialog never came
    EXPECT_EQ(text(), "xab") << what;
    EXPECT_TRUE(document_modified()) << what;
    EXPECT_STREQ(files.file_name, "a.txt") << what;
    EXPECT_EQ(files.file_mode, FILE_MODE_TEXT) << what;
    headless::state.transcript.clear();
  };
  yes_then("Quit", [] { quit_button(0); });
  yes_then("close", [] { headless::send(WM_CLOSE, 0, 0); });
  EXPECT_FALSE(headless::state.quit_posted);
  yes_then("open", [] { keys({"alt", "Enter", "o", "minus"}); });
  yes_then("Ctrl+F2", [] { key("ctrl+F2"); });
  yes_then("Ctrl+F4", [] { key("ctrl+F4"); });
  yes_then("Ctrl+O", [] { key("ctrl+o"); });
}

// A close request that comes while a box or dialog is up cannot ask: with
// changes it is refused, without them the window closes as before.
TEST_F(Unsaved, ACloseDuringABoxIsRefusedOnlyWithChanges) {
  open("a.txt", "ab");
  chars("x");
  win.in_wndproc = 1;
  headless::send(WM_CLOSE, 0, 0);
  EXPECT_FALSE(headless::state.quit_posted);
  EXPECT_EQ(questions(), 0u);
  win.in_wndproc = 0;
  key("ctrl+s");
  win.in_wndproc = 1;
  headless::send(WM_CLOSE, 0, 0);
  win.in_wndproc = 0;
  EXPECT_TRUE(headless::state.quit_posted);
}
