// Cut, copy and paste through the transfer file (transfer_path, raw bytes of
// the Document's internal form), the column paste, the system clipboard
// (copies put their text there too; its text can be pasted), and the values
// of the Edit menu's entries. The transfer file is read whole before
// anything is inserted. Files layer: included by the dispatcher, the
// screens, the app and the tests.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vusk {

// The Edit menu's entries, by the w_value of their widgets.
enum EditCommand : uint16_t {
  EDIT_CUT = 0,
  EDIT_COPY = 1,
  EDIT_PASTE = 2,
  EDIT_PASTE_COLUMN = 3,
  EDIT_FIND = 4,
  EDIT_PASTE_CLIPBOARD = 5,
};

// The transfer file's bytes between read_transfer_file and their insertion,
// already in the Document's form (line ends converted as a text load does).
struct TransferState {
  uint8_t* bytes;  // null when none are held
  uint32_t count;
};
extern TransferState transfer;

// Releases any bytes held.
void reset_transfer_state();

// Makes `path` the transfer file's path; false, with the path unchanged, when
// it does not fit the path buffer.
bool set_transfer_path(const char* path);

// Writes the Selection (not empty) to the transfer file, creating its
// directory first, and puts its text on the system clipboard for other
// programs (clipboard_form). True, with "Copied." posted, only when every
// byte reached the file; otherwise the "error!?" box names the file. The
// Document, cursor and Selection never change.
bool copy_selection_to_transfer_file();

// The text of the bytes [start, stop) as the system clipboard takes it, into
// `out`, which has room for their number plus one per line break plus the
// terminator: each line break becomes CR LF, NUL bytes are left out (the
// filler behind line ends, and any other, which a zero-terminated text
// cannot hold), and nothing from the end marker on is taken. Returns the
// length; a terminator follows.
size_t clipboard_form(const uint8_t* start, const uint8_t* stop, char* out);

// Reads the whole transfer file into `transfer`, replacing what was held. A
// missing or empty file holds nothing and counts as read (true). A file that
// gives none of its bytes, or that the Document could not take (too large,
// or no memory for it), is refused after the "error!?" box with its path:
// false, nothing held. A file cut short meanwhile holds what was read.
bool read_transfer_file();
// Inserts the bytes held at the located cursor, after its pending line
// breaks and spaces, and releases them; nothing when none are held.
void insert_transfer_file();

// Whether an insertion at the located cursor of `bytes` bytes holding
// `line_breaks` line breaks, after the cursor's pending line breaks and
// spaces, keeps the Document within what its 32-bit sizes describe.
bool document_can_take(uint64_t bytes, uint64_t line_breaks);

// Inserts the clipboard's text at the located cursor, its line ends
// converted as a text load converts them (CR LF, CR and LF each a line
// break), and closes the clipboard on every path; false when there was no
// text, an empty one, or one too large to take.
bool paste_clipboard_text();

// The column paste: the transfer file's lines one below the other at the
// cursor's column, the view scrolling one line per line end; then the
// Selection is emptied and the text view redrawn. Its lines are one change
// of the text (one undo step); one the Document cannot take changes
// nothing, after the "error!?" box with the transfer file's path.
void paste_column();
// After a column paste: a view scrolled past the last line goes back to it,
// and the cursor moves down as far, so that it still stands on the line
// below the pasted block.
void keep_view_on_text();

}  // namespace vusk
