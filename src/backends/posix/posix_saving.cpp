// POSIX safe saving, and the paths and directories that saving and the
// transfer file need. A rename keeps a file's identity only when the new
// file would get the same owner and group and there are no other links to
// it; the rename is made through symbolic links, onto the file they name.
// Paths are built to their real length: no buffer limits their depth.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "backends/posix/posix_support.h"

namespace vusk {

namespace {

std::string directory_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A save through a symbolic link writes the file it points at, and keeps the
// link; a dangling link is replaced like any missing file.
std::string link_target(const char* path) {
  char* real = realpath(path, nullptr);  // as long as it is
  if (real == nullptr) return path;
  std::string result = real;
  std::free(real);
  return result;
}

// Creates the file named by `pattern`, whose last six characters are
// replaced to make it unique; returns its path in a try_alloc block.
char* make_unique_file(const std::string& pattern, FileHandle* handle) {
  *handle = INVALID_FILE;
  if (injected_open_fault()) return nullptr;
  auto* path = static_cast<char*>(try_alloc(pattern.size() + 1));
  if (path == nullptr) return nullptr;
  std::memcpy(path, pattern.c_str(), pattern.size() + 1);
  const int fd = mkostemp(path, O_CLOEXEC);
  if (fd < 0) {
    free_block(path);
    return nullptr;
  }
  *handle = static_cast<FileHandle>(fd);
  return path;
}

// The group a file created in `dir` gets: the directory's own when it has
// the set-group-ID bit, the process's otherwise.
gid_t group_of_new_file(const std::string& dir) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0 && (st.st_mode & S_ISGID) != 0) return st.st_gid;
  return getegid();
}

}  // namespace

bool rename_keeps_identity(const char* target) {
  const std::string real = link_target(target);
  struct stat st;
  if (stat(real.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == geteuid() &&
         st.st_gid == group_of_new_file(directory_of(real));
}

char* create_temp_beside(const char* target, FileHandle* handle) {
  return make_unique_file(directory_of(link_target(target)) + "/.vusk-save-XXXXXX", handle);
}

char* create_backup_file(const char* target, FileHandle* handle) {
  char* beside = make_unique_file(directory_of(link_target(target)) + "/.vusk-backup-XXXXXX", handle);
  if (beside != nullptr) return beside;
  const std::string dir = user_cache_path(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
  if (dir.empty()) return nullptr;
  const std::string pattern = dir + "backup-XXXXXX";
  if (!make_parent_directories(pattern.c_str())) return nullptr;
  return make_unique_file(pattern, handle);
}

bool flush_file(FileHandle handle) { return !injected_fault() && fsync(static_cast<int>(handle)) == 0; }

bool seek_file_start(FileHandle handle) {
  return !injected_fault() && lseek(static_cast<int>(handle), 0, SEEK_SET) == 0;
}

bool set_file_end(FileHandle handle) {
  const int fd = static_cast<int>(handle);
  const off_t here = lseek(fd, 0, SEEK_CUR);
  return !injected_fault() && here >= 0 && ftruncate(fd, here) == 0;
}

bool replace_file(const char* temp, const char* link) {
  if (injected_fault()) return false;
  const std::string real = link_target(link);
  const char* target = real.c_str();
  struct stat st;
  if (stat(target, &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;  // never replace a directory or device
    if (chmod(temp, st.st_mode & 07777) != 0) return false;
  } else {
    // A new file gets the permissions an ordinary create would give it.
    const mode_t mask = umask(0);
    umask(mask);
    if (chmod(temp, 0666 & ~mask) != 0) return false;
  }
  if (rename(temp, target) != 0) return false;
  // Make the rename itself durable.
  const int dir = ::open(directory_of(real).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    ::close(dir);
  }
  return true;
}

bool delete_file(const char* path) { return unlink(path) == 0; }

// stat follows links; a replacement by rename shows as a new inode even when
// size and time were kept.
FileIdentity file_identity(const char* path) {
  struct stat st;
  if (stat(path, &st) != 0) return FileIdentity{};
  const uint64_t modified = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
  return FileIdentity{true, static_cast<uint64_t>(st.st_size), modified, static_cast<uint64_t>(st.st_dev),
                      static_cast<uint64_t>(st.st_ino)};
}

bool names_new_file(const char* path) {
  struct stat st;
  if (path[0] == 0 || lstat(path, &st) == 0 || errno != ENOENT) return false;
  return stat(directory_of(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Each missing directory from the root down is made private to the user, as
// a cache directory should be; one that exists is left as it is.
bool make_parent_directories(const char* path) {
  const std::string dir = directory_of(path);
  for (size_t slash = dir.find('/', 1); slash != std::string::npos; slash = dir.find('/', slash + 1)) {
    mkdir(dir.substr(0, slash).c_str(), 0700);
  }
  mkdir(dir.c_str(), 0700);
  struct stat st;
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace vusk
