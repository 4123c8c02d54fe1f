// The document's name where the user sees it: the title bar's label and the
// system's window title. Both are derived from the files layer's file_name,
// so the loads and saves below never call up to keep them true. Screens
// layer: included by the panels, the app and the tests.
#pragma once
#include <cstdint>

#include "files/load_save.h"
#include "widgets/label_builders.h"

namespace vusk {

// The title label's fixed start, which the bare name continues directly:
// colour 9 and the text "current file:".
inline constexpr auto title_template = lc::label(lc::colour(9), lc::text("current file:"), lc::end());
// The name is appended to the template's last text.
static_assert(lc::ends_with_text(title_template));

struct TitleState {
  uint8_t label[PATH_BYTES];  // LabelCode of the title bar's file label
  // The window title last handed to the system, so that it is set again only
  // when the name or the modified mark changes.
  char window_title[PATH_BYTES + 16];
};
extern TitleState title;

// The label holds the bare template and no window title has been set.
void reset_title_state();

// Builds the title label from file_name: the template's "current file:" and
// as much of the name as fits the frame; true when that changed it. For the
// refresh before each full redraw, which draws the title bar.
bool refresh_title_label();
// Gives the window the title "NAME - Vusk", or "NAME* - Vusk" while the
// Document has unsaved changes, unless it has it already.
void refresh_window_title();
// Both titles after a message that may have loaded, saved or edited: a title
// bar whose label changed is drawn again (title and menu bar slots).
void refresh_titles();

}  // namespace vusk
