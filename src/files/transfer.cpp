// The transfer file and the system clipboard. A copy writes the Selection's
// bytes as they lie in the Document, filler included, and puts its text on
// the clipboard as other programs read it; a paste reads the whole
// file first, converts any CR that another program wrote (a raw CR is the
// Document's end marker) and then inserts exactly the bytes it read. The
// clipboard's text has its line ends converted the same way.
#include "files/transfer.h"

#include <algorithm>
#include <cstring>

#include "editor/document.h"
#include "editor/text_view.h"
#include "files/load_save.h"
#include "files/text_format.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"

namespace vusk {

TransferState transfer;

namespace {

// The clipboard's text takes the form of the document's display mode.
TextEncoding document_text_encoding() { return doc.encoding == ENCODING_UTF8 ? TEXT_UTF8 : TEXT_CP932; }

constexpr uint8_t CR = 0x0D;
constexpr uint8_t LF = 0x0A;

// Reads up to `size` bytes, as many as the file still gives; returns the count.
uint32_t read_whole(FileHandle handle, uint8_t* block, uint32_t size) {
  uint32_t done = 0;
  while (done < size) {
    const uint32_t n = read_block(size - done, block + done, handle);
    if (n == 0) break;
    done += n;
  }
  return done;
}

// The "error!?" box for the transfer file, after giving back its block;
// always false, the answer of a refused read.
bool refuse_transfer_file(void* block) {
  free_block(block);
  show_message(files.transfer_path, ERROR_CAPTION);
  return false;
}

// Converts the `count` bytes read into `block` and keeps them for the
// insertion, unless none could be read or the Document could not take them.
bool hold_transfer_bytes(uint8_t* block, uint32_t count) {
  if (count == 0) return refuse_transfer_file(block);  // a file with bytes gave none
  const uint32_t breaks = convert_line_ends(block, count);
  if (!document_can_take(count, breaks)) return refuse_transfer_file(block);
  transfer = TransferState{block, count};
  return true;
}

// Inserts the `n` bytes of clipboard text at the located cursor, their line
// ends converted as a text load converts a file's (CR LF, a lone CR and a
// lone LF each end a line), so that programs that put LF-only text there
// paste lines too; false, with nothing changed, when the Document cannot
// take them.
bool insert_clipboard_text(const char* text, size_t n) {
  if (n >= UINT32_MAX) return false;
  // One byte more for the end marker that the conversion puts behind.
  auto* block = static_cast<uint8_t*>(obtain_file_block(n + 1));
  if (block == nullptr) return false;
  std::memcpy(block, text, n);
  const uint32_t breaks = convert_line_ends(block, static_cast<uint32_t>(n));
  const bool fits = document_can_take(n, breaks);
  if (fits) insert_at_cursor(block, static_cast<uint32_t>(n));
  free_block(block);
  return fits;
}

// Puts the Selection's text on the system clipboard; a Selection too large
// for the memory at hand stays off it (the transfer file still has it).
void put_selection_on_clipboard() {
  const uint8_t* start = view.sel_start;
  const uint8_t* stop = view.sel_end;
  const auto breaks = static_cast<size_t>(std::count(start, stop, LF));
  auto* text = static_cast<char*>(obtain_file_block(static_cast<size_t>(stop - start) + breaks + 1));
  if (text == nullptr) return;
  clipboard_form(start, stop, text);
  set_clipboard_text(text, document_text_encoding());
  free_block(text);
}

// Writes the Selection's n bytes into `handle` and forces them out: a full
// disk may only show then. True when all of them are on disk.
bool write_selection(FileHandle handle, uint32_t n) {
  return write_block(n, view.sel_start, handle) == n && flush_file(handle);
}

// A regular transfer file is replaced whole by a new one, so that a copy
// that fails midway leaves the previous copy as it was; anything else (a
// link to a device, a folder that takes no new files) is written in place.
bool write_transfer_file(uint32_t n) {
  const char* path = files.transfer_path;
  FileHandle handle = INVALID_FILE;
  char* temp = rename_keeps_identity(path) ? create_temp_beside(path, &handle) : nullptr;
  if (temp == nullptr) {
    handle = create_for_write(path);
    if (handle == INVALID_FILE) return false;
    const bool written = write_selection(handle, n);
    close_file(handle);
    return written;
  }
  bool written = write_selection(handle, n);
  close_file(handle);
  written = written && replace_file(temp, path);
  if (!written) delete_file(temp);
  free_block(temp);
  return written;
}

}  // namespace

void reset_transfer_state() {
  free_block(transfer.bytes);
  transfer = TransferState{};
}

bool set_transfer_path(const char* path) {
  const size_t length = std::strlen(path);
  if (length >= sizeof files.transfer_path) return false;
  std::memcpy(files.transfer_path, path, length + 1);
  return true;
}

bool document_can_take(uint64_t bytes, uint64_t line_breaks) {
  const uint64_t padding = uint64_t{doc.pad_newlines} + doc.pad_spaces;
  const uint64_t text = uint64_t{doc.text_length} + padding + bytes + TEXT_SPARE_BYTES;
  const uint64_t lines = uint64_t{doc.last_line} + doc.pad_newlines + line_breaks + 1;
  return text <= UINT32_MAX && lines * 4 + INITIAL_LINE_TABLE_BYTES <= UINT32_MAX;
}

size_t clipboard_form(const uint8_t* start, const uint8_t* stop, char* out) {
  size_t n = 0;
  for (const uint8_t* p = start; p < stop && *p != END_MARKER; ++p) {
    if (*p == 0) continue;
    if (*p == LF) out[n++] = static_cast<char>(CR);
    out[n++] = static_cast<char>(*p);
  }
  out[n] = 0;
  return n;
}

// A copy that cannot reach the file says so, as a file that cannot be
// written always does: the user would otherwise paste an older copy.
bool copy_selection_to_transfer_file() {
  put_selection_on_clipboard();
  const auto n = static_cast<uint32_t>(view.sel_end - view.sel_start);
  const bool written = make_parent_directories(files.transfer_path) && write_transfer_file(n);
  if (written) post_status("Copied.");
  else show_message(files.transfer_path, ERROR_CAPTION);
  return written;
}

bool read_transfer_file() {
  reset_transfer_state();
  const FileHandle handle = open_existing_read(files.transfer_path);
  if (handle == INVALID_FILE) return true;  // nothing copied yet
  const uint64_t size = file_size64(handle);
  if (size == 0) {
    close_file(handle);
    return true;
  }
  // One byte more for the end marker that the conversion puts behind.
  void* block = size < UINT32_MAX ? obtain_file_block(static_cast<size_t>(size) + 1) : nullptr;
  if (block == nullptr) {
    close_file(handle);
    return refuse_transfer_file(nullptr);
  }
  // The file is read once, up to the size taken above: another copy of the
  // program rewriting it meanwhile cannot make it longer than the room.
  const uint32_t count = read_whole(handle, static_cast<uint8_t*>(block), static_cast<uint32_t>(size));
  close_file(handle);
  return hold_transfer_bytes(static_cast<uint8_t*>(block), count);
}

void insert_transfer_file() {
  if (transfer.bytes == nullptr) return;
  insert_at_cursor(transfer.bytes, transfer.count);
  reset_transfer_state();
}

bool paste_clipboard_text() {
  const char* text = open_clipboard_text(document_text_encoding());
  if (text == nullptr) return false;
  const size_t n = std::strlen(text);
  const bool pasted = n != 0 && insert_clipboard_text(text, n);
  close_clipboard_text();
  return pasted;
}

}  // namespace vusk
