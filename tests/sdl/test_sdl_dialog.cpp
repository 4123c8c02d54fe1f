// The file dialogs run as a helper program: its arguments, and how its exit
// code and output become a chosen path, a cancel or a failure.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/platform.h"

using namespace vusk;
namespace fs = std::filesystem;

namespace {

class FileDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vusk-dialog-" + std::to_string(getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    const char* path = std::getenv("PATH");
    saved_path_ = path != nullptr ? path : "/usr/bin:/bin";
    std::strcpy(buffer, "my file.txt");
  }
  void TearDown() override {
    unsetenv("VUSK_DIALOG");
    setenv("PATH", saved_path_.c_str(), 1);
    fs::remove_all(dir_);
  }

  // Makes an executable shell script `name` in the scratch directory that
  // records its arguments one per line, then runs `body`.
  std::string script(const std::string& name, const std::string& body) const {
    const std::string path = (dir_ / name).string();
    std::ofstream out(path);
    out << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << args_file() << "'\n" << body << "\n";
    out.close();
    chmod(path.c_str(), 0755);
    return path;
  }
  // Installs a helper through VUSK_DIALOG.
  void helper(const std::string& body) { setenv("VUSK_DIALOG", script("helper", body).c_str(), 1); }
  std::string args_file() const { return (dir_ / "args").string(); }
  std::string recorded_args() const {
    std::ifstream in(args_file());
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  char buffer[256];
  fs::path dir_;
  std::string saved_path_;
};

}  // namespace

TEST_F(FileDialog, AChosenPathFillsTheBuffer) {
  helper("echo '/home/u/chosen name.txt'");
  ASSERT_TRUE(file_dialog(false, 0x8000, buffer));
  EXPECT_STREQ(buffer, "/home/u/chosen name.txt");
  // The current path is passed as one argument, spaces and all.
  EXPECT_EQ(recorded_args(), "open\nmy file.txt\n");

  helper("printf 'b.bin'");  // no final newline
  ASSERT_TRUE(file_dialog(true, 0x8002, buffer));
  EXPECT_STREQ(buffer, "b.bin");
  EXPECT_EQ(recorded_args(), "save\n/home/u/chosen name.txt\n");
}

TEST_F(FileDialog, ZenityIsTheDefaultHelper) {
  script("zenity", "echo /x/opened");
  setenv("PATH", (dir_.string() + ":" + saved_path_).c_str(), 1);
  ASSERT_TRUE(file_dialog(false, 0x8000, buffer));
  EXPECT_STREQ(buffer, "/x/opened");
  EXPECT_EQ(recorded_args(), "--file-selection\n--filename=my file.txt\n");
  ASSERT_TRUE(file_dialog(true, 0x8002, buffer));
  EXPECT_EQ(recorded_args(), "--file-selection\n--save\n--confirm-overwrite\n--filename=/x/opened\n");
}

TEST_F(FileDialog, CancelIsNotAnError) {
  // GTK chatter on stderr does not turn a cancel into a failure.
  helper("echo '(zenity:1): dconf-WARNING **: failed to commit changes' >&2; exit 1");
  EXPECT_FALSE(file_dialog(false, 0x8000, buffer));
  EXPECT_EQ(file_dialog_error(), 0u);
  EXPECT_STREQ(buffer, "my file.txt");
}

TEST_F(FileDialog, FailuresReportAnErrorAndKeepThePath) {
  // The first three show no dialog, so the core asks for the path itself;
  // the others are names the dialog cannot hand over.
  const char* failing[] = {
      "echo '(zenity:1): Gtk-WARNING **: cannot open display: :9' >&2; exit 1",  // no display
      "exit 3",                                                               // a helper's failure
      "kill -9 $$",                                                           // killed
      "exit 0",                                                               // nothing chosen
      "printf '/%0300d\\n' 0",                                                // too long for the buffer
  };
  for (size_t i = 0; i < std::size(failing); ++i) {
    helper(failing[i]);
    EXPECT_FALSE(file_dialog(false, 0x8000, buffer)) << failing[i];
    EXPECT_NE(file_dialog_error(), 0u) << failing[i];
    EXPECT_EQ(file_dialog_error() == DIALOG_UNAVAILABLE, i < 3) << failing[i];
    EXPECT_STREQ(buffer, "my file.txt") << failing[i];
  }
  // A helper that is not there at all, and zenity missing from PATH.
  setenv("VUSK_DIALOG", (dir_ / "no-such-helper").c_str(), 1);
  EXPECT_FALSE(file_dialog(true, 0x8002, buffer));
  EXPECT_EQ(file_dialog_error(), DIALOG_UNAVAILABLE);
  EXPECT_STREQ(file_dialog_unavailable_reason(), "no-such-helper is not installed");
  EXPECT_STREQ(buffer, "my file.txt");
  unsetenv("VUSK_DIALOG");
  setenv("PATH", dir_.c_str(), 1);
  EXPECT_FALSE(file_dialog(false, 0x8000, buffer));
  EXPECT_STREQ(file_dialog_unavailable_reason(), "zenity is not installed");
}

TEST_F(FileDialog, ALongestPathStillFits) {
  const std::string longest = "/" + std::string(254, 'p');
  helper("echo '" + longest + "'");
  ASSERT_TRUE(file_dialog(false, 0x8000, buffer));
  EXPECT_EQ(std::string(buffer), longest);
}
