// Names given on the command line, through the real argv rebuild and
// start-up: which file they load, which file Save then writes, the names
// that are refused, and what the title shows for unusual bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_test_support.h"
#include "files/load_save.h"
#include "raster/raster.h"
#include "platform/platform.h"
#include "backends/posix/posix_support.h"
#include "widget_frames.h"

using namespace vusk;

namespace {

class StartUpName : public vusk::testing::FileTest {
 protected:
  // Runs start-up as `vusk ARG` would, in the scratch directory.
  static void start_with(const std::string& arg, std::string program = "vusk") {
    reset_all_state();
    headless::reset();
    std::string argument = arg;
    char* argv[] = {program.data(), argument.data()};
    set_command_line_from_argv(2, argv);
    start_up_steps();
  }

  static std::vector<uint32_t> frame() {
    const uint32_t* p = raster.frame_pixels;
    return std::vector<uint32_t>(p, p + static_cast<size_t>(raster.frame_width) * raster.frame_height);
  }

  // The "error!?" boxes shown so far.
  static std::vector<std::string> boxes() {
    std::vector<std::string> out;
    for (const std::string& line : headless::state.transcript) {
      if (line.rfind("box ", 0) == 0) out.push_back(line);
    }
    return out;
  }

  // Start-up named `arg`; the file `arg` loads, and Save writes it back.
  void expect_loaded_and_saved(const std::string& arg) {
    write_file(arg, "one\ntwo");
    start_with(arg);
    EXPECT_TRUE(boxes().empty()) << arg;
    EXPECT_EQ(std::string(files.file_path), arg);
    EXPECT_EQ(std::string(files.file_name), arg);
    EXPECT_EQ(document_bytes(), "one\ntwo\r");
    save_under_file_name(0);
    EXPECT_EQ(read_file(arg), "one\r\ntwo") << "Save did not write the file named";
  }
};

TEST_F(StartUpName, ControlBytesAndSpacesStayInTheName) {
  // Files named after the parts that a split at the control byte would give.
  write_file("a", "not this");
  write_file("b", "nor this");
  for (const std::string arg : {"a\tb", "a\nb", "a\rb", "my file.txt", " a", "a\x1F"}) {
    SCOPED_TRACE(arg);
    expect_loaded_and_saved(arg);
  }
  EXPECT_EQ(read_file("a"), "not this");
  EXPECT_EQ(read_file("b"), "nor this");
}

TEST_F(StartUpName, NamesWithAQuoteAreRefused) {
  write_file("a", "not this");
  write_file("ab", "nor this");
  write_file("b", "nor this");
  for (const std::string arg : {"a\"b", "\"ab", "ab\"", "\"", "a\"\"b", "a \"b", "a\t\"b"}) {
    SCOPED_TRACE(arg);
    write_file(arg, "the named file, never loaded");
    start_with(arg);
    EXPECT_EQ(boxes(), std::vector<std::string>{"box error!?: " + arg});
    EXPECT_STREQ(files.file_path, files.file_name);
    EXPECT_STREQ(files.file_name, "default.txt");
    EXPECT_EQ(document_bytes(), "   \r");
  }
  // The refusal also holds when the quote lies beyond the length limit.
  const std::string longest(LONGEST_ARGUMENT, 'x');
  write_file(longest, "its first 127 characters, never loaded");
  start_with(longest + "\"");
  EXPECT_EQ(boxes(), std::vector<std::string>{"box error!?: " + longest});
  EXPECT_STREQ(files.file_path, files.file_name);
  EXPECT_EQ(document_bytes(), "   \r");
}

TEST_F(StartUpName, ProgramPathWithQuotesAndSpacesIsSkippedWhole) {
  write_file("f.txt", "f");
  write_file("b", "not this");
  start_with("f.txt", "/opt/my \"tools\"/a\"b/vusk");
  EXPECT_TRUE(boxes().empty());
  EXPECT_STREQ(files.file_path, "f.txt");
  EXPECT_EQ(document_bytes(), "f\r");
}

// 0xFE and 0xFF in a name show as spaces in the title: the frame after
// start-up is the one the same name with spaces gives, pixel for pixel, and
// the title row reads as that name. (A 0xFE taken as the label's new line
// drew the rest of the name lower down, and one at the end ran the label on
// past its buffer.)
TEST_F(StartUpName, TitleShowsLabelBytesOfTheNameAsSpaces) {
  for (const auto& [odd, plain] : std::vector<std::pair<std::string, std::string>>{
           {"a\xFEZbc", "a Zbc"}, {"a\xFE", "a "}, {"a\xFF\xFE\xFE", "a   "}, {"\xFE\xFF", "  "}}) {
    write_file(odd, "x\r\n");
    write_file(plain, "x\r\n");
    start_with(plain);
    ASSERT_STREQ(files.file_name, plain.c_str());
    const std::vector<uint32_t> wanted = frame();
    start_with(odd);
    ASSERT_TRUE(boxes().empty());
    ASSERT_STREQ(files.file_name, odd.c_str());
    EXPECT_TRUE(frame() == wanted) << "the frame differs from the one for \"" << plain << "\"";
    // The title row: "current file:" and the name, on black.
    const std::string title = "current file:" + plain;
    const uint32_t width = 4 + 9 * static_cast<uint32_t>(title.size()) + 9;
    const std::vector<uint32_t> drawn = test::region(0, 0, 18, width);
    fill_rect(0, 18, width, 0, 0);
    test::glyphs(title.c_str(), 9, 3, 4);
    EXPECT_TRUE(test::region(0, 0, 18, width) == drawn) << "title row of \"" << plain << "\"";
  }
}

}  // namespace
