// The SDL2 window: creation, presentation through the window surface, and
// the message queue that SDL events are translated into. The core's window
// procedure sees the same message sequence a Win32 window would get.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/messages.h"
#include "platform/platform.h"
#include "backends/sdl/sdl_backend.h"
#include "backends/sdl/sdl_translate.h"
#include "app/window.h"

namespace vusk {

namespace sdl {

SdlState state;

namespace {

constexpr uint32_t WS_THICKFRAME = 0x00040000;  // the sizing frame of a window style

void push(uint32_t message, uintptr_t wparam, intptr_t lparam) {
  state.queue.push_back(PlatformMessage{state.hwnd, message, wparam, lparam});
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
  SDL_SetWindowSize(state.window, *width, *height);
}

// The window's client size now, 0 x 0 while there is no window.
void client_size(int* w, int* h) {
  *w = *h = 0;
  if (state.window != nullptr) SDL_GetWindowSize(state.window, w, h);
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
    const intptr_t size = make_position(static_cast<uint32_t>(e.data2), static_cast<uint32_t>(e.data1));
    out->push_back({state.hwnd, WM_SIZE, 0, size});
  } else if (e.event == SDL_WINDOWEVENT_EXPOSED) {
    invalidate_now(nullptr);
  }
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
      translate_motion(e.motion.x, e.motion.y, w, h, mouse_mod(), state.buttons, out);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      client_size(&w, &h);
      translate_button(e.type == SDL_MOUSEBUTTONDOWN, e.button.button, e.button.x, e.button.y, w, h, mouse_mod(),
                       &state.buttons, out);
      break;
    case SDL_MOUSEWHEEL: {
      int x = 0, y = 0;
      SDL_GetMouseState(&x, &y);
      translate_wheel(e.wheel.preciseY, e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED, x, y, mouse_mod(),
                      state.buttons, out);
      break;
    }
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
  state.window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                  static_cast<int>(outer_width), static_cast<int>(outer_height), flags);
  if (state.window == nullptr) {
    std::fprintf(stderr, "vusk: cannot create the window: %s\n", SDL_GetError());
    exit_process(1);
  }
  state.hwnd = reinterpret_cast<uintptr_t>(state.window);
  SDL_GetWindowSize(state.window, &state.reported_width, &state.reported_height);
  SDL_StartTextInput();
  window_procedure(state.hwnd, WM_CREATE, 0, 0);
  return state.hwnd;
}

uintptr_t module_handle() { return 1; }

// SDL windows have no frame of their own: the outer size is the client size.
void get_window_rect(PlatformRect* rect) {
  int x = 0, y = 0, w = 0, h = 0;
  if (state.window != nullptr) {
    SDL_GetWindowPosition(state.window, &x, &y);
    SDL_GetWindowSize(state.window, &w, &h);
  }
  *rect = {x, y, x + w, y + h};
}

void get_client_rect(PlatformRect* rect) {
  int w = 0, h = 0;
  if (state.window != nullptr) SDL_GetWindowSize(state.window, &w, &h);
  *rect = {0, 0, w, h};
}

void resize_platform_window(uint32_t outer_width, uint32_t outer_height) {
  if (state.window == nullptr) return;
  SDL_SetWindowSize(state.window, static_cast<int>(outer_width), static_cast<int>(outer_height));
  // Win32 sends WM_SIZE from inside the resize; the event SDL queues for it
  // is then recognised as already reported.
  int w = 0, h = 0;
  SDL_GetWindowSize(state.window, &w, &h);
  sdl::deliver_size(w, h);
}

void set_window_minimum_size(uint32_t outer_width, uint32_t outer_height) {
  state.min_width = static_cast<int32_t>(outer_width);
  state.min_height = static_cast<int32_t>(outer_height);
  if (state.window != nullptr) SDL_SetWindowMinimumSize(state.window, state.min_width, state.min_height);
}

// The name in the title is CP932, as all the core's text is; SDL wants UTF-8.
void set_window_title(const char* title) {
  if (state.window == nullptr) return;
  SDL_SetWindowTitle(state.window, sdl::cp932_to_utf8(title, std::strlen(title)).c_str());
}

void invalidate_now(const PlatformRect* rect) {
  if (state.window == nullptr) return;
  int w = 0, h = 0;
  SDL_GetWindowSize(state.window, &w, &h);
  PlatformRect r = rect != nullptr ? *rect : PlatformRect{0, 0, w, h};
  if (r.left < 0) r.left = 0;
  if (r.top < 0) r.top = 0;
  if (r.right > w) r.right = w;
  if (r.bottom > h) r.bottom = h;
  if (r.left >= r.right || r.top >= r.bottom) return;
  state.paint_rect = r;
  window_procedure(state.hwnd, WM_PAINT, 0, 0);
}

void paint_frame(const uint32_t* pixels, uint32_t width, uint32_t height) {
  if (state.window == nullptr) return;
  // Fetched on every paint: SDL replaces the surface after a resize.
  SDL_Surface* surface = SDL_GetWindowSurface(state.window);
  if (surface == nullptr) return;
  PlatformRect r = state.paint_rect;
  if (r.right > surface->w) r.right = surface->w;
  if (r.bottom > surface->h) r.bottom = surface->h;
  if (r.right > static_cast<int32_t>(width)) r.right = static_cast<int32_t>(width);
  if (r.bottom > static_cast<int32_t>(height)) r.bottom = static_cast<int32_t>(height);
  if (r.left >= r.right || r.top >= r.bottom) return;
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
  const int columns = r.right - r.left;
  const uint32_t format = surface->format->format;
  const int bytes_per_pixel = surface->format->BytesPerPixel;
  for (int32_t y = r.top; y < r.bottom; ++y) {
    // The frame is stored bottom-up; the surface top-down.
    const uint32_t* src = pixels + static_cast<size_t>(height - 1 - static_cast<uint32_t>(y)) * width + r.left;
    uint8_t* dst = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch +
                   static_cast<size_t>(r.left) * bytes_per_pixel;
    if (format == SDL_PIXELFORMAT_XRGB8888) {
      std::memcpy(dst, src, static_cast<size_t>(columns) * 4);
    } else {
      SDL_ConvertPixels(columns, 1, SDL_PIXELFORMAT_XRGB8888, src, columns * 4, format, dst, surface->pitch);
    }
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  const SDL_Rect update{r.left, r.top, columns, r.bottom - r.top};
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
  window_procedure(message->hwnd, message->message, message->wparam, message->lparam);
}

}  // namespace vusk
