// The one window: creating it with its frame and font, the window procedure
// that hands input to the router and presents the DirtyRect, and the drawing
// of the status message. Portable: it reaches the display only through
// platform/platform.h.
#include "app/window.h"

#include <cstring>

#include "app/typing.h"
#include "commands/commands.h"
#include "commands/unsaved.h"
#include "editor/document.h"
#include "editor/modified.h"
#include "editor/text_view.h"
#include "raster/raster.h"
#include "raster/unicode_font.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "screens/file_menu.h"
#include "screens/panel_ids.h"
#include "screens/path_prompt.h"
#include "screens/screens.h"
#include "screens/title.h"
#include "widgets/input.h"
#include "widgets/label.h"
#include "widgets/widget_table.h"

namespace vusk {

WindowState win;

namespace {

constexpr char FONT_NAME[] = "jisfont.bin";
constexpr uint32_t FONT_PATH_BYTES = 1024;
constexpr uint32_t STATUS_COLOUR = 9;
constexpr uint32_t STATUS_X = 200;
constexpr uint32_t STATUS_RISE = 18;  // the message's top, above the frame's bottom
constexpr uint16_t LARGEST_FRAME_SIDE = 0xFFFF;

// Describes the current frame to the platform: 32 bpp, rows bottom-up.
void describe_frame() {
  BitmapInfoHeader& b = win.bitmap_info;
  b = BitmapInfoHeader{};
  b.size = sizeof(BitmapInfoHeader);
  b.width = raster.frame_width;
  b.height = raster.frame_height;  // positive: the bottom row comes first
  b.planes = 1;
  b.bit_count = 32;
  b.compression = 0;
  b.size_image = static_cast<uint32_t>(raster.frame_width) * raster.frame_height * 4u;
  b.x_pels_per_meter = 3780;
  b.y_pels_per_meter = 3780;
}

// One side of the frame after a resize: the client's side, at least `least`,
// and never more than 16 bits hold (a wrapped size could fall below the
// minimum and break the layout).
uint16_t frame_side(int32_t client, uint32_t least) {
  int64_t side = client;
  if (side < static_cast<int64_t>(least)) side = least;
  if (side > LARGEST_FRAME_SIDE) side = LARGEST_FRAME_SIDE;
  return static_cast<uint16_t>(side);
}

// A font file `name` from beside the executable, or else from where the
// platform keeps an installed copy's data, read by `load`; null when
// neither place holds one that `load` takes.
uint8_t* find_font(const char* name, uint8_t* (*load)(const char*)) {
  char path[FONT_PATH_BYTES];
  const uint32_t dir = module_directory(path, FONT_PATH_BYTES - static_cast<uint32_t>(std::strlen(name)) - 1);
  if (dir != 0) {
    std::strcpy(path + dir, name);
    if (uint8_t* font = load(path)) return font;
  }
  if (platform_hooks.installed_data_path != nullptr && platform_hooks.installed_data_path(name, path, FONT_PATH_BYTES)) {
    return load(path);
  }
  return nullptr;
}

// Shows the DirtyRect: clamps it to the frame, repaints exactly that much at
// once, and empties it.
intptr_t present_dirty_rect() {
  raster.redraw_pending = 0;
  if (raster.dirty_max_x > raster.frame_width) raster.dirty_max_x = raster.frame_width;
  if (raster.dirty_max_y > raster.frame_height) raster.dirty_max_y = raster.frame_height;
  if (raster.dirty_min_x < raster.dirty_max_x && raster.dirty_min_y < raster.dirty_max_y) {
    const PlatformRect r{static_cast<int32_t>(raster.dirty_min_x), static_cast<int32_t>(raster.dirty_min_y),
                         static_cast<int32_t>(raster.dirty_max_x), static_cast<int32_t>(raster.dirty_max_y)};
    invalidate_now(&r);
  }
  reset_dirty_rect();
  return 0;
}

// The title, menu and bottom bars lie over the status message: redrawing
// them paints it over.
void clear_status_message() {
  for (int32_t slot = view.text_rows_end; slot < view.bottom_bar_end; slot += 4) draw_widget(slot);
}

// Rebuilds the frame for the new client size of a resizable window.
void rebuild_frame() {
  PlatformRect client;
  get_client_rect(&client);
  raster.frame_width = frame_side(client.right - client.left, win.min_frame_width);
  raster.frame_height = frame_side(client.bottom - client.top, win.min_frame_height);
  alloc_framebuffer();
  describe_frame();
  // The layout refills every slot: a press or a panel drag that began
  // before would go on with whatever widget now holds its slot.
  wt.pressed_widget = NO_SLOT;
  input.rdrag_widget = NO_SLOT;
  if (win.layout_callback != nullptr) win.layout_callback();
  redraw_all_widgets();
}

// After a request handled outside the router: the titles follow the file's
// name, and the status message and whatever was drawn are shown.
intptr_t present_after_request() {
  refresh_titles();
  if (raster.redraw_pending == 0) return 0;
  if (win.shows_status_line != 0) update_status_line();
  return present_dirty_rect();
}

// A close request (the close box, Alt+F4, a quit from the system) first
// settles unsaved changes; Cancel keeps the window. One that arrives while
// a box or dialog is up cannot ask, so it is refused while there are
// changes.
intptr_t close_request(uintptr_t hwnd) {
  if (win.in_wndproc != 0) return document_modified() ? 0 : default_handling(hwnd, WM_CLOSE, 0, 0);
  win.in_wndproc = 1;
  const bool close = settle_unsaved_changes();
  win.in_wndproc = 0;
  if (close) return default_handling(hwnd, WM_CLOSE, 0, 0);
  return present_after_request();
}

// A file dropped onto the window (`path`, terminated) opens as text. One
// dropped while a box or dialog is up cannot ask about unsaved changes and
// is refused; nothing changes.
intptr_t drop_request(const char* path) {
  if (win.in_wndproc != 0 || path == nullptr) return 0;
  win.in_wndproc = 1;
  open_dropped_file(path);
  win.in_wndproc = 0;
  return present_after_request();
}

}  // namespace

void reset_window_state() {
  free_block(win.jis_font_block);
  free_block(win.unicode_font_block);
  std::memset(&win, 0, sizeof win);
  status.paint_over = clear_status_message;
}

uint8_t* load_font_file(const char* path) {
  // Read-only: an installed font lies in a directory the user may not write.
  const FileHandle file = open_existing_read(path);
  if (file == INVALID_FILE) return nullptr;
  uint8_t* font = nullptr;
  if (file_size64(file) == JIS_FONT_BYTES) {
    font = static_cast<uint8_t*>(try_alloc(JIS_FONT_BYTES));
    if (font != nullptr && read_block(JIS_FONT_BYTES, font, file) != JIS_FONT_BYTES) {
      free_block(font);
      font = nullptr;
    }
  }
  close_file(file);
  return font;
}

uint8_t* load_unicode_font_file(const char* path) {
  const FileHandle file = open_existing_read(path);
  if (file == INVALID_FILE) return nullptr;
  uint8_t* font = nullptr;
  const uint64_t size = file_size64(file);
  if (size >= UNICODE_FONT_HEADER_BYTES && size <= UNICODE_FONT_MAX_BYTES) {
    const auto bytes = static_cast<uint32_t>(size);
    font = static_cast<uint8_t*>(try_alloc(bytes));
    if (font != nullptr && (read_block(bytes, font, file) != bytes || !unicode_font_accepts(font, bytes))) {
      free_block(font);
      font = nullptr;
    }
  }
  close_file(file);
  return font;
}

void create_window(uint32_t flags, uint32_t height, uint32_t width, const char* title) {
  raster.frame_width = static_cast<uint16_t>(width);
  raster.frame_height = static_cast<uint16_t>(height);
  wt.focus_widget = wt.default_focus;
  alloc_framebuffer();
  describe_frame();

  win.hinstance = module_handle();
  const uint32_t style = (flags & WINDOW_RESIZABLE) != 0 ? WINDOW_STYLE_RESIZABLE : WINDOW_STYLE_FIXED;
  win.hwnd = create_platform_window(style, width + 6, height + 25, title);
  win.in_wndproc = 0;

  if ((flags & WINDOW_JIS_FONT) != 0) {
    flags &= ~static_cast<uint32_t>(WINDOW_JIS_FONT);
    free_block(win.jis_font_block);
    win.jis_font_block = find_font(FONT_NAME, load_font_file);
    raster.jis_font = win.jis_font_block;
    if (win.jis_font_block != nullptr) flags |= WINDOW_JIS_FONT;
  }
  // Without the Unicode glyphs, code points draw as replacement boxes.
  free_block(win.unicode_font_block);
  win.unicode_font_block = find_font(UNICODE_FONT_NAME, load_unicode_font_file);
  raster.unicode_font = win.unicode_font_block;
  win.window_flags = static_cast<uint8_t>(flags);
  input.escape_closes = (flags & WINDOW_KEEP_ESCAPE) == 0;

  PlatformRect outer, client;
  get_window_rect(&outer);
  get_client_rect(&client);
  win.frame_extra_width = (outer.right - outer.left) - (client.right - client.left);
  win.frame_extra_height = (outer.bottom - outer.top) - (client.bottom - client.top);
  resize_platform_window(width + static_cast<uint32_t>(win.frame_extra_width),
                         height + static_cast<uint32_t>(win.frame_extra_height));
  // Below the least frame the window would cut off the bars' right and
  // bottom ends (the scroll buttons, the line number).
  if ((flags & WINDOW_RESIZABLE) != 0) {
    set_window_minimum_size(win.min_frame_width + static_cast<uint32_t>(win.frame_extra_width),
                            win.min_frame_height + static_cast<uint32_t>(win.frame_extra_height));
  }
  wt.pressed_widget = NO_SLOT;
}

void act_on_route(const RouteResult& r) {
  switch (r.action) {
    case ROUTE_COMMAND: act_on_command(run_command(r.code)); break;
    // Enter in a field: the dispatcher searches, replaces or goes to a line,
    // as the field's bar asks. The path prompt's field answers its own.
    case ROUTE_SUBMITTED:
      if (!path_prompt_answered(r.action)) act_on_command(run_command(submitted_field_code()));
      break;
    // Escape in any other field that takes it as a cancel closes its bar.
    case ROUTE_CANCELLED:
      if (!path_prompt_answered(r.action)) close_panel(wt.focus_widget);
      break;
    case ROUTE_TEXT_ROW: place_cursor_by_mouse(r.y, r.x, r.phase, r.slot); break;
    case ROUTE_WHEEL: scroll_by_wheel(static_cast<int32_t>(r.code)); break;
    case ROUTE_SEQUENCE:  // typed by type_code_point, which holds the bytes
    case ROUTE_NONE: break;
  }
}

intptr_t window_procedure(uintptr_t hwnd, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (message == WM_USER) return 0;
  if (message == WM_UNICHAR && wparam == UNICODE_NOCHAR) return 1;  // yes, code points are welcome
  if (message == WM_PAINT) {
    if (raster.frame_ready == 0) return default_handling(hwnd, message, wparam, lparam);
    paint_frame(raster.frame_pixels, raster.frame_width, raster.frame_height);
    return 0;
  }
  if (message == WM_CREATE) return 0;
  if (message == WM_DESTROY) {
    post_quit_message(0);
    return 0;
  }
  if (message == WM_CLOSE) return close_request(hwnd);
  if (message == WM_DROPFILES) return drop_request(reinterpret_cast<const char*>(wparam));
  // A message that arrives while another is being handled (from inside a
  // message box or file dialog) must not reach the system's logic.
  if (win.in_wndproc != 0) return default_handling(hwnd, message, wparam, lparam);
  win.in_wndproc = 1;

  if (message == WM_SIZE && (win.window_flags & WINDOW_RESIZABLE) != 0) {
    rebuild_frame();
    win.in_wndproc = 0;
    return present_dirty_rect();
  }

  const auto position = static_cast<uint32_t>(static_cast<uintptr_t>(lparam));
  input.utf8_fields = doc.encoding == ENCODING_UTF8;
  if (message == WM_UNICHAR) type_code_point(static_cast<uint32_t>(wparam));
  else act_on_route(route_input(position >> 16, position & 0xFFFFu, wparam, message));
  refresh_titles();  // a load or a save may have named another file
  win.in_wndproc = 0;
  if (raster.redraw_pending == 0) return default_handling(hwnd, message, wparam, lparam);
  if (win.shows_status_line != 0) update_status_line();
  return present_dirty_rect();
}

void act_on_command(uint32_t result) {
  if ((result & COMMAND_SAVE) != 0) save_in_place();
  if ((result & COMMAND_OPEN) != 0) open_as_text();
  if ((result & COMMAND_FIND) != 0) show_panel_by_id(PANEL_FIND_BAR);
  if ((result & COMMAND_REPLACE) != 0) show_panel_by_id(PANEL_REPLACE_BAR);
  if ((result & COMMAND_GO_TO) != 0) show_panel_by_id(PANEL_GOTO_BAR);
}

void update_status_line() {
  switch (status.status_state) {
    case STATUS_POSTED:
      draw_string(status.status_text, STATUS_COLOUR, raster.frame_height - STATUS_RISE, STATUS_X);
      status.status_state = STATUS_SHOWN;
      ++status.status_shows;
      break;
    case STATUS_SHOWN:
      clear_status_message();
      status.status_state = STATUS_NONE;
      break;
    default:
      break;
  }
}

}  // namespace vusk
