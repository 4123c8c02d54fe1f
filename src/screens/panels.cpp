// The application's panels as static data: their labels, records and
// the scroll thumb's drag limits. Each panel is kept twice: a constexpr
// pristine list that the compiler checks, and the writable list that the
// panel directory points at (the layout rewrites the bottom bar's first
// record; reset_screen_state restores every list from its pristine copy).
#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

#include "commands/commands.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "files/load_save.h"
#include "files/search.h"
#include "files/transfer.h"
#include "platform/platform.h"
#include "raster/raster.h"
#include "screens/file_menu.h"
#include "screens/panel_ids.h"
#include "screens/path_prompt.h"
#include "screens/screens.h"
#include "screens/title.h"
#include "widgets/label_builders.h"
#include "widgets/widget_table.h"

namespace vusk {

namespace {

constexpr uint8_t MINUS = '-';
constexpr uint8_t MENU_FLAGS = WF_MOVABLE | WF_ENTER | WF_ARROWS_DOWN;       // 0x16
constexpr uint8_t TITLE_FLAGS = WF_ENTER | WF_ARROWS_ACROSS | WF_ARROWS_DOWN;  // 0x1C
constexpr uint8_t SCHEME_FLAGS = MENU_FLAGS | WF_REDRAW_ALL;                  // 0x36
constexpr int16_t BELOW = -1;  // y: directly below the previous record
constexpr int16_t TO_RIGHT_EDGE = -1;
constexpr uint16_t ENTRY_WIDTH = 152;
constexpr uint16_t ROW = 18;

// ---- Labels -------------------------------------------------------------

constexpr auto L_END = lc::label(lc::end());
constexpr auto L_UP = lc::text_label("UP");
constexpr auto L_FILE = lc::text_label("  File");
constexpr auto L_EDIT = lc::text_label("  Edit");
constexpr auto L_VIEW = lc::text_label("  View");
constexpr auto L_CLOSE = lc::text_label("---- close ----");
constexpr auto L_OPEN_TEXT = lc::text_label("Open as text");
constexpr auto L_OPEN_HEX = lc::text_label("open as Hex");
constexpr auto L_SAVE = lc::text_label("Save");
constexpr auto L_SAVE_TEXT = lc::text_label("save As text");
constexpr auto L_SAVE_BIN = lc::text_label("save hex as Bin");
constexpr auto L_QUIT = lc::text_label("Quit");
constexpr auto L_DOCUMENT_SIZE =
    lc::label(lc::text("current document", lc::newline(16), " size in memory", lc::newline(16)),
              lc::decimal32_at(var::text_length, 1, 0x90), lc::text(" bytes"), lc::end());
constexpr auto L_CUT = lc::text_label("cuT");
constexpr auto L_COPY = lc::text_label("Copy");
constexpr auto L_PASTE = lc::text_label("Paste");
constexpr auto L_PASTE_COLUMN = lc::text_label("paste coluMn");
constexpr auto L_PASTE_CLIPBOARD = lc::text_label("paste clipboard");
constexpr auto L_FIND = lc::text_label("Find");
constexpr auto L_REPLACE = lc::text_label("Replace");
constexpr auto L_GO_TO = lc::text_label("Go to");
constexpr auto L_BENCHMARK = lc::text_label("Benchmark");
constexpr auto L_FIND_FIELD = lc::label(lc::text("       string to find", lc::newline(16)), lc::text(" "),
                                        lc::box(15, 29), lc::colour(9), lc::data_string(), lc::end());
constexpr auto L_REPLACE_FIELD = lc::label(lc::text("       replace:", lc::newline(16)), lc::text(" "),
                                           lc::box(15, FIND_PATTERN_CHARS), lc::colour(9), lc::data_string(), lc::end());
constexpr auto L_REPLACE_ALL = lc::text_label("replace All");
// The go-to field's caption says what it takes: a byte offset in a hex
// listing, else a line number.
enum GotoMark : uint32_t { OFFSET_CAPTION, GOTO_BOX };
constexpr auto L_GOTO_FIELD =
    lc::label(lc::jump_if_var(FILE_MODE_HEX, OFFSET_CAPTION, var::file_mode),
              lc::text("       go to line", lc::newline(16)), lc::jump_if_var(FILE_MODE_TEXT, GOTO_BOX, var::file_mode),
              lc::mark(OFFSET_CAPTION), lc::text("       go to byte (0x: hex)", lc::newline(16)), lc::mark(GOTO_BOX),
              lc::text(" "), lc::box(15, GOTO_FIELD_CHARS), lc::colour(9), lc::data_string(), lc::end());
// The path prompt's caption says which of the two it asks for.
enum PromptMark : uint32_t { SAVE_CAPTION, FIELD };
constexpr auto L_PATH_FIELD =
    lc::label(lc::jump_if_var(1, SAVE_CAPTION, var::path_prompt_saving),
              lc::text("       file to open   (Enter opens it, Escape cancels)", lc::newline(16)),
              lc::jump_if_var(0, FIELD, var::path_prompt_saving), lc::mark(SAVE_CAPTION),
              lc::text("       save as   (Enter saves, Escape cancels)", lc::newline(16)), lc::mark(FIELD),
              lc::text(" "), lc::box(15, PROMPT_PATH_CHARS), lc::colour(9), lc::data_string(), lc::end());
constexpr auto L_ABOUT = lc::text_label("About");
constexpr auto L_SCHEME_CAPTION = lc::text_label("color scheme:");
constexpr auto L_DEFAULT = lc::text_label("Default");
constexpr auto L_WHITE_ON_BLACK = lc::text_label("Wh on bl");
constexpr auto L_BLACK_ON_WHITE = lc::text_label("Bl on wh");
constexpr auto L_UTF8 = lc::text_label("Utf-8");
constexpr auto L_SHIFT_JIS = lc::text_label("shift_Jis");
constexpr uint32_t SJIS_NAME = 0;
constexpr auto L_ENCODING = lc::label(lc::colour(9), lc::jump_if_var(ENCODING_SHIFT_JIS, SJIS_NAME, var::document_encoding),
                                      lc::text("UTF-8"), lc::end(), lc::mark(SJIS_NAME), lc::text("SJIS"), lc::end());
constexpr auto L_LEFT = lc::text_label("LF");
constexpr auto L_RIGHT = lc::text_label("RT");
constexpr auto L_DOWN = lc::text_label("DN");
constexpr auto L_BOOKMARK_1 = lc::label(lc::decimal32_at(var::bookmark_line_0, 1, 0x70), lc::end());
constexpr auto L_BOOKMARK_2 = lc::label(lc::decimal32_at(var::bookmark_line_1, 1, 0x70), lc::end());
constexpr auto L_LINE_NUMBER =
    lc::label(lc::colour(9), lc::text("line "), lc::decimal32_at(var::cursor_abs_line, 1, 0x70), lc::end());
constexpr auto L_VERSION = lc::label(lc::text("Vusk ver. 0.91", lc::newline(15), "2024/xx/xx"), lc::end());

// ---- Records ------------------------------------------------------------

constexpr PanelRecord rec(const uint8_t* label, WidgetData data, int16_t x, int16_t y, int16_t width,
                          uint16_t height, uint16_t value, uint8_t param, WidgetKind kind, uint8_t colour,
                          uint8_t flags, uint8_t hotkey) {
  return PanelRecord{label, data, x, y, width, height, value, param, kind, colour, flags, hotkey, 0};
}

// A drop-down entry: 152 wide, 18 high, below the previous one.
constexpr PanelRecord entry(const uint8_t* label, WidgetHandler handler, uint16_t value, uint8_t colour,
                            uint8_t flags, uint8_t hotkey) {
  return rec(label, handler, 8, BELOW, ENTRY_WIDTH, ROW, value, 0, WK_BUTTON, colour, flags, hotkey);
}

// The first entry of every drop-down, at (8, 56), where they replace each other.
constexpr PanelRecord close_entry() {
  return rec(L_CLOSE.data(), close_panel, 8, 56, ENTRY_WIDTH, ROW, 0, 0, WK_BUTTON, 10, MENU_FLAGS, MINUS);
}

constexpr PanelRecord END_OF_LIST{};

constexpr PanelRecord scroll_button(const uint8_t* label, int16_t x, int16_t y, uint8_t param) {
  return rec(label, scroll_step_button, x, y, 22, ROW, 0, param, WK_BUTTON, 10, 0, 0);
}

// Limits of the scroll thumb: fixed at the right edge, between the up button
// and the down button.
DragDescriptor thumb_drag{-22, 36, -22, -54, drag_scroll_thumb};

constexpr PanelRecord TITLE_BAR[] = {
    rec(title.label, {}, 0, 0, TO_RIGHT_EDGE, 36, 0, 0, WK_STATIC, 0, 0, 0),
    scroll_button(L_UP.data(), -22, 18, 0),
    END_OF_LIST,
};

constexpr PanelRecord MENU_BAR[] = {
    rec(L_FILE.data(), show_panel, 8, 18, 80, ROW, PANEL_FILE_MENU, 0, WK_BUTTON, 8, TITLE_FLAGS, 'f'),
    rec(L_EDIT.data(), show_panel, 104, 18, 80, ROW, PANEL_EDIT_MENU, 0, WK_BUTTON, 8, TITLE_FLAGS, 'e'),
    rec(L_VIEW.data(), show_panel, 200, 18, 80, ROW, PANEL_VIEW_MENU, 0, WK_BUTTON, 8, TITLE_FLAGS, 'v'),
    END_OF_LIST,
};

constexpr PanelRecord FILE_MENU[] = {
    close_entry(),
    entry(L_OPEN_TEXT.data(), open_file_dialog, FILE_MODE_TEXT, 10, MENU_FLAGS, 'o'),
    entry(L_OPEN_HEX.data(), open_file_dialog, FILE_MODE_HEX, 10, MENU_FLAGS, 'h'),
    entry(L_SAVE.data(), save_under_file_name, 0, 10, MENU_FLAGS, 's'),
    entry(L_SAVE_TEXT.data(), save_file_dialog, FILE_MODE_TEXT, 10, MENU_FLAGS, 'a'),
    entry(L_SAVE_BIN.data(), save_file_dialog, FILE_MODE_HEX, 10, MENU_FLAGS, 'b'),
    entry(L_QUIT.data(), quit_button, 0, 10, MENU_FLAGS, 'q'),
    rec(L_DOCUMENT_SIZE.data(), no_action, 8, BELOW, ENTRY_WIDTH, 50, 0, 0, WK_BUTTON, 2, MENU_FLAGS, 0),
    END_OF_LIST,
};

constexpr PanelRecord EDIT_MENU[] = {
    close_entry(),
    entry(L_CUT.data(), edit_menu_command, EDIT_CUT, 10, MENU_FLAGS, 't'),
    entry(L_COPY.data(), edit_menu_command, EDIT_COPY, 10, MENU_FLAGS, 'c'),
    entry(L_PASTE.data(), edit_menu_command, EDIT_PASTE, 10, MENU_FLAGS, 'p'),
    entry(L_PASTE_COLUMN.data(), edit_menu_command, EDIT_PASTE_COLUMN, 10, MENU_FLAGS, 'm'),
    entry(L_PASTE_CLIPBOARD.data(), edit_menu_command, EDIT_PASTE_CLIPBOARD, 10, MENU_FLAGS, 0),
    entry(L_FIND.data(), show_panel, PANEL_FIND_BAR, 8, MENU_FLAGS, 'f'),
    entry(L_REPLACE.data(), show_panel, PANEL_REPLACE_BAR, 8, MENU_FLAGS, 'r'),
    entry(L_GO_TO.data(), show_panel, PANEL_GOTO_BAR, 8, MENU_FLAGS, 'g'),
    entry(L_BENCHMARK.data(), run_benchmark, 0, 10, MENU_FLAGS, 'b'),
    END_OF_LIST,
};

constexpr PanelRecord FIND_BAR[] = {
    rec(L_FIND_FIELD.data(), static_cast<void*>(find_pattern), 8, 56, 292, 36, 0, 0, WK_TEXT_INPUT, 2, MENU_FLAGS,
        0),
    entry(L_CLOSE.data(), close_panel, 0, 10, MENU_FLAGS, MINUS),
    END_OF_LIST,
};

constexpr int16_t FIELD_WIDTH = 292;
constexpr uint16_t FIELD_HEIGHT = 36;

// The find field, then the replacement's under it: Tab goes from one to the
// other.
constexpr PanelRecord REPLACE_BAR[] = {
    rec(L_FIND_FIELD.data(), static_cast<void*>(find_pattern), 8, 56, FIELD_WIDTH, FIELD_HEIGHT, 0, 0,
        WK_TEXT_INPUT, 2, MENU_FLAGS, 0),
    rec(L_REPLACE_FIELD.data(), static_cast<void*>(replace_pattern), 8, BELOW, FIELD_WIDTH, FIELD_HEIGHT, 0, 0,
        WK_TEXT_INPUT, 2, MENU_FLAGS, 0),
    entry(L_REPLACE_ALL.data(), replace_all_button, 0, 10, MENU_FLAGS, 'a'),
    entry(L_CLOSE.data(), close_panel, 0, 10, MENU_FLAGS, MINUS),
    END_OF_LIST,
};

constexpr PanelRecord GOTO_BAR[] = {
    rec(L_GOTO_FIELD.data(), static_cast<void*>(goto_field), 8, 56, FIELD_WIDTH, FIELD_HEIGHT, 0, 0, WK_TEXT_INPUT,
        2, MENU_FLAGS | WF_ESCAPE_CANCELS, 0),
    entry(L_CLOSE.data(), close_panel, 0, 10, MENU_FLAGS, MINUS),
    END_OF_LIST,
};

// The field is as wide as the find field's margins around its box allow.
constexpr int16_t PATH_FIELD_WIDTH = 292 - 29 * 9 + PROMPT_PATH_CHARS * 9;

constexpr PanelRecord PATH_PROMPT[] = {
    rec(L_PATH_FIELD.data(), static_cast<void*>(path_prompt.field), 8, 56, PATH_FIELD_WIDTH, 36, 0, 0,
        WK_TEXT_INPUT, 2, MENU_FLAGS | WF_ESCAPE_CANCELS, 0),
    entry(L_CLOSE.data(), close_panel, 0, 10, MENU_FLAGS, MINUS),
    END_OF_LIST,
};

constexpr PanelRecord VIEW_MENU[] = {
    close_entry(),
    entry(L_ABOUT.data(), show_panel, PANEL_ABOUT, 8, MENU_FLAGS, 'a'),
    entry(L_SCHEME_CAPTION.data(), no_action, 0, 2, MENU_FLAGS, 0),
    entry(L_DEFAULT.data(), select_colour_scheme, 0, 10, SCHEME_FLAGS, 'd'),
    entry(L_WHITE_ON_BLACK.data(), select_colour_scheme, 1, 10, SCHEME_FLAGS, 'w'),
    entry(L_BLACK_ON_WHITE.data(), select_colour_scheme, 2, 10, SCHEME_FLAGS, 'b'),
    entry(L_UTF8.data(), select_encoding, ENCODING_UTF8, 10, SCHEME_FLAGS, 'u'),
    entry(L_SHIFT_JIS.data(), select_encoding, ENCODING_SHIFT_JIS, 10, SCHEME_FLAGS, 'j'),
    END_OF_LIST,
};

constexpr PanelRecord SCROLL_THUMB[] = {
    rec(L_END.data(), &thumb_drag, -22, 36, 22, ROW, 0, 0, WK_DRAG_HANDLE, 2, 0, 0),
    END_OF_LIST,
};

// Record 0's y and height are rewritten by the layout before
// every opening, so that the background fills the frame below the rows.
constexpr PanelRecord BOTTOM_BAR[] = {
    rec(L_END.data(), {}, 0, -28, TO_RIGHT_EDGE, 28, 0, 0, WK_STATIC, 0, 0, 0),
    scroll_button(L_LEFT.data(), 0, -18, 4),
    rec(L_BOOKMARK_1.data(), bookmark_button, 36, -18, 70, ROW, 0, 0, WK_BUTTON, 11, 0, 0),
    rec(L_BOOKMARK_2.data(), bookmark_button, 122, -18, 70, ROW, 0, 1, WK_BUTTON, 11, 0, 0),
    rec(L_LINE_NUMBER.data(), {}, -168, -18, 120, ROW, 0, 0, WK_STATIC, 0, 0, 0),
    scroll_button(L_RIGHT.data(), -44, -18, 6),
    scroll_button(L_DOWN.data(), -22, -36, 2),
    rec(L_ENCODING.data(), {}, -222, -18, 54, ROW, 0, 0, WK_STATIC, 0, 0, 0),
    END_OF_LIST,
};

constexpr PanelRecord ABOUT_BOX[] = {
    close_entry(),
    rec(L_VERSION.data(), no_action, 8, BELOW, ENTRY_WIDTH, 36, 0, 0, WK_BUTTON, 2, MENU_FLAGS, 0),
    END_OF_LIST,
};

static_assert(lc::valid_panel(TITLE_BAR, 0));  // record 0: the title, built at run time
static_assert(lc::valid_panel(MENU_BAR));
static_assert(lc::valid_panel(FILE_MENU));
static_assert(lc::valid_panel(EDIT_MENU));
static_assert(lc::valid_panel(FIND_BAR));
static_assert(lc::valid_panel(VIEW_MENU));
static_assert(lc::valid_panel(SCROLL_THUMB));
static_assert(lc::valid_panel(BOTTOM_BAR));
static_assert(lc::valid_panel(ABOUT_BOX));
static_assert(lc::valid_panel(PATH_PROMPT));
static_assert(lc::valid_panel(REPLACE_BAR));
static_assert(lc::valid_panel(GOTO_BAR));

constinit auto title_bar = std::to_array(TITLE_BAR);
constinit auto menu_bar = std::to_array(MENU_BAR);
constinit auto file_menu = std::to_array(FILE_MENU);
constinit auto edit_menu = std::to_array(EDIT_MENU);
constinit auto find_bar = std::to_array(FIND_BAR);
constinit auto view_menu = std::to_array(VIEW_MENU);
constinit auto scroll_thumb = std::to_array(SCROLL_THUMB);
constinit auto bottom_bar = std::to_array(BOTTOM_BAR);
constinit auto about_box = std::to_array(ABOUT_BOX);
constinit auto path_prompt_bar = std::to_array(PATH_PROMPT);
constinit auto replace_bar = std::to_array(REPLACE_BAR);
constinit auto goto_bar = std::to_array(GOTO_BAR);

// Copies a pristine list over its writable list and installs it as `id`.
template <size_t N>
void install(PanelId id, const PanelRecord (&pristine)[N], std::array<PanelRecord, N>& live) {
  std::copy(std::begin(pristine), std::end(pristine), live.begin());
  panel_directory[id] = live.data();
}

}  // namespace

void reset_screen_state() {
  install(PANEL_TITLE, TITLE_BAR, title_bar);
  // The name in the title label is the file system's.
  if (file_names_are_utf8()) title_bar[0].flags |= WF_UTF8_TEXT;
  install(PANEL_MENU_BAR, MENU_BAR, menu_bar);
  install(PANEL_FILE_MENU, FILE_MENU, file_menu);
  install(PANEL_EDIT_MENU, EDIT_MENU, edit_menu);
  install(PANEL_FIND_BAR, FIND_BAR, find_bar);
  install(PANEL_VIEW_MENU, VIEW_MENU, view_menu);
  install(PANEL_THUMB, SCROLL_THUMB, scroll_thumb);
  install(PANEL_BOTTOM_BAR, BOTTOM_BAR, bottom_bar);
  install(PANEL_ABOUT, ABOUT_BOX, about_box);
  install(PANEL_PATH_PROMPT, PATH_PROMPT, path_prompt_bar);
  install(PANEL_REPLACE_BAR, REPLACE_BAR, replace_bar);
  install(PANEL_GOTO_BAR, GOTO_BAR, goto_bar);
  wt.alt_panel = PANEL_MENU_BAR;
  apply_colour_scheme(0);
}

void layout_screen() {
  const uint32_t bottom = layout_text_rows();
  // The bottom bar's background fills the frame below the rows.
  // Its y counts from the bottom edge; on a frame so tall that this does not
  // fit the record's 16 bits it is stored as the plain y of the rows' end,
  // which opens at the same place.
  if (PanelRecord* background = panel_directory[PANEL_BOTTOM_BAR]; background != nullptr) {
    const int32_t from_bottom = static_cast<int32_t>(bottom) - raster.frame_height;
    background->y = static_cast<int16_t>(from_bottom >= INT16_MIN ? from_bottom : static_cast<int32_t>(bottom));
    background->height = static_cast<uint16_t>(raster.frame_height - bottom);
  }
  open_panel(0, 0, PANEL_TITLE);
  open_panel(0, 0, PANEL_MENU_BAR);
  view.top_bars_end = static_cast<uint16_t>(wt.widget_end);
  open_panel(0, 0, PANEL_BOTTOM_BAR);
  view.bottom_bar_end = view.thumb_slot = static_cast<uint16_t>(wt.widget_end);
  open_panel(0, 0, PANEL_THUMB);
  view.thumb_end = static_cast<uint16_t>(wt.widget_end);
  wt.focus_widget = wt.default_focus;
  sync_scroll_thumb();
}

}  // namespace vusk
