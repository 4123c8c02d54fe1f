// Ctrl+F3 and Ctrl+F4 on the running editor, in a scratch directory: a name
// the listing does not hold, what is passed over without a box (pipes,
// devices, names too long for file_path), the view and title after a step,
// and the end of the listing. Also the POSIX listing itself.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor_session.h"
#include "file_test_support.h"
#include "files/load_save.h"

using namespace vusk;
using namespace vusk::test;

namespace {

class Stepping : public EditorSession {
 protected:
  void SetUp() override {
    EditorSession::SetUp();
    scratch.enter();
    dir = scratch.dir;
  }
  void TearDown() override {
    scratch.leave();
  }
  // Files holding their own names, and the first of them loaded.
  static void make_files(std::initializer_list<const char*> names) {
    for (const char* n : names) std::ofstream(n) << n;
    std::strcpy(files.file_path, *names.begin());
    ASSERT_EQ(load_document(), 0);
    headless::state.transcript.clear();
  }
  // The boxes shown since the last look.
  static std::vector<std::string> boxes() {
    std::vector<std::string> out = headless::state.transcript;
    headless::state.transcript.clear();
    return out;
  }

  vusk::testing::ScratchDir scratch;
  std::string dir;  // scratch.dir
};

using Lines = std::vector<std::string>;

}  // namespace

// (Prefix names, subdirectories and the ends of the listing are the
// scripted step_files.)
TEST_F(Stepping, DotEntriesArePassedOverWithoutABox) {
  make_files({"a.txt", "b.txt"});
  key("ctrl+F3");  // before a.txt: only "." and ".."
  EXPECT_TRUE(boxes().empty());
  EXPECT_STREQ(files.file_path, "a.txt");
  EXPECT_STREQ(files.file_name, "a.txt");
}

// The listing is the file's folder, not the working directory; a name the
// listing no longer holds (another case, or deleted) steps from its place.
TEST_F(Stepping, StepsThroughTheFilesFolderFromWhereItsNameSorts) {
  std::ofstream("m.txt") << "not in the folder";
  std::filesystem::create_directory("st3");
  make_files({"st3/b.txt", "st3/a.txt", "st3/d.txt"});
  key("ctrl+F4");
  EXPECT_STREQ(files.file_path, "st3/d.txt");
  EXPECT_STREQ(files.file_name, "d.txt");
  std::filesystem::remove("st3/d.txt");
  key("ctrl+F3");  // from where "d.txt" would sort
  EXPECT_STREQ(files.file_path, "st3/b.txt");
  std::strcpy(files.file_name, "B.TXT");  // sorts before every lower-case name
  key("ctrl+F4");
  EXPECT_STREQ(files.file_path, "st3/a.txt");
  EXPECT_TRUE(boxes().empty());
}

TEST_F(Stepping, AStepShowsTheNewFileFromItsTopLeftInTheSameMode) {
  make_files({"a.txt", "b.txt"});
  std::ofstream("b.txt") << std::string(4000, 'x') << "\r\n" << std::string(100, '\n');
  set_text(std::string(200, '\n'));
  view.top_line = 50;
  click_cell(7, 30);
  keys({"shift+Down"});
  files.file_mode = FILE_MODE_HEX;
  headless::state.presented.clear();
  key("ctrl+F4");
  EXPECT_STREQ(files.file_name, "b.txt");
  EXPECT_EQ(files.file_mode, FILE_MODE_HEX);
  EXPECT_EQ(text().substr(0, 17), "; hex listing of ");
  EXPECT_EQ(view.top_line + view.left_col + row() + col(), 0);
  EXPECT_EQ(view.sel_start, view.sel_end);
  // The frame, title bar included, is what a full redraw draws, and shown.
  const std::vector<uint32_t> shown(raster.frame_pixels, raster.frame_pixels + 1024 * 768);
  redraw_all_widgets();
  EXPECT_EQ(std::vector<uint32_t>(raster.frame_pixels, raster.frame_pixels + 1024 * 768), shown);
  EXPECT_FALSE(headless::state.presented.empty());

}

// At the last entry nothing replaces the Document: no question about its
// changes, nothing drawn, and file_path still names it.
TEST_F(Stepping, PastTheLastFileThePathStaysAndNothingIsAsked) {
  make_files({"b.txt", "a.txt"});
  chars("x");
  headless::send(WM_KEYUP, 'A', 0);  // presents the typing
  headless::state.presented.clear();
  key("ctrl+F4");
  EXPECT_STREQ(files.file_path, "b.txt");
  EXPECT_EQ(text().substr(0, 6), "xb.txt");
  EXPECT_TRUE(headless::state.presented.empty());
  EXPECT_TRUE(boxes().empty());
  headless::state.answers.push_back({headless::DialogAnswer::NO, "", 0});
  key("ctrl+F3");  // a file to load: now the question comes
  const Lines shown = boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].rfind("question ", 0), 0u);
  EXPECT_STREQ(files.file_path, "a.txt");
}

TEST_F(Stepping, PipesDevicesAndOverlongNamesArePassedOverUnopened) {
  make_files({"a.txt", "d.long-name.txt", "f.txt"});
  ASSERT_EQ(mkfifo("b.fifo", 0600), 0);
  std::filesystem::create_symlink("/dev/null", "c.device");
  files.step_name_bytes = 9;  // "d.long-name.txt" is too long for the buffer now
  key("ctrl+F4");
  EXPECT_STREQ(files.file_name, "f.txt");
  EXPECT_TRUE(boxes().empty());
  key("ctrl+F3");
  EXPECT_STREQ(files.file_name, "a.txt");
  EXPECT_TRUE(boxes().empty());
}

TEST_F(Stepping, ThePosixListingIsSortedBytewiseAndReadAfresh) {
  for (const char* n : {"b", "B", "a.txt", "a.txt.bak", "\xe9t\xe9"}) std::ofstream(n) << n;
  std::filesystem::create_directory("sub");
  const Lines sorted{".", "..", "B", "a.txt", "a.txt.bak", "b", "sub", "\xe9t\xe9"};
  char name[16];
  for (uint32_t i = 0; i < sorted.size(); ++i) {
    EXPECT_EQ(index_of_file(sorted[i].c_str(), "*.*"), static_cast<int32_t>(i));
    ASSERT_EQ(nth_file(name, i, "*.*", sizeof name), sorted[i].size());
    EXPECT_EQ(name, sorted[i]);
  }
  EXPECT_EQ(nth_file(name, 8, "*.*", sizeof name), 0u);
  EXPECT_EQ(position_in_listing("b", "*.*"), index_of_file("b", "*.*"));
  EXPECT_EQ(position_in_listing("a.txt0", "*.*"), index_of_file("b", "*.*"));  // gone: its place
  // A pattern's folder is listed, with bare names.
  std::ofstream("sub/in") << "x";
  EXPECT_EQ(index_of_file("in", "sub/*.*"), 2);
  ASSERT_EQ(nth_file(name, 2, "sub/*.*", sizeof name), 2u);
  EXPECT_STREQ(name, "in");
  EXPECT_EQ(position_in_listing("a", "missing/*.*"), -1);
  EXPECT_EQ(index_of_file("A.TXT", "*.*"), -1);
  EXPECT_EQ(index_of_file("", "*.*"), -1);
  // Too long for the buffer: its length, and the buffer untouched.
  std::strcpy(name, "old");
  EXPECT_EQ(nth_file(name, 4, "*.*", 9), 9u);
  EXPECT_STREQ(name, "old");
  std::filesystem::remove("B");
  EXPECT_EQ(index_of_file("a.txt", "*.*"), 2);

  ASSERT_EQ(mkfifo("pipe", 0600), 0);
  std::filesystem::create_symlink("a.txt", "link");
  std::filesystem::create_symlink("gone", "dangling");
  EXPECT_EQ(file_kind("link"), FILE_KIND_REGULAR);
  EXPECT_EQ(file_kind("sub"), FILE_KIND_DIRECTORY);
  EXPECT_EQ(file_kind("pipe"), FILE_KIND_OTHER);
  EXPECT_EQ(file_kind("/dev/null"), FILE_KIND_OTHER);
  EXPECT_EQ(file_kind("dangling"), FILE_KIND_NONE);
}
