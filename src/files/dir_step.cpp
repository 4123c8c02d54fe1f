// Directory stepping. The listing is read afresh for every lookup, so a step
// always sees the directory as it is now and keeps no position of its own:
// the current file is found again by its name.
#include "files/dir_step.h"

#include "files/load_save.h"
#include "platform/platform.h"

namespace vusk {

namespace {

constexpr char ALL_ENTRIES[] = "*.*";

// Whether the entry named in file_path goes to the loader. Pipes and devices
// do not: opening one may wait for a writer or read without end. Anything
// else does, a directory included, so that the loader's box says which
// entry did not load.
bool worth_loading() { return file_kind(files.file_path) != FILE_KIND_OTHER; }

}  // namespace

bool step_directory(int32_t step) {
  const uint32_t room = files.step_name_bytes < PATH_BYTES ? files.step_name_bytes : PATH_BYTES;
  int64_t i = index_of_file(files.file_name, ALL_ENTRIES);
  for (;;) {
    i += step;
    if (i < 0) break;
    const uint32_t length = nth_file(files.file_path, static_cast<uint32_t>(i), ALL_ENTRIES, room);
    if (length == 0) break;
    if (length >= room) continue;  // not copied: it does not fit file_path
    if (worth_loading() && load_document() == 0) return true;
  }
  files.file_path[0] = 0;
  return false;
}

}  // namespace vusk
