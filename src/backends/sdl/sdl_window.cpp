// The SDL2 window: creation, presentation through the window surface, and
// the message queue that SDL events are translated into. The core's window
// procedure sees the same message sequence a Win32 window would get.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "platform/messages.h"
#include "platform/platform.h"
#include "backends/sdl/sdl_backend.h"
#include "backends/sdl/sdl_translate.h"
#include "app/display_scale.h"
#include "app/window.h"

namespace vusk {

namespace sdl {

SdlState state;

namespace {

constexpr uint32_t WS_THICKFRAME = 0x00040000;  // the sizing frame of a window style

void push(uint32_t message, uintptr_t wparam, intptr_t lparam) {
  state.queue.push_back(PlatformMessage{state.hwnd, message, wparam, lparam});
}

// The frame-pixel factor, at least 1.
int32_t scale() { return state.scale > 1 ? static_cast<int32_t>(state.scale) : 1; }

// The window's size in display pixels, 0 x 0 while there is no window.
void display_size(int* w, int* h) {
  *w = *h = 0;
  if (state.window != nullptr) SDL_GetWindowSize(state.window, w, h);
}

// Sets the window's size, given in frame pixels.
void set_frame_size(int32_t width, int32_t height) {
  SDL_SetWindowSize(state.window, width * scale(), height * scale());
}

// Tells the core about a new client size (once per size) and repaints the
// whole client area, as a window class that redraws on resize gets.
void deliver_size(int32_t width, int32_t height) {
  if (width == state.reported_width && height == state.reported_height) return;
  state.reported_width = width;
  state.reported_height = height;
  window_procedure(state.hwnd, WM_SIZE, 0, make_position(static_cast<uint32_t>(height), static_cast<uint32_t>(width)));
  invalidate_now(nullptr);
}

// Puts a window made smaller than its least size back to that size: a window
// manager refuses such a size, but a bare X server lets any client set it.
void keep_minimum_size(int32_t* width, int32_t* height) {
  if (state.window == nullptr || (*width >= state.min_width && *height >= state.min_height)) return;
  if (*width < state.min_width) *width = state.min_width;
  if (*height < state.min_height) *height = state.min_height;
  set_frame_size(*width, *height);
}

// The window's client size now in frame pixels, 0 x 0 while there is no
// window. A display size that the factor does not divide leaves its last
// few pixels unused.
void client_size(int* w, int* h) {
  display_size(w, h);
  *w /= scale();
  *h /= scale();
}

// A pointer position in display pixels as frame pixels.
int32_t frame_at(int32_t display) { return to_frame_coordinate(display, state.scale); }

// Measures the room: the usable part of the display (without panels and
// docks), less the window manager's frame once the window has one.
void measure_room() {
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{};
  int top = 0, left = 0, bottom = 0, right = 0;
  if (state.window == nullptr || SDL_GetWindowBordersSize(state.window, &top, &left, &bottom, &right) != 0) {
    top = left = bottom = right = 0;
  }
  state.room_width = usable.w > 0 ? usable.w - left - right : 0;
  state.room_height = usable.h > 0 ? usable.h - top - bottom : 0;
}

// A window side of `side` frame pixels, shrunk as far as the room needs but
// never below the least frame.
int32_t fitted_width(uint32_t side) {
  return static_cast<int32_t>(fit_frame_side(side, win.min_frame_width, state.scale, state.room_width));
}
int32_t fitted_height(uint32_t side) {
  return static_cast<int32_t>(fit_frame_side(side, win.min_frame_height, state.scale, state.room_height));
}

// The user's factor: kept (the frame shrinks to fit the room instead) unless
// even the least frame would not fit at it; then the largest that fits.
uint32_t user_scale(uint32_t given) {
  const uint32_t fitted =
      fit_scale(given, win.min_frame_width, win.min_frame_height, state.room_width, state.room_height);
  if (fitted < given) {
    std::fprintf(stderr, "vusk: at VUSK_SCALE=%u the window cannot fit the screen; factor %u instead\n", given,
                 fitted);
  }
  return fitted;
}

// The factor for a frame of `width` x `height`: VUSK_SCALE when it holds one,
// else the display's density, lowered until the window fits the room.
uint32_t choose_scale(uint32_t width, uint32_t height) {
  uint32_t given = 1;
  const char* text = SDL_getenv("VUSK_SCALE");
  if (parse_scale(text, &given)) return user_scale(given);
  if (text != nullptr && *text != 0) {
    std::fprintf(stderr, "vusk: VUSK_SCALE=%s is not a whole number from 1 to %u; the display decides\n", text,
                 MAX_DISPLAY_SCALE);
  }
  float dpi = 0;
  if (SDL_GetDisplayDPI(0, nullptr, &dpi, nullptr) != 0) return 1;
  return fit_scale(scale_for_dpi(dpi), width, height, state.room_width, state.room_height);
}

// The modifier bits the mouse messages carry.
uint16_t mouse_mod() { return static_cast<uint16_t>(SDL_GetModState()); }

// Translates an event of our window: a close request, a new size, or an
// exposed part, which is repainted at once.
void translate_window_event(const SDL_WindowEvent& e, Messages* out) {
  if (state.window == nullptr || e.windowID != SDL_GetWindowID(state.window)) return;
  if (e.event == SDL_WINDOWEVENT_CLOSE) {
    out->push_back({state.hwnd, WM_CLOSE, 0, 0});
  } else if (e.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
    const auto width = static_cast<uint32_t>(e.data1 / scale()), height = static_cast<uint32_t>(e.data2 / scale());
    out->push_back({state.hwnd, WM_SIZE, 0, make_position(height, width)});
  } else if (e.event == SDL_WINDOWEVENT_EXPOSED) {
    invalidate_now(nullptr);
  }
}

// One file of a drop, whose name SDL hands over to be freed: the first of
// the drop becomes the path a WM_DROPFILES will carry, the rest are left out.
void take_dropped_file(char* file, Messages* out) {
  if (file != nullptr && !state.drop_taken) {
    state.drop_taken = true;
    state.drop_path = file;
    out->push_back({state.hwnd, WM_DROPFILES, 0, 0});
  }
  SDL_free(file);
}

// Translates one SDL event into messages (appended to `out`).
void translate_event(const SDL_Event& e, Messages* out) {
  int w = 0, h = 0;
  switch (e.type) {
    case SDL_QUIT:
      out->push_back({state.hwnd, WM_CLOSE, 0, 0});
      break;
    case SDL_WINDOWEVENT:
      translate_window_event(e.window, out);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      state.key_mod = e.key.keysym.mod;
      translate_key(e.type == SDL_KEYDOWN, e.key.repeat != 0, e.key.keysym.sym, e.key.keysym.scancode,
                    e.key.keysym.mod, out);
      break;
    case SDL_TEXTINPUT:
      translate_text(e.text.text, state.key_mod, out);
      break;
    case SDL_MOUSEMOTION:
      client_size(&w, &h);
      translate_motion(frame_at(e.motion.x), frame_at(e.motion.y), w, h, mouse_mod(), state.buttons, out);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      client_size(&w, &h);
      translate_button(e.type == SDL_MOUSEBUTTONDOWN, e.button.button, frame_at(e.button.x), frame_at(e.button.y), w, h,
                       mouse_mod(), &state.buttons, out, e.button.clicks);
      break;
    case SDL_MOUSEWHEEL: {
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      translate_wheel(e.wheel.preciseY, e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED, frame_at(x), frame_at(y),
                      mouse_mod(), state.buttons, out);
      break;
    }
    case SDL_DROPBEGIN:
    case SDL_DROPCOMPLETE:
      state.drop_taken = false;
      break;
    case SDL_DROPFILE:
      take_dropped_file(e.drop.file, out);
      break;
    case SDL_DROPTEXT:  // dropped text is not a file: only its copy is freed
      SDL_free(e.drop.file);
      break;
    default:
      break;
  }
  for (PlatformMessage& m : *out) m.hwnd = state.hwnd;
}

// Messages a disabled owner window still needs once its modal helper ends.
bool kept_while_modal(uint32_t message) {
  switch (message) {
    case WM_SIZE:
    case WM_CLOSE:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      return true;
    default:
      return false;
  }
}

}  // namespace

void pump_modal() {
  if (state.window == nullptr) return;
  SDL_Event e;
  Messages out;
  while (SDL_PollEvent(&e) != 0) {
    out.clear();
    translate_event(e, &out);
    for (const PlatformMessage& m : out) {
      if (kept_while_modal(m.message)) state.queue.push_back(m);
    }
  }
}

}  // namespace sdl

using sdl::state;

uintptr_t create_platform_window(uint32_t style, uint32_t outer_width, uint32_t outer_height, const char* title) {
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // A click on the close box would otherwise bring the window's close event
  // and then a quit event: two close requests, two unsaved-changes questions.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // The window surface stays the system's own pixels (MIT-SHM on X11), so
  // that only the DirtyRect goes to the screen. Otherwise SDL backs it with a
  // GL texture: every update repaints the whole window, and the first surface
  // re-creates the window under a new X id.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_EnableScreenSaver();
  uint32_t flags = SDL_WINDOW_SHOWN;
  if ((style & sdl::WS_THICKFRAME) != 0) flags |= SDL_WINDOW_RESIZABLE;
  sdl::measure_room();
  state.scale = sdl::choose_scale(outer_width, outer_height);
  const auto s = static_cast<int>(state.scale);
  // SDL centres the window on the display: at a size that fits, it lies
  // wholly on the screen.
  state.window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                  sdl::fitted_width(outer_width) * s, sdl::fitted_height(outer_height) * s, flags);
  if (state.window == nullptr) {
    std::fprintf(stderr, "vusk: cannot create the window: %s\n", SDL_GetError());
    exit_process(1);
  }
  sdl::measure_room();  // the window manager's frame is known now
  state.hwnd = reinterpret_cast<uintptr_t>(state.window);
  sdl::client_size(&state.reported_width, &state.reported_height);
  SDL_StartTextInput();
  window_procedure(state.hwnd, WM_CREATE, 0, 0);
  return state.hwnd;
}

uintptr_t module_handle() { return 1; }

// SDL windows have no frame of their own: the outer size is the client size.
// Sizes here and below are in frame pixels; only the position is the display's.
void get_window_rect(PlatformRect* rect) {
  int x = 0, y = 0, w = 0, h = 0;
  if (state.window != nullptr) SDL_GetWindowPosition(state.window, &x, &y);
  sdl::client_size(&w, &h);
  *rect = {x, y, x + w, y + h};
}

void get_client_rect(PlatformRect* rect) {
  int w = 0, h = 0;
  sdl::client_size(&w, &h);
  *rect = {0, 0, w, h};
}

// Never larger than the room. The core always hears of the size the window
// got: after creation it holds the size it asked for, which a window fitted
// to the room may not have.
void resize_platform_window(uint32_t outer_width, uint32_t outer_height) {
  if (state.window == nullptr) return;
  sdl::set_frame_size(sdl::fitted_width(outer_width), sdl::fitted_height(outer_height));
  // Win32 sends WM_SIZE from inside the resize; the event SDL queues for it
  // is then recognised as already reported.
  int w = 0, h = 0;
  sdl::client_size(&w, &h);
  state.reported_width = state.reported_height = -1;
  sdl::deliver_size(w, h);
}

void set_window_minimum_size(uint32_t outer_width, uint32_t outer_height) {
  state.min_width = static_cast<int32_t>(outer_width);
  state.min_height = static_cast<int32_t>(outer_height);
  const int32_t s = sdl::scale();
  if (state.window != nullptr) SDL_SetWindowMinimumSize(state.window, state.min_width * s, state.min_height * s);
}

// SDL wants UTF-8: a name that is not is taken as CP932.
void set_window_title(const char* title) {
  if (state.window == nullptr) return;
  SDL_SetWindowTitle(state.window, sdl::shown_text(title, std::strlen(title)).c_str());
}

void invalidate_now(const PlatformRect* rect) {
  if (state.window == nullptr) return;
  int w = 0, h = 0;
  sdl::client_size(&w, &h);
  PlatformRect r = rect != nullptr ? *rect : PlatformRect{0, 0, w, h};
  if (r.left < 0) r.left = 0;
  if (r.top < 0) r.top = 0;
  if (r.right > w) r.right = w;
  if (r.bottom > h) r.bottom = h;
  if (r.left >= r.right || r.top >= r.bottom) return;
  state.paint_rect = r;
  window_procedure(state.hwnd, WM_PAINT, 0, 0);
}

// Copies frame pixels [left, right) of one row into `scale` surface rows
// from display row `y`, each pixel repeated `scale` times across (nearest
// neighbour: no pixel is blurred).
void sdl::put_row(SDL_Surface* surface, const uint32_t* src, int32_t columns, int32_t x, int32_t y) {
  const int32_t s = scale();
  uint8_t* dst = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch +
                 static_cast<size_t>(x) * surface->format->BytesPerPixel;
  const uint32_t* line = src;
  if (s > 1) {
    state.wide_row.resize(static_cast<size_t>(columns) * s);
    for (int32_t i = 0; i < columns; ++i) std::fill_n(state.wide_row.begin() + i * s, s, src[i]);
    line = state.wide_row.data();
  }
  const int32_t width = columns * s;
  for (int32_t k = 0; k < s; ++k, dst += surface->pitch) {
    if (surface->format->format == SDL_PIXELFORMAT_XRGB8888) {
      std::memcpy(dst, line, static_cast<size_t>(width) * 4);
    } else {
      SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_XRGB8888, line, width * 4, surface->format->format, dst,
                        surface->pitch);
    }
  }
}

void paint_frame(const uint32_t* pixels, uint32_t width, uint32_t height) {
  if (state.window == nullptr) return;
  // Fetched on every paint: SDL replaces the surface after a resize.
  SDL_Surface* surface = SDL_GetWindowSurface(state.window);
  if (surface == nullptr) return;
  const int32_t s = sdl::scale();
  PlatformRect r = state.paint_rect;  // in frame pixels
  if (r.right > surface->w / s) r.right = surface->w / s;
  if (r.bottom > surface->h / s) r.bottom = surface->h / s;
  if (r.right > static_cast<int32_t>(width)) r.right = static_cast<int32_t>(width);
  if (r.bottom > static_cast<int32_t>(height)) r.bottom = static_cast<int32_t>(height);
  if (r.left >= r.right || r.top >= r.bottom) return;
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
  for (int32_t y = r.top; y < r.bottom; ++y) {
    // The frame is stored bottom-up; the surface top-down.
    const uint32_t* src = pixels + static_cast<size_t>(height - 1 - static_cast<uint32_t>(y)) * width + r.left;
    sdl::put_row(surface, src, r.right - r.left, r.left * s, y * s);
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  const SDL_Rect update{r.left * s, r.top * s, (r.right - r.left) * s, (r.bottom - r.top) * s};
  SDL_UpdateWindowSurfaceRects(state.window, &update, 1);
}

intptr_t default_handling(uintptr_t hwnd, uint32_t message, uintptr_t, intptr_t) {
  if (message == WM_CLOSE && state.window != nullptr) {
    // As DestroyWindow: WM_DESTROY first, then the window goes.
    window_procedure(hwnd, WM_DESTROY, 0, 0);
    SDL_DestroyWindow(state.window);
    state.window = nullptr;
  }
  return 0;
}

void post_quit_message(int code) {
  state.quit_posted = true;
  state.quit_code = code;
}

void post_close_message() { sdl::push(WM_CLOSE, 0, 0); }

bool get_platform_message(PlatformMessage* message) {
  sdl::Messages out;
  for (;;) {
    if (state.quit_posted) {
      *message = {state.hwnd, WM_QUIT, static_cast<uintptr_t>(state.quit_code), 0};
      return false;
    }
    if (!state.queue.empty()) {
      *message = state.queue.front();
      state.queue.pop_front();
      return true;
    }
    SDL_Event e;
    if (SDL_WaitEvent(&e) == 0) {
      std::fprintf(stderr, "vusk: waiting for events failed: %s\n", SDL_GetError());
      exit_process(1);
    }
    out.clear();
    sdl::translate_event(e, &out);
    state.queue.insert(state.queue.end(), out.begin(), out.end());
  }
}

void dispatch_platform_message(const PlatformMessage* message) {
  // Keys were translated into characters when their events were read.
  if (message->message == WM_SIZE) {
    // Sizes reported while the user drags the frame queue up: only the one
    // the window has now matters.
    PlatformRect client;
    get_client_rect(&client);
    sdl::keep_minimum_size(&client.right, &client.bottom);
    sdl::deliver_size(client.right, client.bottom);
    return;
  }
  if (message->message == WM_DROPFILES) {
    // The path is the backend's until the core has taken it; a second drop
    // queued meanwhile left only its own path, which the first message took.
    const std::string path = std::move(state.drop_path);
    state.drop_path.clear();
    if (!path.empty()) window_procedure(message->hwnd, WM_DROPFILES, reinterpret_cast<uintptr_t>(path.c_str()), 0);
    return;
  }
  window_procedure(message->hwnd, message->message, message->wparam, message->lparam);
}

}  // namespace vusk
