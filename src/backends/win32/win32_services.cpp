// Win32 platform services: memory, time, files, safe saving, the executable's
// directory, full path names, directory listing, the command line and process
// exit. Nothing here touches the window, so the console test program links
// this file alone. Paths are 8-bit strings in the ANSI code page.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/platform.h"

namespace vusk {

uint32_t io_count;

namespace {

HANDLE to_handle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileHandle from_handle(HANDLE handle) {
  // INVALID_HANDLE_VALUE is (HANDLE)-1, the same bits as INVALID_FILE.
  return handle == INVALID_HANDLE_VALUE ? INVALID_FILE : reinterpret_cast<FileHandle>(handle);
}

// Opens an existing file; anything but a disk file (a pipe, a console or a
// serial device named like a file) is refused, since reading one could block
// for ever or never end.
FileHandle open_disk_file(const char* path, DWORD access) {
  HANDLE h = CreateFileA(path, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return INVALID_FILE;
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return INVALID_FILE;
  }
  return from_handle(h);
}

// Length of the directory part of `path`, including its final separator (0
// when there is none). Walks forward so that the second byte of a double-byte
// character, which may equal '\\', is never taken for a separator.
uint32_t directory_length(const char* path) {
  uint32_t end = 0;
  for (uint32_t i = 0; path[i] != 0; ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && path[i + 1] != 0) {
      ++i;
      continue;
    }
    if (is_path_separator(path[i])) end = i + 1;
  }
  return end;
}

}  // namespace

// ---- Memory and time -----------------------------------------------------------

// A fixed block from the process heap, or the process ends with exit code 1.
void* alloc_or_exit(uint32_t bytes) {
  void* block = HeapAlloc(GetProcessHeap(), 0, bytes == 0 ? 1 : bytes);
  if (block == nullptr) ExitProcess(1);  // a failure never reports success
  return block;
}

// A fixed block from the process heap, or null.
void* try_alloc(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes == 0 ? 1 : bytes); }

// Returns a block to the process heap; null is ignored.
void free_block(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

// Milliseconds since the system started, wrapping after 49.7 days.
uint32_t tick_count() { return GetTickCount(); }

// ---- Files -----------------------------------------------------------------------

// An existing disk file with read and write access, others may read.
FileHandle open_existing_rw(const char* path) { return open_disk_file(path, GENERIC_READ | GENERIC_WRITE); }

// An existing disk file with read access; directories fail to open by nature.
FileHandle open_existing_read(const char* path) { return open_disk_file(path, GENERIC_READ); }

// A new or emptied file with write access, others may read. A named pipe is
// refused: its writes wait for a reader.
FileHandle create_for_write(const char* path) {
  HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE && GetFileType(h) == FILE_TYPE_PIPE) {
    CloseHandle(h);
    return INVALID_FILE;
  }
  return from_handle(h);
}

// Closes a handle; INVALID_FILE is ignored.
void close_file(FileHandle handle) {
  if (handle != INVALID_FILE) CloseHandle(to_handle(handle));
}

// The low 32 bits of the file's size (0 on failure).
uint32_t file_size(FileHandle handle) { return static_cast<uint32_t>(file_size64(handle)); }

// The file's whole size (0 on failure).
uint64_t file_size64(FileHandle handle) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(to_handle(handle), &size) || size.QuadPart < 0) return 0;
  return static_cast<uint64_t>(size.QuadPart);
}

namespace {

// Repeats `step(done, n)` (a ReadFile or WriteFile of n bytes at offset
// `done`, giving the bytes it moved, 0 on failure) until `count` bytes are
// through, the file ends or an error stops it. The count is also left in
// io_count.
template <class Step>
uint32_t transfer_whole(uint32_t count, Step step) {
  uint32_t done = 0;
  while (done < count) {
    const DWORD n = step(done, count - done);
    if (n == 0) break;
    done += n;
  }
  io_count = done;
  return done;
}

}  // namespace

// Reads until `count` bytes are in, the file ends or an error stops it.
uint32_t read_block(uint32_t count, void* buffer, FileHandle handle) {
  auto* p = static_cast<uint8_t*>(buffer);
  return transfer_whole(count, [&](uint32_t done, uint32_t n) {
    DWORD moved = 0;
    return ReadFile(to_handle(handle), p + done, n, &moved, nullptr) ? moved : 0;
  });
}

// Writes until `count` bytes are out or an error stops it.
uint32_t write_block(uint32_t count, const void* buffer, FileHandle handle) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  return transfer_whole(count, [&](uint32_t done, uint32_t n) {
    DWORD moved = 0;
    return WriteFile(to_handle(handle), p + done, n, &moved, nullptr) ? moved : 0;
  });
}

// The executable's path into `dest`; a path that does not fit is not given
// at all, so that no caller appends a name to a cut directory.
uint32_t module_directory(char* dest, uint32_t max) {
  if (max == 0) return 0;
  const DWORD n = GetModuleFileNameA(nullptr, dest, max);
  if (n == 0 || n >= max) {  // n == max: cut (and unterminated on old systems)
    dest[0] = 0;
    return 0;
  }
  return directory_length(dest);
}

// ---- Safe saving -----------------------------------------------------------------

namespace {

// The directory part of `target` with its separator, "." for none.
std::string directory_of(const char* target) {
  const uint32_t len = directory_length(target);
  return len == 0 ? std::string(".") : std::string(target, len);
}

// GetTempFileNameA creates a file of a unique name in `dir`; it is opened
// again for reading and writing. Its path goes into a try_alloc block. The
// ANSI calls limit paths to MAX_PATH, so the name fits that buffer.
char* make_unique_file(const char* dir, const char* prefix, FileHandle* handle) {
  *handle = INVALID_FILE;
  char name[MAX_PATH];
  if (GetTempFileNameA(dir, prefix, 0, name) == 0) return nullptr;
  const size_t len = std::strlen(name);
  auto* path = static_cast<char*>(try_alloc(len + 1));
  HANDLE h = INVALID_HANDLE_VALUE;
  if (path != nullptr) {
    h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (h == INVALID_HANDLE_VALUE) {
    DeleteFileA(name);
    free_block(path);
    return nullptr;
  }
  std::memcpy(path, name, len + 1);
  *handle = from_handle(h);
  return path;
}

}  // namespace

// ReplaceFileA keeps a file's attributes, security descriptor (owner
// included) and creation time, but it cannot keep other hard links to it: a
// file with several is rewritten in place. A directory that forbids new files
// shows itself when the temporary file cannot be made, and the save then
// goes in place too.
bool rename_keeps_identity(const char* target) {
  HANDLE h = CreateFileA(target, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  BY_HANDLE_FILE_INFORMATION info;
  const bool single = GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && info.nNumberOfLinks <= 1;
  CloseHandle(h);
  return single;
}

// In the target's own directory, so that the final move is a rename within
// one volume.
char* create_temp_beside(const char* target, FileHandle* handle) {
  return make_unique_file(directory_of(target).c_str(), "vsk", handle);
}

// Beside the target, else in the user's temporary directory.
char* create_backup_file(const char* target, FileHandle* handle) {
  char* beside = make_unique_file(directory_of(target).c_str(), "vbk", handle);
  if (beside != nullptr) return beside;
  char temp[MAX_PATH + 1];
  const DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n > MAX_PATH) return nullptr;
  return make_unique_file(temp, "vbk", handle);
}

// SetFilePointerEx to offset 0.
bool seek_file_start(FileHandle handle) {
  LARGE_INTEGER zero;
  zero.QuadPart = 0;
  return SetFilePointerEx(to_handle(handle), zero, nullptr, FILE_BEGIN) != 0;
}

// SetEndOfFile.
bool set_file_end(FileHandle handle) { return SetEndOfFile(to_handle(handle)) != 0; }

// FlushFileBuffers: the bytes are on the disk when it succeeds.
bool flush_file(FileHandle handle) { return FlushFileBuffers(to_handle(handle)) != 0; }

// An existing target is replaced by ReplaceFileA, which keeps its attributes,
// security and creation time; a new target gets a plain rename. When
// ReplaceFileA fails part-way it may already have removed the target, so the
// complete temp file is then moved into place if it still exists. A directory
// is never replaced. The temp file must be closed first.
bool replace_file(const char* temp, const char* target) {
  const DWORD attributes = GetFileAttributesA(target);
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    if (ReplaceFileA(target, temp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return true;
    if (GetFileAttributesA(temp) == INVALID_FILE_ATTRIBUTES) return false;
  }
  return MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// DeleteFileA.
bool delete_file(const char* path) { return DeleteFileA(path) != 0; }

// ERROR_FILE_NOT_FOUND alone: a missing directory gives ERROR_PATH_NOT_FOUND,
// and wildcards or device names other errors or none.
bool names_new_file(const char* path) {
  if (path[0] == 0 || GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return false;
  if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
  const uint32_t len = directory_length(path);
  if (len == 0) return true;  // the current directory
  const DWORD attributes = GetFileAttributesA(std::string(path, len).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// CreateDirectoryA on each directory part from the left; those that exist
// (the drive, a share) simply fail to be created. The transfer file lives
// beside the executable here, so this normally finds everything in place.
bool make_parent_directories(const char* path) {
  const uint32_t len = directory_length(path);
  if (len == 0) return true;  // the current directory
  std::string dir(path, len);
  for (uint32_t i = 0; i < len; ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(dir[i])) && i + 1 < len) {
      ++i;  // a trail byte is never a separator
      continue;
    }
    if (i > 0 && (dir[i] == '\\' || dir[i] == '/')) CreateDirectoryA(dir.substr(0, i).c_str(), nullptr);
  }
  const DWORD attributes = GetFileAttributesA(dir.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Windows reads '/' as '\\', and ':' ends a drive prefix ("C:name").
bool is_path_separator(char c) { return c == '\\' || c == '/' || c == ':'; }

// GetFullPathNameA: its result counts the terminator only when it did not fit.
bool full_path_name(const char* path, char* dest, uint32_t max) {
  if (path[0] == 0 || max == 0) return false;
  const DWORD n = GetFullPathNameA(path, max, dest, nullptr);
  return n != 0 && n < max;
}

// ---- Directory listing -------------------------------------------------------------
// Each call starts a fresh enumeration, so the answers always describe the
// directory as it is now; nothing is cached between calls.

namespace {

// Compares two names as NTFS orders them: byte by byte, ASCII letters as
// capitals.
int listing_order(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const auto ua = static_cast<uint8_t>(*a >= 'a' && *a <= 'z' ? *a - 32 : *a);
    const auto ub = static_cast<uint8_t>(*b >= 'a' && *b <= 'z' ? *b - 32 : *b);
    if (ua != ub || ua == 0) return ua - ub;
  }
}

}  // namespace

// Position of the entry named exactly `name` (bytewise, case included).
int32_t index_of_file(const char* name, const char* pattern) {
  if (name[0] == 0) return -1;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return -1;
  int32_t found = -1;
  int32_t i = 0;
  do {
    if (std::strcmp(data.cFileName, name) == 0) {
      found = i;
      break;
    }
    ++i;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return found;
}

// NTFS lists names in the order of their upper-case forms, and so the place
// of a missing name is counted in that order; FAT lists in the order of
// creation, where no place is right, and the count is only a fair guess.
int32_t position_in_listing(const char* name, const char* pattern) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return -1;
  int32_t before = 0;
  do {
    before += listing_order(data.cFileName, name) < 0;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return before;
}

// The name of entry n into `dest`, when there is one and it fits; its
// length whenever there is one.
uint32_t nth_file(char* dest, uint32_t n, const char* pattern, uint32_t dest_size) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  bool found = true;
  for (uint32_t i = 0; i < n; ++i) {
    if (!FindNextFileA(find, &data)) {
      found = false;
      break;
    }
  }
  FindClose(find);
  if (!found) return 0;
  const size_t len = std::strlen(data.cFileName);
  if (len + 1 <= dest_size) std::memcpy(dest, data.cFileName, len + 1);
  return static_cast<uint32_t>(len);
}

// The A calls take and give names in the ANSI code page.
bool file_names_are_utf8() { return false; }

// GetFileAttributesA: examines the entry without opening it.
FileKind file_kind(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return FILE_KIND_NONE;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FILE_KIND_DIRECTORY;
  if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return FILE_KIND_OTHER;
  return FILE_KIND_REGULAR;
}

// GetFileAttributesExA: the size and the last write, without opening the
// file (which another program may hold open for writing).
FileIdentity file_identity(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return FileIdentity{};
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  const uint64_t written = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
  return FileIdentity{true, size, written, 0, 0};
}

// ---- Process -----------------------------------------------------------------------

// GetCommandLineA: the program path as started, then the arguments.
const char* command_line() { return GetCommandLineA(); }

// ExitProcess.
void exit_process(int code) { ExitProcess(static_cast<UINT>(code)); }

}  // namespace vusk
