// Directory stepping. The listing is read afresh for every lookup, so a step
// always sees the directory as it is now and keeps no position of its own:
// the current file is found again by its name, in its own folder, so that a
// file named with a folder steps through that folder whatever the current
// directory is.
#include "files/dir_step.h"

#include <cstring>

#include "files/load_save.h"
#include "platform/platform.h"

namespace vusk {

namespace {

constexpr char ALL_ENTRIES[] = "*.*";

// The folder a step lists, and the path of the entry it tries.
struct Walk {
  char pattern[PATH_BYTES + sizeof ALL_ENTRIES];  // the folder, then ALL_ENTRIES
  char candidate[PATH_BYTES];                     // the folder, then the entry's name
  uint32_t folder;                                // bytes of the folder, separator included
};

// The folder of file_path as set_title_file_name cuts it: everything up to
// its last path separator, so that the folder and file_name give file_path.
Walk start_walk() {
  Walk walk{};
  for (uint32_t i = 0; i < PATH_BYTES && files.file_path[i] != 0; ++i) {
    if (is_path_separator(files.file_path[i])) walk.folder = i + 1;
  }
  std::memcpy(walk.pattern, files.file_path, walk.folder);
  std::memcpy(walk.pattern + walk.folder, ALL_ENTRIES, sizeof ALL_ENTRIES);
  std::memcpy(walk.candidate, files.file_path, walk.folder);
  return walk;
}

// The position a step tries first: next to the current file's entry, or on
// either side of where its name would sort when the entry is gone (a file
// deleted meanwhile, or a name never saved). -1 when there is none.
int64_t first_position(const Walk& walk, int32_t step) {
  const int32_t at = index_of_file(files.file_name, walk.pattern);
  if (at >= 0) return int64_t{at} + step;
  const int32_t place = position_in_listing(files.file_name, walk.pattern);
  if (place < 0) return -1;
  return step > 0 ? place : int64_t{place} - 1;
}

// The listing's entries for the folder itself and its parent: never a file.
bool is_folder_entry(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Tries the entries from `i` on in the step's direction until one loads.
// Pipes and devices are not opened: one may wait for a writer or read
// without end. Anything else goes to the loader, a directory included, so
// that the loader's box says which entry did not load; only a file could
// replace the Document, so the question waits for the first one.
bool walk_and_load(Walk& walk, int64_t i, int32_t step, bool (*may_replace)()) {
  const uint32_t left = PATH_BYTES - walk.folder;
  const uint32_t room = files.step_name_bytes < left ? files.step_name_bytes : left;
  char* name = walk.candidate + walk.folder;
  bool asked = false;
  for (; i >= 0 && i <= INT32_MAX; i += step) {
    const uint32_t length = nth_file(name, static_cast<uint32_t>(i), walk.pattern, room);
    if (length == 0) return false;
    if (length >= room || is_folder_entry(name)) continue;  // too long: not copied
    const FileKind kind = file_kind(walk.candidate);
    if (kind == FILE_KIND_OTHER) continue;
    if (kind == FILE_KIND_REGULAR && !asked) {
      if (may_replace != nullptr && !may_replace()) return false;
      asked = true;
    }
    std::memcpy(files.file_path, walk.candidate, PATH_BYTES);
    if (load_document() == 0) return true;
  }
  return false;
}

}  // namespace

// A step that loads nothing gives file_path back: it names the Document
// still shown, so that Ctrl+F2 and the dialogs go on with it.
bool step_directory(int32_t step, bool (*may_replace)()) {
  char kept[PATH_BYTES];
  std::memcpy(kept, files.file_path, PATH_BYTES);
  Walk walk = start_walk();
  if (walk_and_load(walk, first_position(walk, step), step, may_replace)) return true;
  std::memcpy(files.file_path, kept, PATH_BYTES);
  return false;
}

}  // namespace vusk
