// The status message's state and its posting; update_status_line (app) draws.
#include "widgets/status.h"

#include "raster/raster.h"

namespace vusk {

StatusState status;

void reset_status_state() { status = StatusState{}; }

void post_status(const char* text) {
  if (status.status_state == STATUS_SHOWN && status.paint_over != nullptr) status.paint_over();
  status.status_text = text;
  status.status_state = STATUS_POSTED;
  // The message counts as drawing: the event that posted it presents.
  raster.redraw_pending = 1;
}

}  // namespace vusk
