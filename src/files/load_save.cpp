// Loading and saving the Document, and its names.
//
// A load builds the new text in a block of its own and only then gives up the
// old Document, so that a file that cannot be read or held leaves everything
// as it was. A save replaces the file's contents only when every byte is on
// disk (save_target.cpp).
#include "files/load_save.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

#include "editor/cells.h"
#include "editor/document.h"
#include "editor/modified.h"
#include "editor/text_view.h"
#include "files/hex_listing.h"
#include "files/save_target.h"
#include "files/text_format.h"
#include "platform/platform.h"
#include "widgets/status.h"

namespace vusk {

FileState files;

namespace {

// A first guess at a text's line count, from its size; the table grows when
// the lines are shorter.
constexpr uint32_t GUESSED_LINE_BYTES = 40;
// A listing's file is read in pieces of this size, each rendered while it
// is still in the cache.
constexpr uint32_t LISTING_PIECE_BYTES = 64 * 1024;
// A text's file is read in pieces of this size, each converted while it is
// still in the cache.
constexpr uint32_t TEXT_PIECE_BYTES = 512 * 1024;
// Entries of room behind the last line, as a rebuild of the LineTable leaves.
constexpr uint32_t SPARE_LINE_ENTRIES = 1024;

// The "error!?" box for the current path.
void show_path_error() { show_message(files.file_path, ERROR_CAPTION); }

constexpr char NUL_FILLER_STATUS[] = "NUL bytes at line starts: open as Hex to keep them";
constexpr char CHANGED_QUESTION_END[] = " was changed by another program. Save anyway?";
constexpr char NUL_QUESTION_MIDDLE[] = " holds ";
constexpr char NUL_QUESTION_END[] = " NUL bytes at line starts that a text save drops. Save anyway?";

// The absolute form of file_path, or file_path itself when none can be formed.
void absolute_file_path(char (&dest)[PATH_BYTES]) {
  if (!full_path_name(files.file_path, dest, PATH_BYTES)) std::memcpy(dest, files.file_path, PATH_BYTES);
}

// Remembers where the Document now lives, as an absolute path when one can be
// formed, so that "Save" finds it again from any current directory, and the
// version of the file found there.
void remember_origin(const FileIdentity& version) {
  absolute_file_path(files.document_origin);
  files.origin_version = version;
}

// Whether file_path names the file last loaded or saved and another version
// of it lies there now. A file deleted meanwhile is simply written again, and
// a save over anything but a file fails with its box without asking.
bool changed_on_disk() {
  if (files.document_origin[0] == 0) return false;  // never on disk: nothing to compare
  char target[PATH_BYTES];
  absolute_file_path(target);
  if (std::strcmp(target, files.document_origin) != 0) return false;
  if (file_kind(target) != FILE_KIND_REGULAR) return false;
  return file_identity(target) != files.origin_version;
}

// Asks `question` about the Document's file_name with Yes and No.
bool answered_yes(const std::string& question) {
  return ask_question(question.c_str(), QUESTION_CAPTION, QUESTION_YES_NO) == ANSWER_YES;
}

// The questions before a save that would lose something: another program's
// version of the file, or the file's NUL bytes at line starts. True when the
// save may go on.
bool save_confirmed() {
  const std::string name = files.file_name;  // terminated within its buffer
  if (changed_on_disk() && !answered_yes(name + CHANGED_QUESTION_END)) return false;
  if (files.file_mode != FILE_MODE_TEXT || files.nul_filler == 0) return true;
  char count[16];
  const std::to_chars_result digits = std::to_chars(count, count + sizeof count, files.nul_filler);
  return answered_yes(name + NUL_QUESTION_MIDDLE + std::string(count, digits.ptr) + NUL_QUESTION_END);
}

// The Document just put in place becomes file_path's: nothing selected, the
// rows from its start, saved as it is, and its bare name taken; `version`
// is the file's on disk and `nul_filler` the NULs its load took for filler.
void take_in_new_document(const FileIdentity& version, uint32_t nul_filler) {
  empty_selection(doc.text_buffer);
  fill_row_pointers();
  mark_document_saved();
  take_file_name();
  remember_origin(version);
  files.nul_filler = nul_filler;
  if (nul_filler != 0) post_status(NUL_FILLER_STATUS);
}

// A text block and its LineTable, read and built, not yet the Document's.
struct NewText {
  uint8_t* block;
  uint32_t capacity;
  uint32_t length;  // sentinel included
  LineStarts starts;
  uint32_t nul_filler;  // the file's NUL bytes taken for filler
};

// Gives back the blocks of a text that will not become the Document.
void discard(NewText* text) {
  free_block(text->block);
  free_block(text->starts.table);
  *text = NewText{};
}

// Reads the file in pieces and renders each as listing lines, with the line
// starts the listing is known to have: the header, then one line per 80
// bytes. Returns the bytes that arrived in *got.
bool read_listing(FileHandle handle, uint32_t wanted, NewText* text, uint32_t* got) {
  // A piece is a multiple of 16 bytes, so that lines never straddle pieces.
  uint8_t piece[LISTING_PIECE_BYTES];
  uint8_t* out = render_hex_header(text->block, files.file_path);
  uint32_t done = 0;
  while (done < wanted) {
    const uint32_t n = read_block(wanted - done < LISTING_PIECE_BYTES ? wanted - done : LISTING_PIECE_BYTES, piece, handle);
    if (n == 0) break;
    out = render_hex_lines(out, piece, n, done / 16);
    done += n;
    if (n % 16 != 0) break;  // a short last line ends the listing
  }
  *got = done;
  *out = '\r';
  text->length = static_cast<uint32_t>(out - text->block) + 1;
  const uint32_t last_line = 1 + done / 16;
  LineStarts& starts = text->starts;
  if (!reserve_line_starts(starts, uint64_t{last_line} + 2 + SPARE_LINE_ENTRIES)) return false;
  for (uint32_t k = 0; k <= last_line; ++k) starts.table[k] = k * HEX_LINE_BYTES;
  starts.count = last_line + 1;
  return true;
}

// Reads the file straight into the block in pieces, each converted where it
// lies while it is still in the cache. Returns the bytes that arrived in *got.
bool read_text(FileHandle handle, uint32_t wanted, NewText* text, uint32_t* got) {
  TextConversion conversion;
  uint32_t done = 0;
  bool ok = reserve_line_starts(text->starts, wanted / GUESSED_LINE_BYTES + 2) &&
            begin_conversion(conversion, text->block, text->starts);
  while (ok && done < wanted) {
    const uint32_t n = read_block(std::min(wanted - done, TEXT_PIECE_BYTES), text->block + done, handle);
    if (n == 0) break;
    done += n;
    ok = convert_arrived(conversion, done);
  }
  *got = done;
  ok = ok && finish_conversion(conversion, done);
  text->nul_filler = conversion.nul_filler;
  return ok;
}

// Reads `size` bytes of the open file into a new block in the current mode
// and builds its text and line starts. False, with nothing left allocated,
// when memory cannot be had or nothing could be read.
bool read_new_text(FileHandle handle, uint64_t size, NewText* text) {
  const bool hex = files.file_mode == FILE_MODE_HEX;
  const uint64_t capacity = hex ? (size + 15) / 16 * HEX_LINE_BYTES + HEX_LINE_BYTES + TEXT_SPARE_BYTES
                                : size + TEXT_SPARE_BYTES;
  if (capacity > UINT32_MAX) return false;  // 32-bit sizes cannot describe it
  text->block = static_cast<uint8_t*>(obtain_file_block(static_cast<size_t>(capacity)));
  if (text->block == nullptr) return false;
  text->capacity = static_cast<uint32_t>(capacity);
  const auto wanted = static_cast<uint32_t>(size);
  // Only what arrived is used, so that a file shortened meanwhile never shows
  // uninitialised memory; nothing at all from a non-empty file is a failure.
  uint32_t got = 0;
  bool ok;
  if (hex) {
    ok = read_listing(handle, wanted, text, &got);
  } else {
    ok = read_text(handle, wanted, text, &got);
    text->length = got + 1;
  }
  ok = ok && (got != 0 || wanted == 0);
  // Fewer bytes than the size is a file shortened meanwhile only when it
  // gives nothing more; a read that failed midway must not pass for its end.
  ok = ok && (got == wanted || file_ended(handle));
  // Room for the entry past the end marker and for growth, as after a rebuild.
  ok = ok && reserve_line_starts(text->starts, uint64_t{text->starts.count} + 1 + SPARE_LINE_ENTRIES);
  if (!ok) {
    discard(text);
    return false;
  }
  text->starts.table[text->starts.count] = text->length;
  return true;
}

}  // namespace

void reset_file_state() {
  std::memset(&files, 0, sizeof files);
  files.longest_line = LONGEST_LINE_BYTES;
  files.step_name_bytes = PATH_BYTES;
}

// One read of a byte more: none comes at the file's end.
bool file_ended(FileHandle handle) {
  uint8_t probe;
  return read_block(1, &probe, handle) == 0;
}

// A block for a load or a save: the test hook's, or try_alloc's.
void* obtain_file_block(size_t bytes) {
  return files.alloc_block != nullptr ? files.alloc_block(bytes) : try_alloc(bytes);
}

// Loads file_path in file_mode; the old Document stays until the new one is
// complete, so every refusal leaves it, the names and the title unchanged.
int load_document() {
  // Taken before the read: a change made meanwhile then shows at the save.
  const FileIdentity version = file_identity(files.file_path);
  const FileHandle handle = open_existing_read(files.file_path);
  if (handle == INVALID_FILE) {
    show_path_error();
    return 1;
  }
  const uint64_t size = file_size64(handle);
  NewText text{};
  const bool read = size <= UINT32_MAX && read_new_text(handle, size, &text);
  close_file(handle);
  if (!read) {
    show_path_error();
    return 1;
  }
  // The text's line starts were gathered while it was built: they are the
  // LineTable that a rebuild from line 0 would make.
  // A text that is valid UTF-8 shows as UTF-8, any other as Shift_JIS; a
  // listing is ASCII.
  const bool utf8 = files.file_mode == FILE_MODE_HEX || is_valid_utf8(text.block, text.length - 1);
  adopt_text(text.block, text.capacity, text.length, text.starts.table, text.starts.capacity * 4,
             text.starts.count - 1);
  doc.encoding = utf8 ? ENCODING_UTF8 : ENCODING_SHIFT_JIS;
  take_in_new_document(version, text.nul_filler);
  return 0;
}

// A file to be created starts with no text at all (not the three spaces of
// a start without a name, which a save would write into it) and takes its
// name, with the absolute path formed now, so that "Save" creates exactly
// that file whatever the current directory is by then.
int load_or_name_new_document() {
  if (!names_new_file(files.file_path)) return load_document();
  create_blank_document();
  take_in_new_document(FileIdentity{}, 0);
  return 0;
}

// Saves the Document to file_path in file_mode; true only when every byte is
// on disk, after which the title follows the path and "File saved." shows.
bool save_document() {
  if (!save_confirmed()) return false;
  if (!write_document_to(files.file_path)) {
    show_path_error();
    return false;
  }
  // The file now holds the text as shown: the filler's NULs are gone.
  if (files.file_mode == FILE_MODE_TEXT) files.nul_filler = 0;
  mark_document_saved();
  take_file_name();
  remember_origin(file_identity(files.file_path));
  post_status("File saved.");
  return true;
}

void take_file_name() {
  const char* name = files.file_path;
  for (const char* p = files.file_path; *p != 0; ++p) {
    if (is_path_separator(*p)) name = p + 1;
  }
  std::memmove(files.file_name, name, std::strlen(name) + 1);
}

// Loads in `mode`, giving the previous mode back when the load fails, so that
// the Document kept in memory is still saved in the form it was loaded in.
int load_in_mode(uint8_t mode) {
  const uint8_t previous = files.file_mode;
  files.file_mode = mode;
  const int result = load_document();
  if (result != 0) files.file_mode = previous;
  return result;
}

// A save that does not happen keeps the mode, so that the next "Save" writes
// the Document in the form it was loaded in.
bool save_in_mode(uint8_t mode) {
  const uint8_t previous = files.file_mode;
  files.file_mode = mode;
  if (save_document()) return true;
  files.file_mode = previous;
  return false;
}

bool save_to_origin() {
  char previous[PATH_BYTES];
  std::memcpy(previous, files.file_path, PATH_BYTES);
  const char* target = files.document_origin[0] != 0 ? files.document_origin : files.file_name;
  std::memmove(files.file_path, target, PATH_BYTES);
  if (save_document()) return true;
  std::memcpy(files.file_path, previous, PATH_BYTES);
  return false;
}

void reload_in_other_mode() {
  load_in_mode(files.file_mode ^ 1);
  empty_selection(doc.text_buffer);
}

}  // namespace vusk
