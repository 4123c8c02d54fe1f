// Process start-up, the command line and the message loop.
#include "app/startup.h"

#include <cstring>

#include "commands/commands.h"
#include "editor/document.h"
#include "editor/modified.h"
#include "editor/text_view.h"
#include "editor/undo.h"
#include "files/load_save.h"
#include "files/search.h"
#include "files/transfer.h"
#include "raster/raster.h"
#include "screens/file_menu.h"
#include "screens/path_prompt.h"
#include "screens/screens.h"
#include "screens/title.h"
#include "platform/platform.h"
#include "app/window.h"
#include "widgets/input.h"
#include "widgets/label.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"

namespace vusk {

StartupState startup;
PlatformHooks platform_hooks;

namespace {

constexpr uint32_t FRAME_WIDTH = 1024;
constexpr uint32_t FRAME_HEIGHT = 768;
constexpr uint32_t MIN_FRAME_WIDTH = 624;
constexpr uint32_t MIN_FRAME_HEIGHT = 288;
constexpr uint32_t WINDOW_FLAGS = WINDOW_KEEP_ESCAPE | WINDOW_RESIZABLE | WINDOW_JIS_FONT;
constexpr char DEFAULT_NAME[] = "default.txt";
constexpr char TRANSFER_NAME[] = "VUSK.TMP";

// Set by next_argument when the argument cannot be taken as it stands: it
// went on past the length limit, or it holds a double quote character
// (written doubled inside quotes). Quotes are otherwise taken out of an
// argument, so such a name would be read as another one.
bool argument_refused = false;

// Whether the quote at p, met inside quotes, ends the argument. A doubled
// quote stands for one quote character of the argument instead.
bool closes_quotes(const char* p) { return p[0] == '"' && p[1] != '"'; }

// Whether the argument goes on at p once the length limit is reached.
bool argument_goes_on(const char* p, bool quoted) {
  if (*p == 0) return false;
  return quoted ? !closes_quotes(p) : static_cast<uint8_t>(*p) >= 0x21;
}

// What a full redraw shows must be true first: the bottom bar's line number
// and the title bar's name, which a load or a save may have changed.
void refresh_before_full_redraw() {
  refresh_cursor_line();
  refresh_title_label();
}

// Connects the lower layers to the ones above them: the variables that the
// bars' labels show, the refresh before full redraws, and the history's
// listener. (The text view installs its row painter when it is reset.)
void wire_layers() {
  bind_label_variable(var::cursor_abs_line, &view.cursor_abs_line, sizeof view.cursor_abs_line);
  bind_label_variable(var::text_length, &doc.text_length, sizeof doc.text_length);
  bind_label_variable(var::bookmark_line_0, &cmd.bookmark_line[0], sizeof cmd.bookmark_line[0]);
  bind_label_variable(var::bookmark_line_1, &cmd.bookmark_line[1], sizeof cmd.bookmark_line[1]);
  bind_label_variable(var::path_prompt_saving, &path_prompt.saving, sizeof path_prompt.saving);
  bind_label_variable(var::file_mode, &files.file_mode, sizeof files.file_mode);
  bind_label_variable(var::document_encoding, &doc.encoding, sizeof doc.encoding);
  before_redraw_all = refresh_before_full_redraw;
  history_listener = follow_history;
}

}  // namespace

void reset_all_state() {
  reset_document_state();
  reset_modified_state();
  reset_view_state();
  reset_command_state();
  reset_widget_state();
  reset_input_state();
  reset_label_variables();
  reset_status_state();
  reset_window_state();  // after the status state: it installs the paint-over
  reset_raster_state();
  reset_file_state();
  reset_title_state();
  reset_search_state();
  reset_transfer_state();
  reset_screen_state();
  reset_path_prompt_state();
  wire_layers();
  startup.cmdline_cursor = nullptr;
  argument_refused = false;
}

// The command line just past the program path. A quoted program path ends at its closing quote, so that an
// installation under a folder with a space in its name is not taken for an
// argument; an unquoted one ends at the first space.
const char* skip_program_path() {
  const char* p = command_line();
  if (*p == '"') {
    ++p;
    while (*p != 0 && *p != '"') ++p;
    if (*p == '"') ++p;
    return p;
  }
  while (*p != 0 && *p != ' ') ++p;
  return p;
}

bool last_argument_refused() { return argument_refused; }

uint32_t next_argument(char* dest) {
  const char*& p = startup.cmdline_cursor;
  argument_refused = false;
  while (*p != 0 && static_cast<uint8_t>(*p) < 0x21) ++p;
  uint32_t n = 0;
  bool quoted = false;
  while (n < LONGEST_ARGUMENT && *p != 0) {  // the terminator is not passed over
    const uint8_t c = static_cast<uint8_t>(*p++);
    if (c == '"' && !quoted) {
      quoted = true;
      continue;
    }
    if (c == '"') {
      if (*p != '"') break;  // the closing quote
      ++p;
      argument_refused = true;
    } else if (!quoted && c < 0x21) {
      break;
    }
    dest[n++] = static_cast<char>(c);
  }
  if (n == LONGEST_ARGUMENT && argument_goes_on(p, quoted)) argument_refused = true;
  dest[n] = 0;
  return n;
}

namespace {

// The transfer file lies beside the executable, or where the platform keeps
// per-user data when that directory cannot be written.
void place_transfer_file() {
  const uint32_t max = PATH_BYTES - sizeof TRANSFER_NAME;
  const uint32_t dir = platform_hooks.transfer_directory != nullptr
                           ? platform_hooks.transfer_directory(files.transfer_path, max)
                           : module_directory(files.transfer_path, max);
  std::memcpy(files.transfer_path + dir, TRANSFER_NAME, sizeof TRANSFER_NAME);
}

// The cursor, the view origin and the Selection of an untouched Document.
void home_the_view() {
  view.top_line = 0;
  view.left_col = 0;
  view.cursor_row = 0;
  view.cursor_col = 0;
  view.cursor_abs_line = 0;
  empty_selection(nullptr);
}

// Lays out the rows and panels for the start-up frame and makes the window
// around it, then shows the first picture.
void open_main_window() {
  // The layout sizes the rows for the frame that create_window is about to
  // make, so the frame size holds its start-up value already.
  raster.frame_width = FRAME_WIDTH;
  raster.frame_height = FRAME_HEIGHT;
  layout_screen();
  win.min_frame_width = MIN_FRAME_WIDTH;
  win.min_frame_height = MIN_FRAME_HEIGHT;
  win.layout_callback = layout_screen;
  win.shows_status_line = 1;
  create_window(WINDOW_FLAGS, FRAME_HEIGHT, FRAME_WIDTH, "Vusk");
  refresh_window_title();  // the name came before the window
  redraw_all_widgets();
  present_now();
}

// The empty Document's path is its name, as the title shows it, so that
// Ctrl+F2 and the dialogs name it too.
void name_default_document() { std::memcpy(files.file_path, DEFAULT_NAME, sizeof DEFAULT_NAME); }

// Loads the document named by the command line's argument, if there is one;
// a name that cannot be loaded (or taken as it stands) leaves the empty
// Document, named "default.txt".
void open_command_line_file() {
  if (next_argument(files.file_path) == 0) return name_default_document();
  int failed;
  if (argument_refused) {
    // A cut name could name another file, and so could one whose quotes
    // were taken out: refuse it instead of loading.
    show_message(files.file_path, ERROR_CAPTION);
    failed = 1;
  } else {
    draw_string("Loading...", 9, raster.frame_height - 18u, 200);
    present_now();
    failed = load_or_name_new_document();
    if (failed == 0) {
      show_loaded_document();
      // What the load had to say (NULs taken for filler) comes with the first
      // picture, before the user edits anything.
      update_status_line();
      present_now();
    }
  }
  if (failed != 0) {
    name_default_document();
    redraw_all_widgets();
    present_now();
  }
}

}  // namespace

void start_up_steps() {
  wt.widget_end = 0;  // the table starts empty; the layout fills it
  startup.cmdline_cursor = skip_program_path();
  create_empty_document();
  wt.default_focus = 0;
  place_transfer_file();
  name_default_document();
  take_file_name();
  files.file_mode = FILE_MODE_TEXT;
  home_the_view();
  open_main_window();
  open_command_line_file();
  refresh_window_title();  // the loaded file's name, as its first picture shows it
  // All of it is on screen now. Left pending, it would make the first
  // message look as if it had drawn and keep it from default handling (a
  // first close request would be swallowed).
  raster.redraw_pending = 0;
  reset_dirty_rect();
}

void start_up() {
  // The process begins from the same state as every headless run: static
  // zeroes alone would leave the panels uninstalled, overwrite mode on and a
  // right-button drag seemingly in progress.
  reset_all_state();
  start_up_steps();
  message_loop();
  quit();
}

void message_loop() {
  PlatformMessage message;
  while (get_platform_message(&message)) dispatch_platform_message(&message);
}

void quit() { exit_process(0); }

}  // namespace vusk
