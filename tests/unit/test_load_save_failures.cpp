// Loads and saves that fail: what they refuse, and that they lose nothing.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/text_view.h"
#include "file_test_support.h"
#include "screens/title.h"
#include "unprivileged.h"
#include "widgets/widget_table.h"

using namespace vusk;
using vusk::testing::FileTest;

namespace {

// What a refusal must leave alone.
struct Snapshot {
  std::string document, name, title_shown, origin;
  uint8_t mode;
  static Snapshot take() {
    refresh_title_label();  // as the next redraw shows it
    return {std::string(reinterpret_cast<const char*>(doc.text_buffer), doc.text_length), files.file_name,
            std::string(reinterpret_cast<const char*>(title.label), PATH_BYTES), files.document_origin,
            files.file_mode};
  }
};

int allocations_left = 0;
void* fail_after_some(size_t bytes) { return allocations_left-- > 0 ? try_alloc(bytes) : nullptr; }

std::string box_for(const std::string& p) { return "box error!?: " + p; }

// Entries of a directory, so that a leftover temporary file shows.
std::vector<std::string> entries_of(const std::string& d) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(d)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class LoadFailure : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    write_file(path("a.txt"), "abc\r\ndef");
    ASSERT_EQ(load(path("a.txt"), FILE_MODE_TEXT), 0);
    before = Snapshot::take();
  }
  // The Document, names, title and mode are as they were before the failure.
  void expect_unchanged(const std::string& failed_path) {
    EXPECT_EQ(document_bytes(), before.document);
    EXPECT_EQ(files.file_name, before.name);
    refresh_title_label();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(title.label), PATH_BYTES), before.title_shown);
    EXPECT_EQ(files.document_origin, before.origin);
    EXPECT_EQ(files.file_mode, before.mode);
    EXPECT_TRUE(transcript_has(box_for(failed_path)));
    EXPECT_TRUE(check_document());
  }
  Snapshot before;
};

}  // namespace

TEST_F(LoadFailure, MenuLoadOfAMissingFileKeepsTheMode) {
  wt.widget_end = 8;
  wt.w_value[1] = FILE_MODE_HEX;
  set_path(path("missing.bin"));
  load_with_mode(4);
  expect_unchanged(path("missing.bin"));
  // The dialog's path stays, so that stepping can go on from it.
  EXPECT_EQ(files.file_path, path("missing.bin"));
}

TEST_F(LoadFailure, FailedCtrlF2KeepsTheModeAndEmptiesTheSelection) {
  std::filesystem::remove(path("a.txt"));
  view.sel_start = view.sel_anchor = doc.text_buffer;
  view.sel_end = view.sel_head = doc.text_buffer + 2;
  reload_in_other_mode();
  expect_unchanged(path("a.txt"));
  EXPECT_EQ(view.sel_start, view.sel_end);
  EXPECT_EQ(view.sel_anchor, view.sel_head);
  EXPECT_EQ(load_in_mode(FILE_MODE_HEX), 1);
  EXPECT_EQ(files.file_mode, FILE_MODE_TEXT);
}

TEST_F(LoadFailure, OutOfMemoryRefusesTheFile) {
  write_file(path("b.txt"), "bbb");
  files.alloc_block = fail_after_some;
  allocations_left = 0;
  set_path(path("b.txt"));
  EXPECT_EQ(load_in_mode(FILE_MODE_HEX), 1);
  expect_unchanged(path("b.txt"));
  // Text block granted, LineTable refused: the new block is given back
  // (the leak check would catch it) and nothing changes.
  std::string many(5000, '\n');
  write_file(path("lines.txt"), many);
  allocations_left = 1;
  set_path(path("lines.txt"));
  EXPECT_EQ(load_document(), 1);
  expect_unchanged(path("lines.txt"));
  files.alloc_block = nullptr;
  EXPECT_EQ(load_document(), 0);
  EXPECT_EQ(doc.last_line, 5000u);
  EXPECT_TRUE(check_document());
}

TEST_F(LoadFailure, FilesTooLargeForThirtyTwoBitSizesAreRefused) {
  // Sparse files: 4 GiB + 16 would otherwise pass for a 16-byte file, and a
  // 1 GiB file's listing needs a block of 5 GiB.
  const struct {
    const char* name;
    off_t size;
    uint8_t mode;
  } cases[] = {{"huge.bin", (off_t{1} << 32) + 16, FILE_MODE_TEXT}, {"big.bin", off_t{1} << 30, FILE_MODE_HEX}};
  for (const auto& c : cases) {
    const int fd = ::open(path(c.name).c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const bool sized = ftruncate(fd, c.size) == 0;
    ::close(fd);
    if (!sized) GTEST_SKIP() << "the filesystem refuses sparse files of this size";
    set_path(path(c.name));
    EXPECT_EQ(load_in_mode(c.mode), 1);
    expect_unchanged(path(c.name));
  }
}

TEST_F(LoadFailure, TextsWithLinesBeyondTheViewsColumnsAreRefused) {
  // The real limit: a column must fit the view's i32.
  EXPECT_EQ(files.longest_line, uint32_t{INT32_MAX});
  // Lowered, so that the refusal can be tried on small files.
  files.longest_line = 8;
  const std::string fits = "12345678", over = "123456789";
  for (const std::string end : {"\n", "\r\n", "\r"}) {
    for (const std::string& text : {fits + end + "x", "x" + end + fits, "x" + end + fits + end}) {
      write_file(path("ok.txt"), text);
      EXPECT_EQ(load(path("ok.txt"), FILE_MODE_TEXT), 0) << text;
    }
  }
  ASSERT_EQ(load(path("a.txt"), FILE_MODE_TEXT), 0);
  for (const std::string end : {"\n", "\r\n", "\r"}) {
    for (const std::string& text : {over + end + "x", "x" + end + over, "x" + end + over + end + "y", over}) {
      write_file(path("long.txt"), text);
      set_path(path("long.txt"));
      EXPECT_EQ(load_document(), 1) << text;
      expect_unchanged(path("long.txt"));
    }
  }
  // Filler after a line end is no part of the next line.
  write_file(path("filler.txt"), "x\r\n" + std::string(5, '\0') + fits);
  EXPECT_EQ(load(path("filler.txt"), FILE_MODE_TEXT), 0);
  // A listing's lines are its own, whatever the file holds.
  write_file(path("long.txt"), over + over);
  EXPECT_EQ(load(path("long.txt"), FILE_MODE_HEX), 0);
}

TEST_F(LoadFailure, ShortReadTakesOnlyWhatArrived) {
  // sysfs reports 4096 bytes for an attribute that delivers a few.
  const std::string source = "/sys/kernel/mm/transparent_hugepage/enabled";
  std::error_code error;
  const auto reported = std::filesystem::file_size(source, error);
  const std::string arrived = read_file(source);
  if (error || arrived.empty() || reported <= arrived.size()) GTEST_SKIP() << "no short-reading file here";
  ASSERT_EQ(load(source, FILE_MODE_TEXT), 0);
  EXPECT_EQ(document_bytes(), arrived + "\r");
  ASSERT_EQ(load(source, FILE_MODE_HEX), 0);
  EXPECT_EQ(doc.last_line, 1 + arrived.size() / 16);
  EXPECT_EQ(save(path("copy.bin"), FILE_MODE_HEX), arrived);
}

class SaveFailure : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    write_file(path("doc.txt"), "new text\r\n");
    ASSERT_EQ(load(path("doc.txt"), FILE_MODE_TEXT), 0);
    headless::state.transcript.clear();
  }
  // A failed save: the box with the path, no "File saved.", and no file
  // other than those listed.
  void expect_failed(const std::string& target, const std::vector<std::string>& left) {
    set_path(target);
    EXPECT_FALSE(save_document());
    EXPECT_TRUE(transcript_has(box_for(target)));
    EXPECT_EQ(status.status_text, nullptr);
    EXPECT_STREQ(files.file_name, "doc.txt");
    EXPECT_EQ(entries_of(dir), left);
  }
};

TEST_F(SaveFailure, UncreatableTargetsLeaveNothingBehind) {
  expect_failed(path("nodir/out.txt"), {"doc.txt"});
  expect_failed(path("doc.txt/out.txt"), {"doc.txt"});
  // A directory cannot be replaced; its temporary file goes again.
  std::filesystem::create_directory(path("sub"));
  expect_failed(path("sub"), {"doc.txt", "sub"});
  EXPECT_TRUE(std::filesystem::is_directory(path("sub")));
}

TEST_F(SaveFailure, ShortWriteLeavesTheTargetUnchanged) {
  write_file(path("big.txt"), std::string(300000, 'x'));
  ASSERT_EQ(load(path("big.txt"), FILE_MODE_TEXT), 0);
  write_file(path("out.txt"), "original");
  // The file-size limit makes a write come back short.
  rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 100000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  set_path(path("out.txt"));
  const bool saved = save_document();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(read_file(path("out.txt")), "original");
  EXPECT_EQ(status.status_text, nullptr);
  EXPECT_EQ(entries_of(dir), (std::vector<std::string>{"big.txt", "doc.txt", "out.txt"}));
}

TEST_F(SaveFailure, ReadOnlyFilesAreRefused) {
  // A read-only file, alone or in a read-only directory, stays as it is. Run
  // by an ordinary user, whom the permissions bind.
  ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
  std::filesystem::create_directory(path("ro"));
  write_file(path("ro/t.txt"), "kept");
  write_file(path("locked.txt"), "kept too");
  chmod(path("ro/t.txt").c_str(), 0444);
  chmod(path("ro").c_str(), 0555);
  chmod(path("locked.txt").c_str(), 0444);
  const bool refused = vusk::testing::run_unprivileged([&] {
    set_path(path("ro/t.txt"));
    const bool first = save_document();
    set_path(path("locked.txt"));
    return !first && !save_document();
  });
  chmod(path("ro").c_str(), 0755);
  EXPECT_TRUE(refused);
  EXPECT_EQ(read_file(path("ro/t.txt")), "kept");
  EXPECT_EQ(read_file(path("locked.txt")), "kept too");
  EXPECT_EQ(entries_of(path("ro")), std::vector<std::string>{"t.txt"});
  EXPECT_EQ(entries_of(dir), (std::vector<std::string>{"doc.txt", "locked.txt", "ro"}));
}

TEST_F(FileTest, SaveReplacesTheWholeFileAndKeepsItsPermissions) {
  write_file(path("doc.txt"), "short\n");
  ASSERT_EQ(load(path("doc.txt"), FILE_MODE_TEXT), 0);
  write_file(path("out.txt"), std::string(5000, 'z'));
  chmod(path("out.txt").c_str(), 0640);
  EXPECT_EQ(save(path("out.txt"), FILE_MODE_TEXT), "short\r\n");
  struct stat st;
  ASSERT_EQ(stat(path("out.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_STREQ(status.status_text, "File saved.");
  EXPECT_STREQ(files.file_name, "out.txt");
  EXPECT_EQ(entries_of(dir), (std::vector<std::string>{"doc.txt", "out.txt"}));
}

TEST_F(FileTest, SaveThroughASymbolicLinkWritesItsTargetAndKeepsTheLink) {
  std::filesystem::create_directory(path("real"));
  write_file(path("real/t.txt"), "old");
  std::filesystem::create_symlink(path("real/t.txt"), path("link.txt"));
  write_file(path("doc.txt"), "new\n");
  ASSERT_EQ(load(path("doc.txt"), FILE_MODE_TEXT), 0);
  EXPECT_EQ(save(path("link.txt"), FILE_MODE_TEXT), "new\r\n");
  EXPECT_TRUE(std::filesystem::is_symlink(path("link.txt")));
  EXPECT_EQ(read_file(path("real/t.txt")), "new\r\n");
  EXPECT_EQ(entries_of(path("real")), std::vector<std::string>{"t.txt"});
}

TEST_F(FileTest, SaveWritesWhereTheDocumentCameFrom) {
  std::filesystem::create_directories(path("other/sub"));
  write_file(path("other/a.txt"), "old\r\n");
  ASSERT_EQ(load(path("other/a.txt"), FILE_MODE_TEXT), 0);
  doc.text_buffer[0] = 'n';
  save_under_file_name(0);
  EXPECT_EQ(read_file(path("other/a.txt")), "nld\r\n");
  EXPECT_FALSE(std::filesystem::exists(path("a.txt")));
  EXPECT_EQ(files.file_path, path("other/a.txt"));
  EXPECT_STREQ(files.file_name, "a.txt");

  // A relative name is remembered absolutely: a change of directory does
  // not move the save.
  write_file(path("other/sub/b.txt"), "bee");
  ASSERT_EQ(load("other/sub/b.txt", FILE_MODE_TEXT), 0);
  std::filesystem::current_path(path("other"));
  doc.text_buffer[0] = 'B';
  save_under_file_name(0);
  EXPECT_EQ(read_file(path("other/sub/b.txt")), "Bee");
  EXPECT_FALSE(std::filesystem::exists(path("other/b.txt")));
}

TEST_F(FileTest, SaveOfANeverLoadedDocumentUsesTheBareNameHere) {
  set_path("somewhere/default.txt");
  take_file_name();
  save_under_file_name(0);
  EXPECT_EQ(read_file(path("default.txt")), "   ");
  EXPECT_STREQ(files.file_path, "default.txt");
  EXPECT_EQ(files.document_origin, path("default.txt"));
}
