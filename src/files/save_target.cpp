// Writing the Document into its file.
//
// Renaming a new file into place is atomic, but it makes a new file: other
// hard links keep the old one, and another user's file would become the
// saver's. Such files, and files in a directory where no new file can be
// made, are rewritten in place instead: their old contents are first copied
// to a backup, which is put back if any later step fails and deleted only
// after success.
#include "files/save_target.h"

#include <cstdint>

#include "files/file_output.h"
#include "files/hex_listing.h"
#include "files/load_save.h"
#include "files/text_format.h"
#include "platform/platform.h"

namespace vusk {

namespace {

// Saves gather their output in pieces of this size: one write per 2 KiB costs
// several times the copying itself on large documents.
constexpr uint32_t SAVE_GATHER_BYTES = 256 * 1024;

enum class Outcome { SAVED, FAILED, NO_TEMP_FILE };

// Where a save gathers its output and copies old contents: a large block
// when memory allows, the 2 KiB io_buffer otherwise.
struct Gather {
  uint8_t* block;  // to give back, or null
  uint8_t* buffer;
  uint32_t capacity;
};

Gather take_gather() {
  auto* block = static_cast<uint8_t*>(obtain_file_block(SAVE_GATHER_BYTES));
  if (block == nullptr) return {nullptr, files.io_buffer, IO_BUFFER_BYTES};
  return {block, block, SAVE_GATHER_BYTES};
}

// Writes the whole Document in the current mode from the file's position;
// true when every byte went out.
bool write_document(FileHandle handle, const Gather& g) {
  OutputFile out{handle, g.buffer, g.capacity, 0, false};
  if (files.file_mode == FILE_MODE_HEX) {
    parse_hex_document(out);
  } else {
    write_text_document(out);
  }
  return drain_output(out);
}

// The target must be writable where it exists: a read-only file stays as it
// is, as it would if it were opened for writing.
bool target_refuses_writing(const char* path) {
  const FileHandle writable = open_existing_rw(path);
  if (writable != INVALID_FILE) {
    close_file(writable);
    return false;
  }
  const FileHandle readable = open_existing_read(path);  // exists, but read-only?
  if (readable == INVALID_FILE) return false;
  close_file(readable);
  return true;
}

// Writes a temporary file beside `path` and moves it into place; on failure
// the target is untouched and the temporary file gone.
Outcome write_beside_and_replace(const char* path, const Gather& g) {
  FileHandle handle;
  char* temp = create_temp_beside(path, &handle);
  if (temp == nullptr) return Outcome::NO_TEMP_FILE;
  bool ok = write_document(handle, g) && flush_file(handle);
  close_file(handle);
  ok = ok && replace_file(temp, path);
  if (!ok) delete_file(temp);
  free_block(temp);
  return ok ? Outcome::SAVED : Outcome::FAILED;
}

// Copies `size` bytes from `from` to `to`, each from its position; true only
// when every byte was read and written.
bool copy_bytes(FileHandle from, FileHandle to, uint64_t size, const Gather& g) {
  for (uint64_t done = 0; done < size;) {
    const uint32_t want = size - done < g.capacity ? static_cast<uint32_t>(size - done) : g.capacity;
    const uint32_t n = read_block(want, g.buffer, from);
    if (n == 0 || write_block(n, g.buffer, to) != n) return false;
    done += n;
  }
  return true;
}

// The new contents over the old, cut to their length, on the disk.
bool rewrite(FileHandle target, const Gather& g) {
  return seek_file_start(target) && write_document(target, g) && set_file_end(target) && flush_file(target);
}

// The old contents back from the backup; true when the target holds them.
bool restore(FileHandle target, FileHandle backup, uint64_t size, const Gather& g) {
  return seek_file_start(backup) && seek_file_start(target) && copy_bytes(backup, target, size, g) &&
         set_file_end(target) && flush_file(target);
}

// Rewrites the existing file at `path` behind a backup of its contents.
bool write_in_place(const char* path, const Gather& g) {
  const FileHandle target = open_existing_rw(path);
  if (target == INVALID_FILE) return false;
  FileHandle backup;
  char* backup_path = create_backup_file(path, &backup);
  if (backup_path == nullptr) {
    close_file(target);
    return false;
  }
  const uint64_t size = file_size64(target);
  const bool copied = copy_bytes(target, backup, size, g) && flush_file(backup);
  const bool saved = copied && rewrite(target, g);
  // Until the copy is complete the target has only been read.
  const bool intact = saved || !copied || restore(target, backup, size, g);
  close_file(target);
  close_file(backup);
  if (intact) {
    delete_file(backup_path);
  } else {
    show_message(backup_path, ERROR_CAPTION);  // the old contents live on there
  }
  free_block(backup_path);
  return saved;
}

}  // namespace

// Renames a new file into place when that keeps the file what it is, and
// rewrites it in place otherwise, or when no new file can be made beside it.
bool write_document_to(const char* path) {
  if (target_refuses_writing(path)) return false;
  const Gather g = take_gather();
  const Outcome outcome = rename_keeps_identity(path) ? write_beside_and_replace(path, g) : Outcome::NO_TEMP_FILE;
  const bool saved = outcome == Outcome::SAVED || (outcome == Outcome::NO_TEMP_FILE && write_in_place(path, g));
  free_block(g.block);
  return saved;
}

}  // namespace vusk
