// Saves that must keep the file what it is: hard links, another user's file,
// a writable file in a read-only directory, deep directories, and a failure
// at any step, which must leave the old contents in place.
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "file_test_support.h"
#include "backends/posix/posix_support.h"
#include "unprivileged.h"

using namespace vusk;
using vusk::testing::FileTest;

namespace {

std::vector<std::string> entries_of(const std::string& d) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(d)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct stat stat_of(const std::string& p) {
  struct stat st {};
  EXPECT_EQ(stat(p.c_str(), &st), 0) << p;
  return st;
}

class SaveIdentity : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);  // reachable by the unprivileged user
    write_file(path("doc.txt"), NEW_TEXT);
    ASSERT_EQ(load(path("doc.txt"), FILE_MODE_TEXT), 0);
    headless::state.transcript.clear();
  }
  void TearDown() override {
    fail_file_operations(0);
    FileTest::TearDown();
  }
  static constexpr const char* NEW_TEXT = "new\r\n";
  static constexpr const char* OLD_TEXT = "the old contents\r\n";
};

}  // namespace

TEST_F(SaveIdentity, AHardLinkedFileIsRewrittenAndEveryLinkSeesIt) {
  write_file(path("a.txt"), OLD_TEXT);
  std::filesystem::create_hard_link(path("a.txt"), path("b.txt"));
  const ino_t inode = stat_of(path("a.txt")).st_ino;
  EXPECT_EQ(save(path("a.txt"), FILE_MODE_TEXT), NEW_TEXT);
  EXPECT_EQ(read_file(path("b.txt")), NEW_TEXT);
  EXPECT_EQ(stat_of(path("a.txt")).st_ino, inode);
  EXPECT_EQ(stat_of(path("a.txt")).st_nlink, 2u);
  // The backup beside it is gone again.
  EXPECT_EQ(entries_of(dir), (std::vector<std::string>{"a.txt", "b.txt", "doc.txt"}));
}

TEST_F(SaveIdentity, AFileOfTheSaversOwnIsStillReplacedByRename) {
  // The rename is atomic: where it keeps the file what it is, it stays.
  write_file(path("a.txt"), OLD_TEXT);
  const ino_t inode = stat_of(path("a.txt")).st_ino;
  EXPECT_EQ(save(path("a.txt"), FILE_MODE_TEXT), NEW_TEXT);
  EXPECT_NE(stat_of(path("a.txt")).st_ino, inode);
}

TEST_F(SaveIdentity, AnotherUsersFileKeepsItsOwnerGroupAndMode) {
  if (geteuid() != 0) GTEST_SKIP() << "only the superuser can write another user's file here";
  write_file(path("theirs.txt"), OLD_TEXT);
  ASSERT_EQ(chown(path("theirs.txt").c_str(), vusk::testing::UNPRIVILEGED_ID, vusk::testing::UNPRIVILEGED_ID), 0);
  ASSERT_EQ(chmod(path("theirs.txt").c_str(), 0640), 0);
  const ino_t inode = stat_of(path("theirs.txt")).st_ino;
  EXPECT_EQ(save(path("theirs.txt"), FILE_MODE_TEXT), NEW_TEXT);
  const struct stat st = stat_of(path("theirs.txt"));
  EXPECT_EQ(st.st_ino, inode);
  EXPECT_EQ(st.st_uid, vusk::testing::UNPRIVILEGED_ID);
  EXPECT_EQ(st.st_gid, vusk::testing::UNPRIVILEGED_ID);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(entries_of(dir), (std::vector<std::string>{"doc.txt", "theirs.txt"}));
}

TEST_F(SaveIdentity, AWritableFileInAReadOnlyDirectoryIsSaved) {
  std::filesystem::create_directory(path("ro"));
  std::filesystem::create_directory(path("cache"));
  write_file(path("ro/t.txt"), OLD_TEXT);
  // The saver's own file: the rename is tried first and cannot be made.
  if (geteuid() == 0) {
    ASSERT_EQ(chown(path("ro/t.txt").c_str(), vusk::testing::UNPRIVILEGED_ID, vusk::testing::UNPRIVILEGED_ID), 0);
  }
  ASSERT_EQ(chmod(path("ro/t.txt").c_str(), 0666), 0);
  ASSERT_EQ(chmod(path("ro").c_str(), 0555), 0);
  ASSERT_EQ(chmod(path("cache").c_str(), 0777), 0);
  const bool saved = vusk::testing::run_unprivileged([&] {
    // No backup can lie beside the file: it goes to the cache.
    setenv("XDG_CACHE_HOME", path("cache").c_str(), 1);
    set_path(path("ro/t.txt"));
    return save_document() && status.status_text != nullptr;
  });
  chmod(path("ro").c_str(), 0755);
  EXPECT_TRUE(saved);
  EXPECT_EQ(read_file(path("ro/t.txt")), NEW_TEXT);
  EXPECT_EQ(entries_of(path("ro")), std::vector<std::string>{"t.txt"});
  EXPECT_TRUE(std::filesystem::is_empty(path("cache/vusk")));  // the backup is gone
}

TEST_F(SaveIdentity, FilesUnderADeepDirectoryAreSaved) {
  // No buffer of the save limits the depth of the directory.
  std::string deep = dir;
  while (deep.size() <= 600) deep += "/" + std::string(100, 'd');
  std::filesystem::create_directories(deep);
  std::filesystem::current_path(deep);
  write_file("own.txt", OLD_TEXT);
  write_file("linked.txt", OLD_TEXT);
  std::filesystem::create_hard_link("linked.txt", "link2.txt");
  EXPECT_EQ(save("own.txt", FILE_MODE_TEXT), NEW_TEXT);       // by rename
  EXPECT_EQ(save("linked.txt", FILE_MODE_TEXT), NEW_TEXT);    // in place
  EXPECT_EQ(read_file("link2.txt"), NEW_TEXT);
  EXPECT_EQ(entries_of(deep), (std::vector<std::string>{"link2.txt", "linked.txt", "own.txt"}));
}

TEST_F(SaveIdentity, AFailureAtAnyStepLeavesTheOldContents) {
  // Old contents and Document both larger than one gathered piece, so that
  // copying and writing take several steps each.
  const std::string old_text(700000, 'o'), new_text(600000, 'n');
  write_file(path("big.txt"), new_text);
  ASSERT_EQ(load(path("big.txt"), FILE_MODE_TEXT), 0);
  write_file(path("linked.txt"), old_text);
  std::filesystem::create_hard_link(path("linked.txt"), path("link2.txt"));
  write_file(path("own.txt"), old_text);
  for (const char* name : {"linked.txt", "own.txt"}) {
    const std::vector<std::string> before = entries_of(dir);
    int failures = 0;
    for (int n = 0; n < 64; ++n) {
      headless::state.transcript.clear();
      status.status_text = nullptr;
      fail_file_operations(uint64_t{1} << n);
      set_path(path(name));
      const bool saved = save_document();
      fail_file_operations(0);
      if (saved) break;
      ++failures;
      EXPECT_TRUE(read_file(path(name)) == old_text) << name << " step " << n;
      EXPECT_EQ(headless::state.transcript, std::vector<std::string>{"box error!?: " + path(name)});
      EXPECT_EQ(status.status_text, nullptr);
      EXPECT_EQ(entries_of(dir), before) << name << " step " << n;
    }
    // Copy, rewrite, cut and flush in place; write, flush and rename beside.
    EXPECT_GE(failures, name[0] == 'l' ? 9 : 4) << name;
    EXPECT_TRUE(read_file(path(name)) == new_text) << name;
  }
  EXPECT_TRUE(read_file(path("link2.txt")) == new_text);
}

TEST_F(SaveIdentity, WhenTheOldContentsCannotBePutBackTheirBackupIsKept) {
  write_file(path("linked.txt"), OLD_TEXT);
  std::filesystem::create_hard_link(path("linked.txt"), path("link2.txt"));
  // Every step from the n-th on fails, the restoring ones included.
  bool kept = false;
  for (int n = 0; n < 20 && !kept; ++n) {
    headless::state.transcript.clear();
    fail_file_operations(~uint64_t{0} << n);
    set_path(path("linked.txt"));
    const bool saved = save_document();
    fail_file_operations(0);
    ASSERT_FALSE(saved) << n;
    // The box names the file; when it holds the old contents no more, a box
    // before it names their backup, which holds them.
    const std::vector<std::string>& boxes = headless::state.transcript;
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), "box error!?: " + path("linked.txt"));
    if (read_file(path("linked.txt")) == OLD_TEXT) continue;
    ASSERT_EQ(boxes.size(), 2u);
    const std::string backup = boxes[0].substr(std::string("box error!?: ").size());
    EXPECT_EQ(std::filesystem::path(backup).parent_path(), dir);
    EXPECT_EQ(read_file(backup), OLD_TEXT);
    kept = true;
  }
  EXPECT_TRUE(kept);
}
