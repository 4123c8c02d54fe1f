// Everything the operating system must provide, in standard types only.
// The portable core reaches the OS through this list and nothing else; each
// backend (win32/, sdl/ with posix/, headless/ with posix/) implements it and is
// the only code that includes platform headers. Platform layer, the bottom:
// anyone may include this file.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vusk {

// ---- Memory and time ------------------------------------------------------

// A fixed, uncleared block of `bytes`; when the platform refuses, the process
// ends at once with exit code 1 and no message.
void* alloc_or_exit(uint32_t bytes);
// A fixed, uncleared block, or null when the platform refuses. Used where a
// failure must be refused cleanly instead of ending the process.
void* try_alloc(size_t bytes);
// Releases a block from alloc_or_exit or try_alloc; null is ignored.
void free_block(void* block);
// Milliseconds since an arbitrary origin, 32-bit, wrapping.
uint32_t tick_count();

// ---- Files ----------------------------------------------------------------
// Paths are 8-bit strings. Handles are opaque; INVALID_FILE means failure.

// An open file, as the platform names it.
using FileHandle = intptr_t;
// The handle the opening routines return when they fail.
constexpr FileHandle INVALID_FILE = -1;

// Read and write access to an existing regular file (the transfer file, the
// font, a save in place). Anything else is refused at once, without waiting.
FileHandle open_existing_rw(const char* path);
// Read access to an existing regular file; directories, named pipes and
// devices are refused at once, without waiting.
FileHandle open_existing_read(const char* path);
// Write access, always created (an existing file is emptied); a named pipe
// is refused.
FileHandle create_for_write(const char* path);
// Closes an open file; its handle is no longer valid.
void close_file(FileHandle handle);
// Size in bytes, low 32 bits only.
uint32_t file_size(FileHandle handle);
// Full size in bytes, so that callers can refuse files of 4 GiB and more.
uint64_t file_size64(FileHandle handle);
// Reads up to `count` bytes; returns the number read (0 at end of file or on
// error), also left in io_count.
uint32_t read_block(uint32_t count, void* buffer, FileHandle handle);
// Writes `count` bytes; returns the number written, also left in io_count.
uint32_t write_block(uint32_t count, const void* buffer, FileHandle handle);
// The byte count of the last read_block or write_block.
extern uint32_t io_count;

// Writes the executable's full path (at most `max` bytes, terminated) into
// `dest`; returns the length of its directory part including the final
// separator (0 if there is none), the index at which a file name is appended.
uint32_t module_directory(char* dest, uint32_t max);

// ---- Safe saving ----------------------------------------------------------
// A save either writes a new file beside the target and renames it into
// place, or, where that would change what the target is, rewrites the target
// in place, keeping a copy of its old contents until the save is done.
// Paths made here come in blocks from try_alloc, sized to fit; the caller
// gives them back with free_block.

// Whether `target` may be replaced by a new file of the same name and stay
// the same file for everyone else: true for a missing target, false for a
// file whose other links, owner or group a replacement would not keep (the
// backend says which it can keep), or for anything but a regular file.
bool rename_keeps_identity(const char* target);
// Creates a new, empty temporary file in the directory of `target` (of the
// file it links to), open for reading and writing, into *handle; returns its
// path, or null with nothing created.
char* create_temp_beside(const char* target, FileHandle* handle);
// Likewise for a copy of `target`'s old contents: beside it when its
// directory allows, else in a directory of the user's (the cache directory).
char* create_backup_file(const char* target, FileHandle* handle);
// Forces the file's bytes to the disk; false on failure.
bool flush_file(FileHandle handle);
// Moves to the start of the file; false on failure.
bool seek_file_start(FileHandle handle);
// Ends the file at the current position; false on failure.
bool set_file_end(FileHandle handle);
// Replaces `target` with `temp` in one step; on POSIX the target's permission
// bits are kept. False on failure, with both files as they were.
bool replace_file(const char* temp, const char* target);
// Removes a file; false on failure.
bool delete_file(const char* path);

// What tells one version of a file on disk from another: a save compares
// the version it finds with the one last loaded or saved, so that it does not
// overwrite another program's changes unasked.
struct FileIdentity {
  bool exists;        // false: nothing there (or nothing that can be examined)
  uint64_t size;      // bytes
  uint64_t modified;  // the last write, in the platform's own units
  uint64_t device;    // POSIX: the device and inode, which a replacement
  uint64_t inode;     // changes; 0 on Windows, which compares the rest
  bool operator==(const FileIdentity&) const = default;
};
// The identity of the file at `path` now (a link followed to its file),
// found without opening it.
FileIdentity file_identity(const char* path);

// ---- Paths and directories ------------------------------------------------

// True when nothing exists at `path` but its directory does: the name of a
// file yet to be created. Anything that exists (a dangling link included),
// and a path whose directory is missing, give false.
bool names_new_file(const char* path);
// Makes every directory on the way to the file `path` that does not exist yet
// (private to the user where the platform has owners); true when the file's
// directory exists afterwards. The transfer file may live in a directory that
// start-up only names: its first write calls this on transfer_path, so that
// merely starting the program writes nothing to disk.
bool make_parent_directories(const char* path);
// True for the characters that end a directory part of a path: '\\', '/' and
// ':' on Windows, '/' on POSIX.
bool is_path_separator(char c);
// The absolute form of `path` into `dest` (at most `max` bytes); false when it
// cannot be formed or does not fit.
bool full_path_name(const char* path, char* dest, uint32_t max);

// ---- Directory listing ----------------------------------------------------
// All entries that match `pattern` ("*.*" matches every name), "." and ".."
// included, in the platform's listing order (sorted bytewise by name on
// POSIX). The pattern's directory part, up to its last path separator, names
// the directory listed; without one it is the current directory. The names
// listed are bare.

// Position of the first entry named exactly `name`; -1 when `name` is empty,
// the listing cannot be started, or nothing matches.
int32_t index_of_file(const char* name, const char* pattern);
// Where `name` stands, or would stand when no entry has it, in the listing:
// the number of entries that the listing's order puts before it; -1 when the
// listing cannot be started.
int32_t position_in_listing(const char* name, const char* pattern);
// Copies the name of entry n (with its terminator) into `dest` and returns
// its length; 0, leaving `dest` alone, when there is no entry n. A name that
// does not fit `dest_size` bytes is not copied, but its length (dest_size or
// more) is returned all the same, so that the caller can pass over it and go
// on to the next entry.
uint32_t nth_file(char* dest, uint32_t n, const char* pattern, uint32_t dest_size);

// What a directory entry is, as far as loading it goes.
enum FileKind : uint8_t {
  FILE_KIND_NONE,       // nothing there, or it cannot be examined
  FILE_KIND_REGULAR,    // a file (links followed)
  FILE_KIND_DIRECTORY,  // a directory
  FILE_KIND_OTHER,      // a named pipe, a device, a socket: never to be opened by a step
};
// The kind of the entry at `path`, found without opening it.
FileKind file_kind(const char* path);
// Whether the file system's names are UTF-8 (POSIX) rather than bytes of
// the ANSI code page (Windows), so that the title bar shows them as such.
bool file_names_are_utf8();

// ---- User interaction -----------------------------------------------------

// A modal message box owned by the window, with one OK button.
void show_message(const char* text, const char* caption);
// The caption of every error box; its text names the file concerned.
constexpr char ERROR_CAPTION[] = "error!?";
// The encoding of the text that the clipboard calls give and take: the
// display mode of the document it comes from or goes into.
enum TextEncoding : uint8_t { TEXT_CP932, TEXT_UTF8 };
// Opens the system clipboard and returns its text in `encoding` (what the
// encoding cannot hold is left out), or null when it cannot be opened or
// holds no text (it is then closed again).
const char* open_clipboard_text(TextEncoding encoding);
// Releases the text of open_clipboard_text and closes the clipboard.
void close_clipboard_text();
// Puts `text` (zero-terminated, CR LF line ends, in `encoding`) on the system
// clipboard for other programs, in the forms the system uses; false when the
// clipboard could not take it (nothing else changes then).
bool set_clipboard_text(const char* text, TextEncoding encoding);
// The CP932 bytes of one code point into `out`; their count (1 or 2), or 0
// when CP932 has no such character.
uint32_t encode_cp932(uint32_t code_point, uint8_t out[2]);

// The caption of every question box.
constexpr char QUESTION_CAPTION[] = "Vusk";
// How the user answered ask_question.
enum QuestionAnswer : uint8_t { ANSWER_YES, ANSWER_NO, ANSWER_CANCEL };
// The buttons of a question box.
enum QuestionButtons : uint8_t { QUESTION_YES_NO_CANCEL, QUESTION_YES_NO };
// A modal question box owned by the window, with the buttons Yes, No and
// Cancel, or Yes and No. A box closed without a choice, or one that cannot be
// shown, answers ANSWER_CANCEL, or ANSWER_NO where there is no Cancel, so
// that nothing is lost.
QuestionAnswer ask_question(const char* text, const char* caption,
                            QuestionButtons buttons = QUESTION_YES_NO_CANCEL);

// The open-file (save = false) or save-file dialog on the 256-byte `path`
// buffer, which shows the current name and receives the chosen one. `flags`
// are the dialog record's flags (0x8000 refuse read-only, 0x0002 ask before
// overwriting). True when a name was chosen.
bool file_dialog(bool save, uint32_t flags, char* path);
// The extended error code of the last dialog that returned false: 0 when the
// user cancelled.
uint32_t file_dialog_error();
// The extended error of a dialog that could not be shown at all, because no
// program to show it can run (a helper that is missing or fails to start);
// the core then asks for the path itself. No common-dialog code has it.
constexpr uint32_t DIALOG_UNAVAILABLE = 0x10000;
// Why the last dialog could not be shown, in a few words for the status line
// ("zenity is not installed"), while file_dialog_error() is DIALOG_UNAVAILABLE.
const char* file_dialog_unavailable_reason();

// ---- Optional services ------------------------------------------------------
// A backend may install these before start-up. Left null, files that belong
// to the program live beside the executable, as on Windows.

// The optional services; a null entry means the default.
struct PlatformHooks {
  // Writes the path of the read-only data file `name` of an installed copy
  // (at most `max` bytes, terminated); false when there is none.
  bool (*installed_data_path)(const char* name, char* dest, uint32_t max);
  // Writes the directory that holds the transfer file, with its final
  // separator (at most `max` bytes), and returns its length; 0 for none. It
  // names the directory only: see make_parent_directories.
  uint32_t (*transfer_directory)(char* dest, uint32_t max);
};
// The installed optional services; all null until a backend sets them.
extern PlatformHooks platform_hooks;

// ---- Process --------------------------------------------------------------

// The process's command line: the program path, then the arguments.
const char* command_line();
// Ends the process with `code`.
[[noreturn]] void exit_process(int code);

// ---- Window and presentation ----------------------------------------------

// A rectangle in client pixels: left and top inside, right and bottom past it.
struct PlatformRect {
  int32_t left, top, right, bottom;
};

// One window message as the message loop receives it.
struct PlatformMessage {
  uintptr_t hwnd;
  uint32_t message;
  uintptr_t wparam;
  intptr_t lparam;
};

// Registers the window class (class "nowindow", the core's window procedure,
// arrow cursor, no background) and creates the window with `style`, the
// given outer size and title, at the default position, and shows it.
// Returns the window handle (0 on failure).
uintptr_t create_platform_window(uint32_t style, uint32_t outer_width, uint32_t outer_height,
                                 const char* title);
// The handle of the running program's module (its instance).
uintptr_t module_handle();
// The window's outer rectangle, frame included, in screen pixels.
void get_window_rect(PlatformRect* rect);
// The client area: origin (0, 0) and the client size.
void get_client_rect(PlatformRect* rect);
// Resizes the window's outer size without moving it or changing its z-order.
void resize_platform_window(uint32_t outer_width, uint32_t outer_height);
// The least outer size the user can give the window by resizing it.
void set_window_minimum_size(uint32_t outer_width, uint32_t outer_height);
// Sets the title the system shows for the window (taskbar, window list):
// 8-bit text in the system code page. Nothing while there is no window.
void set_window_title(const char* title);
// Invalidates the rectangle and repaints it at once (RedrawWindow with
// RDW_INVALIDATE | RDW_UPDATENOW); a null rectangle means the whole client area.
void invalidate_now(const PlatformRect* rect);
// Inside WM_PAINT: begins painting, copies the bottom-up 32-bpp frame 1:1 to
// the client origin (clipped to the invalid region), ends painting.
void paint_frame(const uint32_t* pixels, uint32_t width, uint32_t height);
// The platform's default handling of a message.
intptr_t default_handling(uintptr_t hwnd, uint32_t message, uintptr_t wparam, intptr_t lparam);
// Posts the quit message that ends the message loop with exit code `code`.
void post_quit_message(int code);
// Posts WM_CLOSE to the window.
void post_close_message();
// Waits for the next message of the thread; false when it is the quit message.
bool get_platform_message(PlatformMessage* message);
// Translates key presses into character messages and dispatches the message
// to the window procedure.
void dispatch_platform_message(const PlatformMessage* message);

}  // namespace vusk
