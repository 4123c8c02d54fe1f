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

// The folder of file_path as take_file_name cuts it: everything up to
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

// Finds the next entry from `i` on in the step's direction that a step may
// try: its path in walk.candidate, its kind in `kind`, `i` left on it; false
// when the listing ends. Pipes and devices are passed over: one may wait for
// a writer or read without end.
bool next_candidate(Walk& walk, int64_t& i, int32_t step, FileKind& kind) {
  const uint32_t left = PATH_BYTES - walk.folder;
  const uint32_t room = files.step_name_bytes < left ? files.step_name_bytes : left;
  char* name = walk.candidate + walk.folder;
  for (; i >= 0 && i <= INT32_MAX; i += step) {
    const uint32_t length = nth_file(name, static_cast<uint32_t>(i), walk.pattern, room);
    if (length == 0) break;
    if (length >= room || is_folder_entry(name)) continue;  // too long: not copied
    kind = file_kind(walk.candidate);
    if (kind != FILE_KIND_OTHER) return true;
  }
  return false;
}

// Whether a file lies ahead in the step's direction: only a file could
// replace the Document, so only then is the unsaved-changes question due.
bool file_ahead(Walk walk, int64_t i, int32_t step) {
  for (FileKind kind; next_candidate(walk, i, step, kind); i += step) {
    if (kind == FILE_KIND_REGULAR) return true;
  }
  return false;
}

// Tries the entries from `i` on until one loads. Anything but a file goes to
// the loader too, a directory included, so that the loader's box says which
// entry did not load; a file only when it may replace the Document.
bool walk_and_load(Walk& walk, int64_t i, int32_t step, bool may_replace) {
  for (FileKind kind; next_candidate(walk, i, step, kind); i += step) {
    if (kind == FILE_KIND_REGULAR && !may_replace) return false;
    std::memcpy(files.file_path, walk.candidate, PATH_BYTES);
    if (load_document() == 0) return true;
  }
  return false;
}

}  // namespace

// A step that loads nothing gives file_path back: it names the Document
// still shown, so that Ctrl+F2 and the dialogs go on with it.
StepResult step_directory(int32_t step, bool may_replace) {
  char kept[PATH_BYTES];
  std::memcpy(kept, files.file_path, PATH_BYTES);
  Walk walk = start_walk();
  const int64_t first = first_position(walk, step);
  if (!may_replace && file_ahead(walk, first, step)) return STEP_ASK;
  if (walk_and_load(walk, first, step, may_replace)) return STEP_LOADED;
  std::memcpy(files.file_path, kept, PATH_BYTES);
  return STEP_NOTHING;
}

}  // namespace vusk
