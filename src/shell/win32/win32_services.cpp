// Win32 platform services: memory, time, files, safe saving, the executable's
// directory, full path names, directory listing, the command line and process
// exit. Nothing here touches the window, so the console test program links
// this file alone. Paths are 8-bit strings in the ANSI code page.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstring>

#include "shell/platform.h"

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

// Reads until `count` bytes are in, the file ends or an error stops it.
uint32_t read_block(uint32_t count, void* buffer, FileHandle handle) {
  auto* p = static_cast<uint8_t*>(buffer);
  uint32_t done = 0;
  while (done < count) {
    DWORD n = 0;
    if (!ReadFile(to_handle(handle), p + done, count - done, &n, nullptr) || n == 0) break;
    done += n;
  }
  io_count = done;
  return done;
}

// Writes until `count` bytes are out or an error stops it.
uint32_t write_block(uint32_t count, const void* buffer, FileHandle handle) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  uint32_t done = 0;
  while (done < count) {
    DWORD n = 0;
    if (!WriteFile(to_handle(handle), p + done, count - done, &n, nullptr) || n == 0) break;
    done += n;
  }
  io_count = done;
  return done;
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

// GetTempFileNameA creates the file, unique in the target's own directory so
// that the final move is a rename within one volume.
FileHandle create_temp_beside(const char* target, char* temp_path, uint32_t max) {
  temp_path[0] = 0;
  char dir[MAX_PATH];
  const uint32_t len = directory_length(target);
  if (len == 0) {
    std::memcpy(dir, ".", 2);
  } else {
    if (len >= MAX_PATH - 14) return INVALID_FILE;  // GetTempFileNameA's own limit
    std::memcpy(dir, target, len);
    dir[len] = 0;
  }
  char name[MAX_PATH];
  if (GetTempFileNameA(dir, "vsk", 0, name) == 0) return INVALID_FILE;
  const size_t name_len = std::strlen(name);
  HANDLE h = INVALID_HANDLE_VALUE;
  if (name_len < max) {
    h = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (h == INVALID_HANDLE_VALUE) {
    DeleteFileA(name);
    return INVALID_FILE;
  }
  std::memcpy(temp_path, name, name_len + 1);
  return from_handle(h);
}

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

// The name of entry n into `dest`, when there is one and it fits.
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
  if (len + 1 > dest_size) return 0;
  std::memcpy(dest, data.cFileName, len + 1);
  return static_cast<uint32_t>(len);
}

// ---- Process -----------------------------------------------------------------------

// GetCommandLineA: the program path as started, then the arguments.
const char* command_line() { return GetCommandLineA(); }

// ExitProcess.
void exit_process(int code) { ExitProcess(static_cast<UINT>(code)); }

}  // namespace vusk
