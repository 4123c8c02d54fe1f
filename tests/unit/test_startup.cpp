// Command-line parsing and the start-up sequence.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "commands/commands.h"
#include "editor/text_view.h"
#include "files/load_save.h"
#include "backends/headless/headless.h"
#include "backends/posix/posix_support.h"
#include "app/startup.h"
#include "widgets/input.h"
#include "widgets/widget_table.h"

using namespace vusk;

namespace {

// Parses `line` as a whole command line and returns the first argument.
std::string first_argument(const char* line, uint32_t* length = nullptr, const char** cursor = nullptr) {
  set_command_line(line);
  startup.cmdline_cursor = skip_program_path();
  char dest[256];
  std::memset(dest, 'Z', sizeof dest);
  const uint32_t n = next_argument(dest);
  if (length != nullptr) *length = n;
  if (cursor != nullptr) *cursor = startup.cmdline_cursor;
  EXPECT_EQ(dest[n], 0);
  return dest;
}

}  // namespace

TEST(CommandLine, PlainQuotedAndMissingArguments) {
  EXPECT_EQ(first_argument("vusk.exe a.txt"), "a.txt");
  EXPECT_EQ(first_argument("vusk.exe    \t a.txt   "), "a.txt");
  EXPECT_EQ(first_argument("vusk.exe \"my file.txt\""), "my file.txt");
  uint32_t n = 99;
  EXPECT_EQ(first_argument("vusk.exe", &n), "");
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(first_argument("vusk.exe   ", &n), "");
  EXPECT_EQ(n, 0u);
}

TEST(CommandLine, OnlyTheFirstArgumentIsTaken) {
  const char* cursor = nullptr;
  EXPECT_EQ(first_argument("vusk.exe one two", nullptr, &cursor), "one");
  // The cursor stands just after the space that ended the argument.
  EXPECT_STREQ(cursor, "two");
  EXPECT_EQ(first_argument("vusk.exe \"a b\"c d", nullptr, &cursor), "a b");
  EXPECT_STREQ(cursor, "c d");
}

TEST(CommandLine, UnquotedProgramPathEndsAtFirstSpace) {
  EXPECT_EQ(first_argument("C:\\Program Files\\vusk.exe"), "Files\\vusk.exe");
}

TEST(CommandLine, QuotedProgramPathEndsAtItsClosingQuote) {
  EXPECT_EQ(first_argument("\"C:\\Program Files\\vusk.exe\" a.txt"), "a.txt");
  EXPECT_EQ(first_argument("\"C:\\Program Files\\vusk.exe\""), "");
  EXPECT_EQ(first_argument("\"C:\\Program Files\\vusk.exe\"a.txt"), "a.txt");
}

TEST(CommandLine, ArgumentsAreCutAt127Characters) {
  const std::string exact(127, 'x');
  uint32_t n = 0;
  EXPECT_EQ(first_argument(("v " + exact).c_str(), &n), exact);
  EXPECT_EQ(n, 127u);
  EXPECT_EQ(first_argument(("v " + exact + "yz").c_str(), &n), exact);
  EXPECT_EQ(n, 127u);
  // Quotes are not counted against the limit.
  EXPECT_EQ(first_argument(("v \"" + exact + "\"").c_str(), &n), exact);
}

TEST(CommandLine, ControlCharactersEndAnUnquotedArgumentOnly) {
  EXPECT_EQ(first_argument("v a\tb"), "a");
  EXPECT_EQ(first_argument("v \"a\tb\""), "a\tb");
  // An unterminated quote runs to the end of the line.
  EXPECT_EQ(first_argument("v \"a b"), "a b");
}

TEST(CommandLine, ADoubledQuoteInsideQuotesIsOneQuoteCharacter) {
  const char* cursor = nullptr;
  EXPECT_EQ(first_argument("v \"a\"\"b\" c", nullptr, &cursor), "a\"b");
  EXPECT_STREQ(cursor, " c");
  EXPECT_EQ(first_argument("v \"\"\"\""), "\"");
  // Outside quotes a quote still opens them.
  EXPECT_EQ(first_argument("v a\"b c\""), "ab c");
}

// argv rebuilt on Linux: an empty argument stays an argument of its own
// (`vusk "" b.txt` names no file, as on Windows), rather than vanishing and
// letting the next one take its place.
TEST(CommandLine, AnEmptyArgumentFromArgvNamesNoFile) {
  std::string program = "vusk", empty, next = "b.txt";
  char* argv[] = {program.data(), empty.data(), next.data()};
  set_command_line_from_argv(3, argv);
  startup.cmdline_cursor = skip_program_path();
  char dest[LONGEST_ARGUMENT + 1];
  EXPECT_EQ(next_argument(dest), 0u);
  EXPECT_FALSE(last_argument_refused());
  EXPECT_EQ(next_argument(dest), 5u);
  EXPECT_STREQ(dest, "b.txt");
  // An empty program path still ends before the first argument.
  char* no_path[] = {empty.data(), next.data()};
  set_command_line_from_argv(2, no_path);
  startup.cmdline_cursor = skip_program_path();
  EXPECT_EQ(next_argument(dest), 5u);
  EXPECT_STREQ(dest, "b.txt");
}

namespace {

struct Exited {
  int code;
};

}  // namespace

// The real program starts from static zeroes, not from a test's reset: the
// whole start-up must still install the panels and the initial modes.
TEST(StartUp, FromZeroedStateShowsTheBarsInInsertMode) {
  reset_all_state();
  headless::reset();
  set_command_line("vusk");
  for (PanelRecord*& p : panel_directory) p = nullptr;
  view.insert_mode = 0;
  input.rdrag_widget = 0;
  headless::set_exit_handler([](int code) { throw Exited{code}; });
  int code = -1;
  try {
    start_up();  // no messages are queued: the loop ends at once
  } catch (const Exited& e) {
    code = e.code;
  }
  headless::set_exit_handler(nullptr);
  EXPECT_EQ(code, 0);
  EXPECT_GT(view.top_bars_end, view.text_rows_end);  // title and menu bars are live
  EXPECT_GT(view.thumb_end, view.bottom_bar_end);    // and the scroll thumb
  EXPECT_EQ(view.insert_mode, 1);
  EXPECT_EQ(input.rdrag_widget, -1);
}
