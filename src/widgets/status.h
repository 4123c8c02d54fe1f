// The status message: one short text, shown once at the bottom of the frame
// after the event that posted it and painted over by the next event that
// draws. This header owns the message's state and its posting, so that every
// layer from the widgets up may post one; drawing it is the app's
// (update_status_line), which installs the paint-over below.
// Widgets layer: included by the widgets, the editor, the files, the screens,
// the app and the backends.
#pragma once
#include <cstdint>

namespace vusk {

// Where the status message stands between its posting and its painting over.
enum StatusStep : uint8_t {
  STATUS_NONE = 0,     // nothing posted, nothing on screen
  STATUS_POSTED = 1,   // to be drawn after the current event
  STATUS_SHOWN = 2,    // on screen until the next event that draws
};

// The status message and how far it has come.
struct StatusState {
  const char* status_text;  // the message, zero-terminated; kept by its poster
  uint8_t status_state;     // a StatusStep
  uint32_t status_shows;    // messages drawn so far (observed by scripts)
  // Paints over a message that is on screen; installed by the app's window
  // state. Null: a shown message is left for the next drawing to cover.
  void (*paint_over)();
};
extern StatusState status;  // the one status message

// Forgets the message and the paint-over hook.
void reset_status_state();

// Posts `text` to be shown once after the current event; a message still on
// screen is painted over first, so a shorter one leaves nothing behind.
void post_status(const char* text);

}  // namespace vusk
