// A command-line name of a file that does not exist yet: the empty Document
// starts under it, and "Save" creates it where the name pointed at start-up.
#include "backends/posix/posix_support.h"
#include "file_test_support.h"
#include "screens/title.h"

using namespace vusk;
using vusk::testing::FileTest;

namespace {

class StartUpNewFile : public FileTest {
 protected:
  // Starts the program with `argument` on its command line.
  static void start_with(const std::string& argument) {
    reset_all_state();
    headless::reset();
    set_command_line(("vusk \"" + argument + "\"").c_str());
    start_up_steps();
  }
  static std::string title() {
    const auto* label = reinterpret_cast<const char*>(vusk::title.label);
    return std::string(label + 3, std::strlen(label + 3) - 1);  // past colour and text codes, before 0xFF
  }
};

}  // namespace

TEST_F(StartUpNewFile, ANewFileWasSavedWithThreeSpaces) {
  start_with("new.txt");
  EXPECT_TRUE(headless::state.transcript.empty());
  EXPECT_STREQ(files.file_path, "new.txt");
  EXPECT_EQ(title(), "current file:new.txt");
  EXPECT_EQ(doc.text_length, 1u);  // no text: only the end marker
  EXPECT_FALSE(std::filesystem::exists(path("new.txt")));  // nothing is written yet

  // "Save" writes where the name pointed when the program started.
  std::filesystem::create_directory(path("elsewhere"));
  std::filesystem::current_path(path("elsewhere"));
  save_under_file_name(0);
  EXPECT_EQ(read_file(path("new.txt")), "");
  EXPECT_TRUE(std::filesystem::is_empty(path("elsewhere")));
  EXPECT_STREQ(status.status_text, "File saved.");
}

TEST_F(StartUpNewFile, ANewFileInAnExistingSubfolder) {
  std::filesystem::create_directory(path("sub"));
  start_with("sub/new.txt");
  EXPECT_TRUE(headless::state.transcript.empty());
  EXPECT_EQ(title(), "current file:new.txt");
  EXPECT_EQ(files.document_origin, path("sub/new.txt"));
}

TEST_F(StartUpNewFile, OtherFailuresKeepTheBoxAndTheDefaultName) {
  write_file(path("plain"), "x");
  std::filesystem::create_symlink(path("gone"), path("dangling"));
  for (const std::string name : {"nodir/new.txt", "plain/new.txt", "dangling"}) {
    start_with(name);
    EXPECT_EQ(headless::state.transcript, std::vector<std::string>{"box error!?: " + name});
    EXPECT_STREQ(files.file_path, files.file_name);  // the default name it shows
    EXPECT_EQ(title(), "current file:default.txt");
    EXPECT_STREQ(files.document_origin, "");
  }
}
