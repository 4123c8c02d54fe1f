// Console test of the Win32 platform services, cross-built with mingw-w64 and
// run under Wine by run_under_wine.sh. It works in a scratch directory under
// the temp folder, prints one line per failed check and a summary, and ends
// with the line "ok" only when every check passed. Given the argument
// "alloc-fail" it instead asks alloc_or_exit for a block no 32-bit process can
// have, which must end the process with exit code 1.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "backends/win32/win32_text.h"
#include "platform/platform.h"

using namespace vusk;
namespace fs = std::filesystem;

namespace {

int checks = 0;
int failures = 0;

#define CHECK(cond)                                                     \
  do {                                                                  \
    ++checks;                                                           \
    if (!(cond)) {                                                      \
      ++failures;                                                       \
      std::printf("FAILED %s:%d: %s\n", __FILE__, __LINE__, #cond);     \
    }                                                                   \
  } while (0)

// Writes `bytes` to a new file through the platform services.
bool write_file(const char* path, const std::string& bytes) {
  const FileHandle h = create_for_write(path);
  if (h == INVALID_FILE) return false;
  const uint32_t n = write_block(static_cast<uint32_t>(bytes.size()), bytes.data(), h);
  close_file(h);
  return n == bytes.size();
}

// The whole file through the platform services, or "<missing>".
std::string read_file(const char* path) {
  const FileHandle h = open_existing_read(path);
  if (h == INVALID_FILE) return "<missing>";
  std::string bytes(file_size(h), '\0');
  const uint32_t n = read_block(static_cast<uint32_t>(bytes.size()), bytes.data(), h);
  close_file(h);
  bytes.resize(n);
  return bytes;
}

void test_files() {
  // A block larger than one read or write call may move, with every byte value.
  std::string data(300000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 251);
  FileHandle h = create_for_write("data.bin");
  CHECK(h != INVALID_FILE);
  CHECK(write_block(static_cast<uint32_t>(data.size()), data.data(), h) == data.size());
  CHECK(io_count == data.size());
  close_file(h);

  h = open_existing_read("data.bin");
  CHECK(h != INVALID_FILE);
  CHECK(file_size(h) == data.size());
  CHECK(file_size64(h) == data.size());
  std::string back(data.size() + 10, 'x');
  CHECK(read_block(static_cast<uint32_t>(back.size()), back.data(), h) == data.size());
  CHECK(io_count == data.size());
  CHECK(back.compare(0, data.size(), data) == 0);
  CHECK(read_block(10, back.data(), h) == 0);  // at the end
  CHECK(io_count == 0);
  close_file(h);

  // Read-write opening keeps the bytes; creating again empties the file.
  h = open_existing_rw("data.bin");
  CHECK(h != INVALID_FILE);
  CHECK(file_size(h) == data.size());
  close_file(h);
  CHECK(write_file("data.bin", ""));
  CHECK(read_file("data.bin").empty());

  // Missing files and directories are refused by both opening modes.
  fs::create_directory("folder");
  CHECK(open_existing_read("missing.txt") == INVALID_FILE);
  CHECK(open_existing_rw("missing.txt") == INVALID_FILE);
  CHECK(open_existing_read("folder") == INVALID_FILE);
  CHECK(open_existing_rw("folder") == INVALID_FILE);
  // Device names open as something else than a disk file; they are refused.
  CHECK(open_existing_read("NUL") == INVALID_FILE);
  CHECK(create_for_write("folder") == INVALID_FILE);
}

// Writes `bytes` into a handle and closes it.
bool fill_and_close(FileHandle h, const std::string& bytes) {
  const bool ok = write_block(static_cast<uint32_t>(bytes.size()), bytes.data(), h) == bytes.size() && flush_file(h);
  close_file(h);
  return ok;
}

void test_safe_saving() {
  const std::string dir = fs::current_path().string();
  const std::string target = dir + "\\doc.txt";
  CHECK(write_file(target.c_str(), "old"));

  // The temp file is created empty in the target's own directory.
  FileHandle h = INVALID_FILE;
  char* temp = create_temp_beside(target.c_str(), &h);
  CHECK(temp != nullptr && h != INVALID_FILE);
  if (temp == nullptr) return;
  CHECK(std::strncmp(temp, (dir + "\\").c_str(), dir.size() + 1) == 0);
  CHECK(std::strchr(temp + dir.size() + 1, '\\') == nullptr);
  CHECK(file_size(h) == 0);
  CHECK(fill_and_close(h, "new"));
  CHECK(replace_file(temp, target.c_str()));
  CHECK(read_file(target.c_str()) == "new");
  CHECK(!fs::exists(temp));
  free_block(temp);

  // A target that does not exist yet, named without a directory.
  temp = create_temp_beside("fresh.txt", &h);
  CHECK(temp != nullptr && fs::equivalent(fs::path(temp).parent_path(), fs::current_path()));
  CHECK(fill_and_close(h, "fresh"));
  CHECK(replace_file(temp, "fresh.txt"));
  CHECK(read_file("fresh.txt") == "fresh");
  free_block(temp);

  // A directory is never replaced; the temp file stays for the caller.
  fs::create_directory("doc_dir");
  temp = create_temp_beside("doc_dir", &h);
  CHECK(temp != nullptr);
  close_file(h);
  CHECK(!replace_file(temp, "doc_dir"));
  CHECK(fs::is_directory("doc_dir"));
  CHECK(fs::exists(temp));
  CHECK(delete_file(temp));
  CHECK(!delete_file(temp));
  free_block(temp);

  // No directory to put it in: nothing is made.
  CHECK(create_temp_beside("nodir\\x.txt", &h) == nullptr);
  CHECK(h == INVALID_FILE);
  CHECK(!fs::exists("nodir"));
}

void test_saving_in_place() {
  // A rename keeps a single-linked file what it is, not a hard-linked one.
  CHECK(write_file("one.txt", "1"));
  CHECK(rename_keeps_identity("one.txt"));
  CHECK(rename_keeps_identity("missing.txt"));
  CHECK(!rename_keeps_identity("folder"));
  CHECK(CreateHardLinkA("two.txt", "one.txt", nullptr));
  CHECK(!rename_keeps_identity("one.txt"));
  CHECK(!rename_keeps_identity("two.txt"));

  // The backup lies beside the target and can be written, reread and cut.
  FileHandle h = INVALID_FILE;
  char* backup = create_backup_file("one.txt", &h);
  CHECK(backup != nullptr && h != INVALID_FILE);
  if (backup == nullptr) return;
  CHECK(fs::equivalent(fs::path(backup).parent_path(), fs::current_path()));
  CHECK(write_block(6, "backup", h) == 6);
  CHECK(seek_file_start(h));
  char back[8] = {};
  CHECK(read_block(sizeof back, back, h) == 6 && std::string(back) == "backup");
  CHECK(seek_file_start(h));
  CHECK(write_block(2, "ba", h) == 2);
  CHECK(set_file_end(h));
  CHECK(file_size(h) == 2);
  close_file(h);
  CHECK(delete_file(backup));
  free_block(backup);

  // Rewriting one link in place shows through the other.
  h = open_existing_rw("one.txt");
  CHECK(h != INVALID_FILE);
  CHECK(seek_file_start(h) && write_block(3, "new", h) == 3 && set_file_end(h));
  close_file(h);
  CHECK(read_file("two.txt") == "new");
}

void test_paths() {
  char path[300];
  std::memset(path, 'Z', sizeof path);
  const uint32_t dir = module_directory(path, 260);
  CHECK(dir > 0);
  CHECK(dir > 0 && path[dir - 1] == '\\');
  CHECK(fs::path(path).filename().string() == path + dir);
  CHECK(fs::path(path).filename().string().find("platform_services_test") == 0);
  // A path that does not fit is not given at all.
  std::memset(path, 'Z', sizeof path);
  CHECK(module_directory(path, 6) == 0);
  CHECK(path[0] == 0);

  const std::string cwd = fs::current_path().string();
  CHECK(full_path_name("a.txt", path, sizeof path));
  CHECK(std::string(path) == cwd + "\\a.txt");
  CHECK(full_path_name("sub\\..\\b.txt", path, sizeof path));
  CHECK(std::string(path) == cwd + "\\b.txt");
  CHECK(full_path_name("sub/c.txt", path, sizeof path));
  CHECK(std::string(path) == cwd + "\\sub\\c.txt");
  // Exactly fitting, then one byte short.
  const uint32_t need = static_cast<uint32_t>(cwd.size() + 7);  // "\\a.txt" and the terminator
  CHECK(full_path_name("a.txt", path, need));
  CHECK(!full_path_name("a.txt", path, need - 1));
  CHECK(!full_path_name("", path, sizeof path));

  CHECK(is_path_separator('\\'));
  CHECK(is_path_separator('/'));
  CHECK(is_path_separator(':'));
  CHECK(!is_path_separator('.'));
  CHECK(!is_path_separator('a'));
  CHECK(!is_path_separator(0));

  // Names of files yet to be created: nothing there, the directory there.
  CHECK(names_new_file("new.txt"));
  CHECK(names_new_file("folder\\new.txt"));
  CHECK(names_new_file((cwd + "\\new.txt").c_str()));
  CHECK(!names_new_file("data.bin"));
  CHECK(!names_new_file("folder"));
  CHECK(!names_new_file("nodir\\new.txt"));
  CHECK(!names_new_file(""));

  // The transfer file's directories are made on demand.
  CHECK(make_parent_directories("made\\deep/x.txt"));
  CHECK(fs::is_directory("made\\deep"));
  CHECK(make_parent_directories((cwd + "\\made\\deep\\x.txt").c_str()));
  CHECK(make_parent_directories("here.txt"));
  CHECK(write_file("blocker", "x"));
  CHECK(!make_parent_directories("blocker\\sub\\x.txt"));

  const std::string line = command_line();
  CHECK(line.find("platform_services_test") != std::string::npos);
}

void test_listing() {
  fs::create_directory("list");
  fs::current_path("list");
  CHECK(write_file("a.txt", "1"));
  CHECK(write_file("a.txt.bak", "2"));
  CHECK(write_file("B.txt", "3"));
  fs::create_directory("sub");

  // Every entry, "." and ".." included, each exactly once.
  std::set<std::string> names;
  char name[64];
  uint32_t n = 0;
  while (nth_file(name, n, "*.*", sizeof name) != 0) {
    names.insert(name);
    ++n;
  }
  CHECK(n == 6);
  CHECK((names == std::set<std::string>{".", "..", "a.txt", "a.txt.bak", "B.txt", "sub"}));

  // index_of_file and nth_file agree on every position.
  for (const std::string& entry : names) {
    const int32_t i = index_of_file(entry.c_str(), "*.*");
    CHECK(i >= 0);
    std::memset(name, 'Z', sizeof name);
    CHECK(i >= 0 && nth_file(name, static_cast<uint32_t>(i), "*.*", sizeof name) == entry.size());
    CHECK(entry == name);
  }
  // Exact names only: no prefix, no longer name, no other case.
  CHECK(index_of_file("a.txt", "*.*") != index_of_file("a.txt.bak", "*.*"));
  CHECK(index_of_file("a.tx", "*.*") == -1);
  CHECK(index_of_file("A.TXT", "*.*") == -1);
  CHECK(index_of_file("b.txt", "*.*") == -1);
  CHECK(index_of_file("", "*.*") == -1);
  CHECK(index_of_file("a.txt", "*.none") == -1);

  // Past the end: 0. A name that does not fit: its length, but not copied.
  // Either way dest stays untouched.
  std::memset(name, 'Z', sizeof name);
  CHECK(nth_file(name, 6, "*.*", sizeof name) == 0);
  CHECK(nth_file(name, 0, "*.none", sizeof name) == 0);
  const uint32_t bak = static_cast<uint32_t>(index_of_file("a.txt.bak", "*.*"));
  CHECK(nth_file(name, bak, "*.*", 9) == 9);
  CHECK(name[0] == 'Z');
  CHECK(nth_file(name, bak, "*.*", 10) == 9);
  CHECK(std::string(name) == "a.txt.bak");

  // What each entry is, found without opening it.
  CHECK(file_kind("a.txt") == FILE_KIND_REGULAR);
  CHECK(file_kind("sub") == FILE_KIND_DIRECTORY);
  CHECK(file_kind("..") == FILE_KIND_DIRECTORY);
  CHECK(file_kind("missing.txt") == FILE_KIND_NONE);

  // The listing is read afresh on every call.
  CHECK(delete_file("B.txt"));
  CHECK(index_of_file("B.txt", "*.*") == -1);
  CHECK(nth_file(name, 5, "*.*", sizeof name) == 0);
  fs::current_path("..");
}

}  // namespace

// CP932 through the system's tables, whatever the ANSI code page: what it
// lacks is left out, never turned into a question mark.
void test_text_conversions() {
  uint8_t b[2] = {0, 0};
  CHECK(encode_cp932(0x30A2, b) == 2 && b[0] == 0x83 && b[1] == 0x41);  // katakana A
  CHECK(encode_cp932(0xFF71, b) == 1 && b[0] == 0xB1);                  // its half-width form
  CHECK(encode_cp932(0xE9, b) == 0 && encode_cp932(0x20AC, b) == 0 && encode_cp932(0x1F600, b) == 0);
  const wchar_t mixed[] = {L'a', 0xE9, 0x30A2, 0xD83D, 0xDE00, 0xDC00, L'b', 0};
  char* sjis = win32::narrow_text(mixed, 932);
  CHECK(sjis != nullptr && std::string(sjis) == "a\x83\x41" "b");
  free_block(sjis);
  char* utf8 = win32::narrow_text(mixed, CP_UTF8);
  CHECK(utf8 != nullptr && std::string(utf8).rfind("a\xC3\xA9\xE3\x82\xA2\xF0\x9F\x98\x80", 0) == 0);
  free_block(utf8);
  wchar_t* wide = win32::widen_text("\x83\x41\xB1", 932);
  CHECK(wide != nullptr && wide[0] == 0x30A2 && wide[1] == 0xFF71 && wide[2] == 0);
  free_block(wide);
}

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "alloc-fail") == 0) {
    std::printf("alloc-fail: asking\n");
    std::fflush(stdout);
    alloc_or_exit(0xFFFFFFF0u);
    std::printf("alloc-fail: granted\n");
    return 2;
  }
  const fs::path scratch = fs::temp_directory_path() / ("vusk-platform-" + std::to_string(tick_count()));
  fs::create_directories(scratch);
  fs::current_path(scratch);
  test_files();
  test_safe_saving();
  test_saving_in_place();
  test_paths();
  test_listing();
  test_text_conversions();
  fs::current_path(scratch.parent_path());
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  std::printf("platform_services_test (%d-bit): %d checks, %d failures\n", static_cast<int>(sizeof(void*) * 8),
              checks, failures);
  if (failures != 0) return 1;
  std::printf("ok\n");
  return 0;
}
