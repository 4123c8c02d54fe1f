// Files that are not regular files: named pipes and devices are refused at
// once by every way of opening a document, instead of blocking for ever.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_test_support.h"
#include "backends/posix/posix_support.h"
#include "unprivileged.h"

using namespace vusk;
using vusk::testing::FileTest;

namespace {

// A regression would block in open() or read(): the alarm's default action
// ends the test program then, which fails the run instead of hanging it.
constexpr unsigned WATCHDOG_SECONDS = 30;

class SpecialFile : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0666), 0);
    write_file(path("a.txt"), "kept\r\n");
    ASSERT_EQ(load(path("a.txt"), FILE_MODE_TEXT), 0);
    kept = document_bytes();
    headless::state.transcript.clear();
    alarm(WATCHDOG_SECONDS);
  }
  void TearDown() override {
    alarm(0);
    FileTest::TearDown();
  }
  // The "error!?" box for `p`, and the Document and its name as they were.
  void expect_refused(const std::string& p) {
    EXPECT_TRUE(transcript_has("box error!?: " + p));
    EXPECT_EQ(document_bytes(), kept);
    EXPECT_STREQ(files.file_name, "a.txt");
    headless::state.transcript.clear();
  }
  std::string kept;
};

}  // namespace

TEST_F(SpecialFile, PlatformOpensRefuseThemWithoutWaiting) {
  for (const char* p : {"pipe", "/dev/zero", "/dev/null"}) {
    const std::string name = p[0] == '/' ? p : path(p);
    EXPECT_EQ(open_existing_read(name.c_str()), INVALID_FILE) << name;
    EXPECT_EQ(open_existing_rw(name.c_str()), INVALID_FILE) << name;
  }
  // No reader: a blocking open for writing would wait for one.
  EXPECT_EQ(create_for_write(path("pipe").c_str()), INVALID_FILE);
  EXPECT_TRUE(std::filesystem::is_fifo(path("pipe")));
}

TEST_F(SpecialFile, LoadsInBothModesShowTheBox) {
  for (const uint8_t mode : {FILE_MODE_TEXT, FILE_MODE_HEX}) {
    for (const std::string& p : {path("pipe"), std::string("/dev/zero")}) {
      set_path(p);
      EXPECT_EQ(load_in_mode(mode), 1);
      expect_refused(p);
      EXPECT_EQ(files.file_mode, FILE_MODE_TEXT);
    }
  }
}

TEST_F(SpecialFile, SavesOntoAPipeAreRefusedAndLeaveIt) {
  // Writable, then read-only: the check for a read-only target used to open
  // it for reading, which waits for a writer. Run by an ordinary user, whom
  // the read-only mode binds.
  ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
  for (const mode_t mode : {0666, 0444}) {
    ASSERT_EQ(chmod(path("pipe").c_str(), mode), 0);
    const bool refused = vusk::testing::run_unprivileged([&] {
      set_path(path("pipe"));
      return !save_document() && transcript_has("box error!?: " + path("pipe")) && status.status_text == nullptr;
    });
    EXPECT_TRUE(refused) << std::oct << mode;
    EXPECT_TRUE(std::filesystem::is_fifo(path("pipe")));
    EXPECT_EQ(std::filesystem::file_size(path("a.txt")), 6u);
  }
  // And by this user too.
  set_path(path("pipe"));
  EXPECT_FALSE(save_document());
  expect_refused(path("pipe"));
}

TEST_F(SpecialFile, ThePipeOnTheCommandLineGivesTheBoxAndTheEmptyDocument) {
  reset_all_state();
  headless::reset();
  set_command_line(("vusk " + path("pipe")).c_str());
  start_up_steps();
  EXPECT_TRUE(transcript_has("box error!?: " + path("pipe")));
  EXPECT_STREQ(files.file_path, files.file_name);  // the default name it shows
  EXPECT_EQ(doc.text_length, 4u);
}
