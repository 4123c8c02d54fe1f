// Where an installed copy finds its font and keeps its transfer file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "files/load_save.h"
#include "backends/headless/headless.h"
#include "platform/platform.h"
#include "backends/posix/posix_support.h"
#include "app/startup.h"
#include "unprivileged.h"

using namespace vusk;
namespace fs = std::filesystem;

namespace {

class CacheDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("vusk-cache-" + std::to_string(getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

}  // namespace

TEST_F(CacheDirectory, XdgCacheHomeWinsWhenAbsolute) {
  const std::string xdg = (root_ / "xdg").string();
  char dest[256];
  const uint32_t n = user_cache_directory(xdg.c_str(), (root_ / "home").c_str(), dest, sizeof dest);
  EXPECT_EQ(std::string(dest), xdg + "/vusk/");
  EXPECT_EQ(n, std::strlen(dest));
  // Naming it creates nothing; the first write makes it, private to the user.
  EXPECT_TRUE(fs::is_empty(root_));
  EXPECT_TRUE(make_parent_directories((xdg + "/vusk/VUSK.TMP").c_str()));
  for (const std::string& d : {xdg, xdg + "/vusk"}) {
    struct stat st;
    ASSERT_EQ(stat(d.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << d;
  }
  EXPECT_TRUE(fs::is_empty(xdg + "/vusk"));
}

TEST_F(CacheDirectory, FallsBackToHomeAndRefusesWhatCannotWork) {
  const std::string home = (root_ / "home").string();
  char dest[256] = "untouched";
  // A relative XDG_CACHE_HOME is invalid and ignored.
  EXPECT_NE(user_cache_directory("relative/cache", home.c_str(), dest, sizeof dest), 0u);
  EXPECT_EQ(std::string(dest), home + "/.cache/vusk/");
  EXPECT_FALSE(fs::exists(home));

  std::strcpy(dest, "untouched");
  EXPECT_EQ(user_cache_directory(nullptr, nullptr, dest, sizeof dest), 0u);
  EXPECT_EQ(user_cache_directory(nullptr, "", dest, sizeof dest), 0u);
  // Too long for the buffer: nothing is written.
  EXPECT_EQ(user_cache_directory(nullptr, home.c_str(), dest, 8), 0u);
  EXPECT_STREQ(dest, "untouched");
  // A directory that cannot be made under a plain file.
  const std::string file = (root_ / "plain-file").string();
  std::fclose(std::fopen(file.c_str(), "w"));
  EXPECT_FALSE(make_parent_directories((file + "/vusk/VUSK.TMP").c_str()));
}

TEST(InstalledPaths, DataLiesUnderShareBesideTheExecutable) {
  char exe[4096];
  const uint32_t dir = module_directory(exe, sizeof exe);
  ASSERT_NE(dir, 0u);
  char dest[4096];
  ASSERT_TRUE(posix_installed_data_path("jisfont.bin", dest, sizeof dest));
  EXPECT_EQ(std::string(dest), std::string(exe, dir) + "../share/vusk/jisfont.bin");
  EXPECT_FALSE(posix_installed_data_path("jisfont.bin", dest, dir + 5));
}

namespace {
uint32_t fixed_transfer_directory(char* dest, uint32_t) {
  std::strcpy(dest, "/cache/vusk/");
  return 12;
}
}  // namespace

TEST(InstalledPaths, StartUpPutsTheTransferFileWhereThePlatformSays) {
  reset_all_state();
  headless::reset();
  set_command_line("vusk");
  platform_hooks.transfer_directory = fixed_transfer_directory;
  start_up_steps();
  platform_hooks.transfer_directory = nullptr;
  EXPECT_STREQ(files.transfer_path, "/cache/vusk/VUSK.TMP");
}

// An installed copy, whose own directory it cannot write, keeps its transfer
// file in the user's cache; starting it must still write nothing to disk.
TEST_F(CacheDirectory, StartUpOnlyNamesTheCacheDirectory) {
  char exe[4096];
  const uint32_t dir = module_directory(exe, sizeof exe);
  ASSERT_NE(dir, 0u);
  if (geteuid() != 0 && access(std::string(exe, dir).c_str(), W_OK) == 0) {
    GTEST_SKIP() << "the executable's directory is writable: the cache is not used";
  }
  const std::string xdg = (root_ / "xdg").string();
  const std::string home = (root_ / "home").string();
  fs::permissions(root_, fs::perms::all);  // nothing but the program keeps it empty
  // The child runs as another user, so that the build directory is not
  // writable for it; its environment is its own.
  const bool named = vusk::testing::run_unprivileged([&] {
    setenv("XDG_CACHE_HOME", xdg.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    reset_all_state();
    headless::reset();
    set_command_line("vusk");
    install_posix_hooks();
    start_up_steps();
    return std::string(files.transfer_path) == xdg + "/vusk/VUSK.TMP";
  });
  EXPECT_TRUE(named);
  EXPECT_TRUE(fs::is_empty(root_));
}
