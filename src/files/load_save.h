// Loading and saving the Document as text or as a HexListing, the document's
// names, and the file mode. A load or a save returns a plain
// result and draws nothing: the screens (the File menu) and the app redraw
// after it. Files layer: included by the rest of the files, the screens, the
// app and the tests.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace vusk {

// The size of every path buffer, terminator included.
constexpr uint32_t PATH_BYTES = 256;
// The size of the buffer that saves gather their output in.
constexpr uint32_t IO_BUFFER_BYTES = 2048;
// The longest line a text may have: the view counts columns in an i32.
constexpr uint32_t LONGEST_LINE_BYTES = 0x7FFFFFFF;

// How a file is read and written: as text, or as a HexListing of its bytes.
enum FileMode : uint8_t { FILE_MODE_TEXT = 0, FILE_MODE_HEX = 1 };

// The document's names and mode, and the files' buffers.
struct FileState {
  char file_path[PATH_BYTES];      // the document's path as last given
  char file_name[PATH_BYTES];      // its bare name
  uint8_t file_mode;               // how the next load reads and the next save writes
  uint8_t io_buffer[IO_BUFFER_BYTES];
  char transfer_path[PATH_BYTES];  // the transfer file beside the executable
  // Absolute path of the last successful load or save: where "Save" writes.
  char document_origin[PATH_BYTES];
  // The version of that file which the load found or the save left, so
  // that a save notices another program's changes since.
  FileIdentity origin_version;
  // NUL bytes of the loaded file that the text took for filler after line
  // breaks; a text save drops them, and asks first while this is non-zero.
  uint32_t nul_filler;
  // Where loads and saves get their blocks; null means try_alloc. Tests set
  // it to make memory run out.
  void* (*alloc_block)(size_t bytes);
  // A text with a longer line is refused at load: LONGEST_LINE_BYTES, which
  // tests lower to try the refusal without a 2 GiB file.
  uint32_t longest_line;
  // Directory stepping takes entry names of fewer bytes than this: PATH_BYTES,
  // which file_path holds with its terminator. Tests lower it to try longer
  // names, which the file systems they run on cannot hold.
  uint32_t step_name_bytes;
};
extern FileState files;  // the one document's file state

// Zeroes the file state; the longest line goes back to LONGEST_LINE_BYTES
// and the step's name limit to PATH_BYTES.
void reset_file_state();
// A block for a load or a save: files.alloc_block's, or try_alloc's.
void* obtain_file_block(size_t bytes);
// True when the open file gives no further byte: a read that came back short
// met the file's end, and did not fail midway. Reads one byte when it does not.
bool file_ended(FileHandle handle);

// Loads file_path in file_mode as the new Document, with the Selection
// emptied and the row pointers refreshed, so that nothing points into the
// released text; the view keeps its place and nothing is drawn. 0 on
// success; non-zero after the "error!?" box (the Document, names, title and
// mode then stay as they were).
int load_document();
// The command line's document: load_document, except that a name no file has
// yet, in a directory that exists, starts a Document with no text under that
// name (no box; "Save" creates the file there, holding what was typed).
// Returns 0 when the Document is named, load_document's result otherwise.
int load_or_name_new_document();
// Writes the Document to file_path in file_mode. First, when another
// program has changed the file since it was loaded or saved, or when a text
// save would drop NUL bytes of the loaded file, asks whether to save anyway.
// True when every byte reached the disk and "File saved." was posted; false
// after the "error!?" box, or after a No (which says nothing more), with the
// file as it was. Redraws nothing (posting the message only paints over one
// still shown).
bool save_document();
// save_document in `mode`; a save that does not happen leaves file_mode as
// it was. For "save As text" and "save hex as Bin".
bool save_in_mode(uint8_t mode);
// Derives file_name from file_path: the part after the last path separator.
// The title bar and the window title follow it at their next refresh.
void take_file_name();
// Loads file_path in `mode`; when the load fails, file_mode goes back to what
// it was. Returns load_document's result. For the menu, Ctrl+F2 and stepping.
int load_in_mode(uint8_t mode);
// Ctrl+F2's reload: loads file_path in the other mode and empties the
// Selection whatever happened; the dispatcher then resets the view and
// redraws it.
void reload_in_other_mode();
// "Save": writes the Document, in file_mode, where it was last loaded from or
// saved to, or under its bare name in the current directory when it has
// never been on disk; file_path becomes that path when the save is done,
// and stays as it was otherwise. save_document's result.
bool save_to_origin();

}  // namespace vusk
