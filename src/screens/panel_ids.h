// The application's panel ids: the entries of the PanelDirectory that the
// screens fill and lay out, with their names for state dumps and tests.
// Screens layer: the screens, the app and the tests include it; the layers
// below know panels only by number.
#pragma once
#include <cstdint>

#include "widgets/widget_table.h"

namespace vusk {

// The text rows carry PANEL_TITLE too: they and the title bar form the base
// panel, which has no hotkeys.
enum PanelId : uint8_t {
  PANEL_TITLE = BASE_PANEL,
  PANEL_MENU_BAR = 1,
  PANEL_FILE_MENU = 2,
  PANEL_EDIT_MENU = 3,
  PANEL_FIND_BAR = 4,
  PANEL_VIEW_MENU = 5,
  PANEL_THUMB = 6,
  PANEL_BOTTOM_BAR = 7,
  PANEL_ABOUT = 8,
  PANEL_PATH_PROMPT = 9,  // asks for a path where no file dialog can be shown
  PANEL_REPLACE_BAR = 10,  // the find field with the replacement's field under it
  PANEL_GOTO_BAR = 11,     // a line number, or a byte offset in a hex listing
};
static_assert(PANEL_GOTO_BAR + 1 == PANEL_COUNT);  // every id has a directory entry

// The names of the panel ids, in id order.
constexpr const char* PANEL_NAMES[] = {"TITLE",     "MENU_BAR", "FILE_MENU",  "EDIT_MENU", "FIND_BAR",
                                       "VIEW_MENU", "THUMB",    "BOTTOM_BAR", "ABOUT",
                                       "PATH_PROMPT", "REPLACE_BAR", "GOTO_BAR"};
static_assert(sizeof PANEL_NAMES / sizeof PANEL_NAMES[0] == PANEL_COUNT);

// The name of panel id `panel` as PanelId spells it without its prefix
// ("FILE_MENU"); null for an id past the directory.
constexpr const char* panel_name(uint32_t panel) { return panel < PANEL_COUNT ? PANEL_NAMES[panel] : nullptr; }

}  // namespace vusk
