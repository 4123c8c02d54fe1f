// POSIX platform services shared by the SDL2 and headless backends: memory,
// time, files, the executable's directory, directory listing and the command
// line rebuilt from argv (safe saving is in posix_saving.cpp). Window, dialogs, message boxes and the
// clipboard belong to each backend.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <time.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "backends/posix/posix_support.h"

namespace vusk {

uint32_t io_count;

namespace {
std::string rebuilt_command_line;
// The test hook of fail_file_operations.
uint64_t fault_mask = 0;
uint32_t fault_calls = 0;
bool fault_partial = false;
bool fault_opens = false;
}  // namespace

void fail_file_operations(uint64_t mask) {
  fault_mask = mask;
  fault_calls = 0;
  fault_partial = fault_opens = false;
}

void set_fault_style(bool partial, bool opens_too) {
  fault_partial = partial;
  fault_opens = opens_too;
}

bool injected_open_fault() { return fault_opens && injected_fault(); }

bool partial_faults() { return fault_partial; }

uint32_t file_operations_counted() { return fault_calls; }

bool injected_fault() {
  if (fault_mask == 0) return false;
  const uint32_t n = fault_calls++;
  return n < 64 && ((fault_mask >> n) & 1) != 0;
}

// Large blocks (a loaded text, its LineTable) ask for huge pages: touching
// 100 MB in 4 KiB pages costs some 25,000 page faults, which dominate a load.
static void* allocate(size_t bytes) {
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  constexpr size_t HUGE_BLOCK = size_t{4} << 20;
  if (block != nullptr && bytes >= HUGE_BLOCK) {
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + page - 1) & ~(page - 1);
    const uintptr_t stop = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(page - 1);
    if (stop > start) madvise(reinterpret_cast<void*>(start), stop - start, MADV_HUGEPAGE);  // only advice
  }
  return block;
}

void* alloc_or_exit(uint32_t bytes) {
  void* block = allocate(bytes);
  if (block == nullptr) exit_process(1);  // a failure never reports success
  return block;
}

void* try_alloc(size_t bytes) { return allocate(bytes); }

void free_block(void* block) { std::free(block); }

uint32_t tick_count() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u + ts.tv_nsec / 1000000);
}

static FileHandle open_path(const char* path, int flags, mode_t mode = 0) {
  if (injected_open_fault()) return INVALID_FILE;
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? INVALID_FILE : static_cast<FileHandle>(fd);
}

// Opens without waiting (opening a named pipe waits for its other end),
// keeps the handle only when `accepted` takes the file's type, and then makes
// reads and writes blocking again, as they are on a disk file.
static FileHandle open_checked(const char* path, int flags, mode_t mode, bool (*accepted)(mode_t)) {
  const FileHandle handle = open_path(path, flags | O_NONBLOCK, mode);
  if (handle == INVALID_FILE) return handle;
  const int fd = static_cast<int>(handle);
  struct stat st;
  const bool ok = fstat(fd, &st) == 0 && accepted(st.st_mode);
  if (!ok || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return INVALID_FILE;
  }
  return handle;
}

// Only regular files are documents: directories open under POSIX (Windows
// refuses them), and a named pipe or a device could block a read for ever or
// never end.
static bool is_regular(mode_t mode) { return S_ISREG(mode); }
// Writes to a named pipe wait for a reader; devices stay writable, as on
// Windows.
static bool is_not_fifo(mode_t mode) { return !S_ISFIFO(mode); }

FileHandle open_existing_rw(const char* path) { return open_checked(path, O_RDWR, 0, is_regular); }

FileHandle open_existing_read(const char* path) { return open_checked(path, O_RDONLY, 0, is_regular); }

FileHandle create_for_write(const char* path) {
  return open_checked(path, O_WRONLY | O_CREAT | O_TRUNC, 0666, is_not_fifo);
}

void close_file(FileHandle handle) {
  if (handle != INVALID_FILE) ::close(static_cast<int>(handle));
}

uint64_t file_size64(FileHandle handle) {
  struct stat st;
  if (fstat(static_cast<int>(handle), &st) != 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

uint32_t file_size(FileHandle handle) { return static_cast<uint32_t>(file_size64(handle)); }

namespace {

// Repeats `step(done, n)` (a read or a write of up to n bytes at offset
// `done`) until `count` bytes are through, the file ends or an error stops
// it, as ReadFile and WriteFile do on a disk file; an interrupted call is
// repeated. The count is also left in io_count.
template <class Step>
uint32_t transfer_whole(uint32_t count, Step step) {
  io_count = 0;
  uint32_t limit = count;
  if (injected_fault()) {
    if (!partial_faults()) return 0;
    limit = count / 2;  // part of it moves, then the call comes back short
  }
  uint32_t done = 0;
  while (done < limit) {
    const ssize_t n = step(done, std::min<uint32_t>(limit - done, 1u << 30));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<uint32_t>(n);
  }
  io_count = done;
  return done;
}

}  // namespace

uint32_t read_block(uint32_t count, void* buffer, FileHandle handle) {
  auto* p = static_cast<uint8_t*>(buffer);
  return transfer_whole(count,
                        [&](uint32_t done, uint32_t n) { return ::read(static_cast<int>(handle), p + done, n); });
}

uint32_t write_block(uint32_t count, const void* buffer, FileHandle handle) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  return transfer_whole(count,
                        [&](uint32_t done, uint32_t n) { return ::write(static_cast<int>(handle), p + done, n); });
}

uint32_t module_directory(char* dest, uint32_t max) {
  if (max == 0) return 0;
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0 || static_cast<uint32_t>(n) >= max) {
    dest[0] = 0;
    return 0;
  }
  std::memcpy(dest, path, static_cast<size_t>(n));
  dest[n] = 0;
  const char* slash = std::strrchr(dest, '/');
  return slash == nullptr ? 0 : static_cast<uint32_t>(slash - dest + 1);
}

// ---- Files of an installed copy -------------------------------------------

bool posix_installed_data_path(const char* name, char* dest, uint32_t max) {
  const uint32_t dir = module_directory(dest, max);
  if (dir == 0) return false;
  const std::string path = std::string(dest, dir) + "../share/vusk/" + name;
  if (path.size() + 1 > max) return false;
  std::memcpy(dest, path.c_str(), path.size() + 1);
  return true;
}

std::string user_cache_path(const char* xdg_cache_home, const char* home) {
  if (xdg_cache_home != nullptr && xdg_cache_home[0] == '/') {
    return std::string(xdg_cache_home) + "/vusk/";  // a relative value is invalid and ignored
  }
  if (home != nullptr && home[0] != 0) return std::string(home) + "/.cache/vusk/";
  return "";
}

uint32_t user_cache_directory(const char* xdg_cache_home, const char* home, char* dest, uint32_t max) {
  const std::string dir = user_cache_path(xdg_cache_home, home);
  if (dir.empty() || dir.size() + 1 > max) return 0;
  std::memcpy(dest, dir.c_str(), dir.size() + 1);
  return static_cast<uint32_t>(dir.size());
}

uint32_t posix_transfer_directory(char* dest, uint32_t max) {
  const uint32_t dir = module_directory(dest, max);
  if (dir != 0 && access(std::string(dest, dir).c_str(), W_OK) == 0) return dir;
  const uint32_t cache = user_cache_directory(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"), dest, max);
  return cache != 0 ? cache : dir;
}

void keep_running_past_file_size_limit() { signal(SIGXFSZ, SIG_IGN); }

void install_posix_hooks() {
  platform_hooks.installed_data_path = posix_installed_data_path;
  platform_hooks.transfer_directory = posix_transfer_directory;
}

bool full_path_name(const char* path, char* dest, uint32_t max) {
  std::string full;
  if (path[0] == '/') {
    full = path;
  } else {
    char* cwd = getcwd(nullptr, 0);  // as long as it is
    if (cwd == nullptr) return false;
    full = cwd;
    std::free(cwd);
    if (full.back() != '/') full += '/';
    full += path;
  }
  if (full.size() + 1 > max) return false;
  std::memcpy(dest, full.c_str(), full.size() + 1);
  return true;
}

// ---- Directory listing -----------------------------------------------------

// "*.*" matches every name here, as it does on Windows; other patterns are
// matched literally with '*' and '?' wildcards.
static bool wildcard_match(const char* pattern, const char* name) {
  if (std::strcmp(pattern, "*.*") == 0 || std::strcmp(pattern, "*") == 0) return true;
  if (*pattern == 0) return *name == 0;
  if (*pattern == '*') {
    for (const char* n = name;; ++n) {
      if (wildcard_match(pattern + 1, n)) return true;
      if (*n == 0) return false;
    }
  }
  if (*name == 0) return false;
  if (*pattern == '?' || *pattern == *name) return wildcard_match(pattern + 1, name + 1);
  return false;
}

// Calls `visit` with each name of the directory that `pattern` names (its
// part up to the last '/', the current directory without one) that matches
// the rest of it, in the order readdir gives them; false when the directory
// cannot be read. The listing is sorted bytewise by its users, each only as
// far as it needs: it is read afresh for every step through a directory.
template <class Visit>
static bool each_entry(const char* pattern, Visit visit) {
  const char* slash = std::strrchr(pattern, '/');
  const std::string folder = slash == nullptr ? "." : slash == pattern ? "/" : std::string(pattern, slash);
  const char* names = slash == nullptr ? pattern : slash + 1;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = readdir(dir)) {
    if (wildcard_match(names, entry->d_name)) visit(entry->d_name);
  }
  closedir(dir);
  return true;
}

// The entry's position in the sorted listing is the number of names that
// sort before it (strcmp compares bytes as unsigned, as the sort does).
int32_t index_of_file(const char* name, const char* pattern) {
  if (name[0] == 0) return -1;
  bool found = false;
  int32_t before = 0;
  const bool listed = each_entry(pattern, [&](const char* entry) {
    const int order = std::strcmp(entry, name);
    if (order == 0) found = true;
    if (order < 0) ++before;
  });
  return listed && found ? before : -1;
}

int32_t position_in_listing(const char* name, const char* pattern) {
  int32_t before = 0;
  const bool listed = each_entry(pattern, [&](const char* entry) { before += std::strcmp(entry, name) < 0; });
  return listed ? before : -1;
}

uint32_t nth_file(char* dest, uint32_t n, const char* pattern, uint32_t dest_size) {
  std::vector<std::string> names;
  if (!each_entry(pattern, [&](const char* entry) { names.emplace_back(entry); }) || n >= names.size()) return 0;
  std::nth_element(names.begin(), names.begin() + n, names.end());
  const std::string& name = names[n];
  if (name.size() + 1 <= dest_size) std::memcpy(dest, name.c_str(), name.size() + 1);
  return static_cast<uint32_t>(name.size());
}

bool file_names_are_utf8() { return true; }

// stat follows links: a link to a file is a file. Nothing is opened, so a
// pipe is examined without waiting for its writer.
FileKind file_kind(const char* path) {
  struct stat st;
  if (stat(path, &st) != 0) return FILE_KIND_NONE;
  if (S_ISREG(st.st_mode)) return FILE_KIND_REGULAR;
  if (S_ISDIR(st.st_mode)) return FILE_KIND_DIRECTORY;
  return FILE_KIND_OTHER;
}

// ---- Command line ----------------------------------------------------------

namespace {

// Whether the command-line parser would split or change `text` unquoted.
// An empty argument, left bare, would vanish, and the next one would take
// its place.
bool needs_quotes(const std::string& text) {
  if (text.empty()) return true;
  for (const char c : text) {
    if (static_cast<uint8_t>(c) < 0x21 || c == '"') return true;
  }
  return false;
}

// An argument as the parser reads it back: quoted when it holds a byte below
// 0x21 or a quote, with each quote doubled. The parser refuses a name with a
// doubled quote, so that such a name is never read as another.
std::string argument_text(const std::string& arg) {
  if (!needs_quotes(arg)) return arg;
  std::string out = "\"";
  for (const char c : arg) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + '"';
}

// The program path is only skipped by the parser (the executable's directory
// comes from the system), so its quotes are dropped: a quoted path ends at
// its first quote.
std::string program_path_text(const char* path) {
  std::string out;
  for (const char* p = path; *p != 0; ++p) {
    if (*p != '"') out += *p;
  }
  return needs_quotes(out) ? '"' + out + '"' : out;
}

}  // namespace

void set_command_line_from_argv(int argc, char** argv) {
  rebuilt_command_line.clear();
  for (int i = 0; i < argc; ++i) {
    if (i > 0) rebuilt_command_line += ' ';
    rebuilt_command_line += i == 0 ? program_path_text(argv[i]) : argument_text(argv[i]);
  }
}

void set_command_line(const char* text) { rebuilt_command_line = text; }

const char* command_line() { return rebuilt_command_line.c_str(); }

}  // namespace vusk

namespace vusk {
bool is_path_separator(char c) { return c == '/'; }
}  // namespace vusk
