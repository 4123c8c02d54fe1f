// The input router: every mouse and keyboard message the window procedure
// does not handle itself acts on a widget here, or goes on through a hook:
// keys as CommandCodes to the editing dispatcher, presses on text rows and
// the wheel to the text view.
#include "widgets/input.h"

#include <cstring>

#include "raster/raster.h"
#include "raster/unicode_width.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "widgets/label.h"
#include "widgets/widget_table.h"

namespace vusk {

InputState input;

// Key-downs routed as CommandCodes (256 + virtual-key code), by virtual key.
// Row r holds the keys 16r .. 16r+15.
const uint8_t command_key_table[160] = {
    // 0 1  2  3  4  5  6  7  8  9  A  B  C  D  E  F
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x00
    1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x10 Shift Ctrl Alt Pause CapsLock
    0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 0,  // 0x20 PgUp..Down, Insert, Delete
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x30
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x40
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x50
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x60
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0,  // 0x70 F1..F10
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x80
    1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 0x90 NumLock ScrollLock
};
static_assert(sizeof command_key_table == 160);

void reset_input_state() {
  input = InputState{};
  input.rdrag_widget = NO_SLOT;
  input.escape_closes = 1;
  input.routed.slot = NO_SLOT;
}

namespace {

constexpr uint32_t CHAR_OFFSET = 0;
constexpr uint32_t KEY_OFFSET = 256;

int32_t idx(int32_t slot) { return slot_index(slot); }

// A key that no widget uses, left for the editing dispatcher.
void send_command(uint32_t code) { input.routed = RouteResult{ROUTE_COMMAND, code, 0, 0, 0, NO_SLOT}; }

// A press (phase 0), drag (phase 1) or double-click (phase 2) at (x, y) on
// text row `slot`, left for the text view in the row's own coordinates.
void press_text_row(uint32_t y, uint32_t x, uint32_t phase, int32_t slot) {
  input.routed = RouteResult{ROUTE_TEXT_ROW, 0, y - wt.w_y[idx(slot)], x - wt.w_x[idx(slot)], phase, slot};
}

bool is_text_row(int32_t slot) { return is_live_slot(slot) && wt.w_kind[idx(slot)] == WK_TEXT_ROW; }

// Applies a widget's action, redraws everything if it asks for that, and
// ends every press.
void activate(int32_t slot) {
  const int32_t i = idx(slot);
  auto* byte = static_cast<uint8_t*>(wt.w_data[i].ptr);
  switch (wt.w_kind[i]) {
    case WK_TOGGLE:
      *byte = static_cast<uint8_t>((*byte ^ 1) & 1);
      break;
    case WK_BUTTON:
      wt.w_data[i].handler(slot);
      break;
    case WK_CYCLE:
      *byte = static_cast<uint8_t>(*byte + 1);
      if (*byte == wt.w_value[i]) *byte = 0;
      break;
    default:
      break;
  }
  // A handler may have opened or closed panels: read whatever the slot holds now.
  if (wt.w_flags[i] & WF_REDRAW_ALL) redraw_all_widgets();
  release_pressed();
}

// Activates the slot under the pointer if the press began on it.
void release_at(int32_t slot) {
  if (slot != NO_SLOT && (wt.w_flags[idx(slot)] & WF_PRESSED)) {
    activate(slot);
  } else {
    release_pressed();
  }
}

// Moves the focus to the previous (d = -1) or next (d = +1) slot of the
// focused slot's panel, wrapping around the table.
void move_focus_in_panel(int32_t d) {
  const int32_t old = wt.focus_widget;
  const uint8_t panel = wt.w_panel[idx(old)];
  int32_t f = old;
  do {
    f += 4 * d;
    if (f >= wt.widget_end) f = 0;
    if (f < 0) f = wt.widget_end - 4;
  } while (wt.w_panel[idx(f)] != panel);
  wt.focus_widget = f;
  draw_widget(old);
  draw_widget(f);
}

void left_button_up(uint32_t y, uint32_t x) { release_at(hit_test(y, x)); }

// Moves a pressed drag handle by the pointer's movement since the last move,
// kept inside its descriptor's limits.
void drag_handle(int32_t slot, int32_t y, int32_t x) {
  const int32_t i = idx(slot);
  const auto* d = static_cast<const DragDescriptor*>(wt.w_data[i].ptr);
  const int32_t fw = raster.frame_width, fh = raster.frame_height;
  const int32_t min_x = d->min_x < 0 ? d->min_x + fw : d->min_x;
  const int32_t max_x = d->max_x < 0 ? d->max_x + fw : d->max_x;
  const int32_t min_y = d->min_y < 0 ? d->min_y + fh : d->min_y;
  const int32_t max_y = d->max_y < 0 ? d->max_y + fh : d->max_y;
  const int32_t dx = x - input.press_x, dy = y - input.press_y;
  input.press_x = x;
  input.press_y = y;
  int32_t nx = wt.w_x[i] + dx, ny = wt.w_y[i] + dy;
  if (nx < min_x) nx = min_x;
  if (ny < min_y) ny = min_y;
  if (nx > max_x) nx = max_x;
  if (ny > max_y) ny = max_y;
  wt.w_x[i] = static_cast<uint16_t>(nx);
  wt.w_y[i] = static_cast<uint16_t>(ny);
  d->on_move(slot);
  redraw_all_widgets();
}

// One step of a right-button panel drag: the whole panel follows the
// pointer, each of its widgets kept on the frame.
void drag_panel(int32_t y, int32_t x, uintptr_t key) {
  if (input.rdrag_widget == NO_SLOT) return;
  if (!(key & MK_RBUTTON)) {
    input.rdrag_widget = NO_SLOT;
    return;
  }
  int32_t dx = x - input.rdrag_x, dy = y - input.rdrag_y;
  input.rdrag_x = x;
  input.rdrag_y = y;
  const uint8_t panel = wt.w_panel[idx(input.rdrag_widget)];
  const int32_t fw = raster.frame_width, fh = raster.frame_height;
  for (int32_t s = 0; s < wt.widget_end; s += 4) {
    const int32_t i = idx(s);
    if (wt.w_panel[i] != panel) continue;
    if (wt.w_x[i] + dx < 0) dx = -wt.w_x[i];
    if (wt.w_x[i] + dx + wt.w_width[i] >= fw) dx = fw - wt.w_width[i] - wt.w_x[i];
    if (wt.w_y[i] + dy < 0) dy = -wt.w_y[i];
    if (wt.w_y[i] + dy + wt.w_height[i] >= fh) dy = fh - wt.w_height[i] - wt.w_y[i];
  }
  for (int32_t s = 0; s < wt.widget_end; s += 4) {
    const int32_t i = idx(s);
    if (wt.w_panel[i] != panel) continue;
    wt.w_x[i] = static_cast<uint16_t>(wt.w_x[i] + dx);
    wt.w_y[i] = static_cast<uint16_t>(wt.w_y[i] + dy);
  }
  redraw_all_widgets();
}

void mouse_move(uint32_t y, uint32_t x, uintptr_t key) {
  const int32_t p = wt.pressed_widget;
  if (p != NO_SLOT) {
    if (!(key & MK_LBUTTON)) {  // released where the window did not see it
      left_button_up(y, x);
      return;
    }
    const int32_t i = idx(p);
    switch (wt.w_kind[i]) {
      case WK_SLIDER: {
        int32_t v = static_cast<int32_t>(x) - input.press_x + input.drag_origin_value;
        if (v < 0) v = 0;
        if (v >= wt.w_width[i] - 11) v = wt.w_width[i] - 12;
        wt.w_value[i] = static_cast<uint16_t>(v);
        draw_widget(p);
        break;
      }
      case WK_TEXT_ROW: {
        const int32_t r = hit_test(y, x);
        if (is_text_row(r)) press_text_row(y, x, 1, r);
        break;
      }
      case WK_DRAG_HANDLE:
        drag_handle(p, static_cast<int32_t>(y), static_cast<int32_t>(x));
        return;
      default:
        break;
    }
  }
  drag_panel(static_cast<int32_t>(y), static_cast<int32_t>(x), key);
}

// A press, or with `phase` 2 the second press of a double-click: on a text
// row that phase reaches the text view (a word to select); on any other
// widget both presses act alike, as two clicks.
void left_button_down(uint32_t y, uint32_t x, uint32_t phase) {
  input.press_x = static_cast<int32_t>(x);
  input.press_y = static_cast<int32_t>(y);
  const int32_t s = hit_test(y, x);
  if (s == NO_SLOT) return;
  const int32_t i = idx(s);
  if (wt.w_kind[i] == WK_DRAG_HANDLE) {
    wt.pressed_widget = s;
    return;
  }
  if (wt.w_kind[i] == WK_TEXT_ROW) {
    press_text_row(y, x, phase, s);
    wt.pressed_widget = s;
    return;
  }
  if (wt.w_kind[i] == WK_TEXT_INPUT) {  // pressing the field clears it
    wt.w_value[i] = 0;
    for (char* c = static_cast<char*>(wt.w_data[i].ptr); *c != 0; ++c) *c = ' ';
  }
  const int32_t old = wt.focus_widget;
  wt.focus_widget = s;
  draw_widget(old);
  wt.w_flags[i] |= WF_PRESSED;
  draw_widget(s);
  input.drag_origin_value = wt.w_value[i];
  wt.pressed_widget = s;
}

void alt_pressed() {
  if (input.alt_latched) return;  // auto-repeat
  input.alt_latched = 1;
  const int32_t old = wt.focus_widget;
  if (is_live_slot(old) && wt.w_panel[idx(old)] == wt.alt_panel) {
    wt.focus_widget = NO_SLOT;
    draw_widget(old);
    return;
  }
  const int32_t first = first_slot_of(wt.alt_panel);
  if (first == NO_SLOT) return;
  wt.focus_widget = first;
  draw_widget(old);
  draw_widget(first);
}

void widget_keys(uint32_t k, uint32_t c);

// What a focused text field made of a key.
enum class FieldKey { PASSED_ON, TAKEN, SUBMITTED, CANCELLED };

// A field being edited: its buffer, the buffer's length and the caret.
struct Field {
  char* buffer;
  size_t length;
  uint32_t caret;
  bool caret_at_end() const { return buffer[caret] == 0; }
};

// What an editing step did to a field.
enum class Edit { UNCHANGED, CHANGED, NOT_MINE };

// Whether byte b continues a UTF-8 sequence.
bool continues(char b) { return is_utf8_continuation(static_cast<uint8_t>(b)); }

// The bytes of the character at `at`: one, or in a UTF-8 field the lead byte
// with the continuation bytes behind it.
size_t char_length(const Field& f, size_t at) {
  size_t n = 1;
  while (input.utf8_fields && at + n < f.length && continues(f.buffer[at + n])) ++n;
  return n;
}

// The start of the character that ends just before `at` (at > 0).
size_t previous_char(const Field& f, size_t at) {
  --at;
  while (input.utf8_fields && at > 0 && continues(f.buffer[at])) --at;
  return at;
}

// Removes `n` bytes at `at`, pulling the rest left and padding with spaces.
void remove_bytes(Field& f, size_t at, size_t n) {
  std::memmove(f.buffer + at, f.buffer + at + n, f.length - at - n);
  std::memset(f.buffer + f.length - n, ' ', n);
}

// Right, Left and Delete, over a whole character; every other table key is
// not the field's.
Edit table_key_in_field(Field& f, uint32_t c) {
  if (c == KEY_OFFSET + VK_RIGHT) {
    if (f.caret_at_end()) return Edit::UNCHANGED;
    f.caret += static_cast<uint32_t>(char_length(f, f.caret));
  } else if (c == KEY_OFFSET + VK_LEFT) {
    if (f.caret == 0) return Edit::UNCHANGED;
    f.caret = static_cast<uint32_t>(previous_char(f, f.caret));
  } else if (c == KEY_OFFSET + VK_DELETE) {
    if (f.caret_at_end()) return Edit::UNCHANGED;
    remove_bytes(f, f.caret, char_length(f, f.caret));
  } else {
    return Edit::NOT_MINE;
  }
  return Edit::CHANGED;
}

// Writes the n bytes of one character over the field at the caret, or
// nothing when they do not fit before its end; typing at the start replaces
// the whole text. A character partly written over loses its remaining bytes.
Edit put_in_field(Field& f, const char* bytes, size_t n) {
  if (f.caret + n > f.length) return Edit::UNCHANGED;
  if (f.caret == 0) std::memset(f.buffer, ' ', f.length);
  std::memcpy(f.buffer + f.caret, bytes, n);
  f.caret += static_cast<uint32_t>(n);
  for (size_t i = f.caret; input.utf8_fields && i < f.length && continues(f.buffer[i]); ++i) f.buffer[i] = ' ';
  return Edit::CHANGED;
}

// Backspace, or a character typed over the one at the caret. The field
// keeps its length: deletions pull the rest left and pad with a space.
Edit character_in_field(Field& f, uint32_t k) {
  if (k == VK_BACK) {
    if (f.caret == 0) return Edit::UNCHANGED;
    const size_t start = previous_char(f, f.caret);
    remove_bytes(f, start, f.caret - start);
    f.caret = static_cast<uint32_t>(start);
    return Edit::CHANGED;
  }
  // A full field takes nothing more; a NUL would end its text early and
  // leave the caret beyond it.
  if (f.caret_at_end() || k == 0) return Edit::UNCHANGED;
  const char c = static_cast<char>(k);
  return put_in_field(f, &c, 1);
}

// The focused text field as it stands.
Field focused_field() {
  const int32_t i = idx(wt.focus_widget);
  Field field{static_cast<char*>(wt.w_data[i].ptr), 0, wt.w_value[i]};
  field.length = std::strlen(field.buffer);
  return field;
}

// Keeps the field's new caret and shows its text.
void store_field(const Field& field) {
  wt.w_value[idx(wt.focus_widget)] = static_cast<uint16_t>(field.caret);
  draw_widget(wt.focus_widget);
}

// Tab in a text field: the focus goes to the panel's next text field (the
// previous one with Shift), wrapping round; false when the panel has no other.
bool focus_other_field() {
  const int32_t old = wt.focus_widget;
  const uint8_t panel = wt.w_panel[idx(old)];
  const int32_t d = input.shift_down ? -4 : 4;
  for (int32_t f = old + d; f != old; f += d) {
    if (f >= wt.widget_end) f = 0;
    if (f < 0) f = wt.widget_end - 4;
    if (f == old) break;
    if (wt.w_panel[idx(f)] == panel && wt.w_kind[idx(f)] == WK_TEXT_INPUT) {
      wt.focus_widget = f;
      draw_widget(old);
      draw_widget(f);
      return true;
    }
  }
  return false;
}

// Editing keys of a focused text field: PASSED_ON when the key is not the
// field's and goes on to the widget keys, SUBMITTED for Enter, CANCELLED for
// Escape in a field that takes it as a cancel (elsewhere it is typed).
FieldKey field_key(uint32_t k, uint32_t c) {
  const bool character = c < KEY_OFFSET;
  if (character && k == VK_TAB) {
    if (!focus_other_field()) focus_next();
    return FieldKey::TAKEN;
  }
  if (character && k == VK_RETURN) return FieldKey::SUBMITTED;
  // Ctrl+H arrives as Backspace's character: held Ctrl tells it apart, and
  // it goes on to the dispatcher as Ctrl+letters do.
  if (character && k == VK_BACK && input.ctrl_down) return FieldKey::PASSED_ON;
  const int32_t slot = wt.focus_widget;
  const int32_t i = idx(slot);
  if (character && k == VK_ESCAPE && (wt.w_flags[i] & WF_ESCAPE_CANCELS)) return FieldKey::CANCELLED;
  Field field = focused_field();
  const Edit edit = character ? character_in_field(field, k) : table_key_in_field(field, c);
  if (edit == Edit::NOT_MINE) return FieldKey::PASSED_ON;
  if (edit == Edit::CHANGED) store_field(field);
  return FieldKey::TAKEN;
}

// Key k of a character (offset 0) or a table key-down (offset 256).
void key_handling(uint32_t k, uint32_t offset) {
  const uint32_t c = k + offset;
  if (input.escape_closes && k == VK_ESCAPE) {
    post_close_message();
    return;
  }
  // Only the modifier keys themselves change the modifier state: the
  // characters 16 and 17 (Ctrl+P, Ctrl+Q) must not make Shift or Ctrl stick.
  if (c == KEY_OFFSET + VK_SHIFT) {
    input.shift_down = 1;
    return;
  }
  if (c == KEY_OFFSET + VK_CONTROL) {
    input.ctrl_down = 1;
    return;
  }
  const int32_t f = wt.focus_widget;
  if (f == NO_SLOT) {
    if (k == VK_TAB) focus_next();
    else send_command(c);
    return;
  }
  if (!is_live_slot(f) || wt.w_kind[idx(f)] == WK_TEXT_ROW) {
    send_command(c);
    return;
  }
  if (wt.w_kind[idx(f)] == WK_TEXT_INPUT) {
    const FieldKey outcome = field_key(k, c);
    if (outcome == FieldKey::SUBMITTED) input.routed.action = ROUTE_SUBMITTED;
    if (outcome == FieldKey::CANCELLED) input.routed.action = ROUTE_CANCELLED;
    if (outcome != FieldKey::PASSED_ON) return;
  }
  widget_keys(k, c);
}

// The arrow key k on the focused widget f: a focus move within the panel,
// an activation or a slider step, as f's flags and kind say. False when the
// arrow means nothing to f.
bool arrow_key(int32_t f, uint32_t k) {
  const int32_t i = idx(f);
  const bool across = wt.w_flags[i] & WF_ARROWS_ACROSS;
  const bool down = wt.w_flags[i] & WF_ARROWS_DOWN;
  if (k == VK_LEFT || k == VK_RIGHT) {
    const int32_t d = k == VK_RIGHT ? 1 : -1;
    if (across) {
      move_focus_in_panel(d);
      return true;
    }
    if (wt.w_kind[i] != WK_SLIDER) return false;
    int32_t v = wt.w_value[i] + d;
    if (v < 0) v = 0;
    if (v > wt.w_width[i] - 12) v = wt.w_width[i] - 12;
    wt.w_value[i] = static_cast<uint16_t>(v);
    draw_widget(f);
    return true;
  }
  if (k == VK_DOWN && across && down) {
    activate(f);
    return true;
  }
  if ((k == VK_UP || k == VK_DOWN) && down && !across) {
    move_focus_in_panel(k == VK_DOWN ? 1 : -1);
    return true;
  }
  return false;
}

// Activates the first slot of f's panel whose hotkey is the character c;
// false when there is none. The base panel has no hotkeys, and 0 is none.
bool hotkey(int32_t f, uint32_t c) {
  const uint8_t panel = wt.w_panel[idx(f)];
  if (panel == BASE_PANEL || c == 0 || c >= 256) return false;
  for (int32_t s = 0; s < wt.widget_end; s += 4) {
    if (wt.w_panel[idx(s)] == panel && wt.w_hotkey[idx(s)] == c) {
      activate(s);
      return true;
    }
  }
  return false;
}

// The keys a focused widget understands; everything else reaches the
// dispatcher (the checks compare k, whichever message carried it).
void widget_keys(uint32_t k, uint32_t c) {
  const int32_t f = wt.focus_widget;
  const int32_t i = idx(f);
  if (k == VK_SPACE) {
    release_pressed();
    wt.w_flags[i] |= WF_PRESSED;
    draw_widget(f);
    return;
  }
  if (arrow_key(f, k)) return;
  if (k == VK_RETURN && (wt.w_flags[i] & WF_ENTER)) {
    activate(f);
    return;
  }
  if (hotkey(f, c)) return;
  if (k == VK_TAB) focus_next();
  else send_command(c);
}

// Starts a right-button panel drag when the press is on a movable widget.
void right_button_down(uint32_t y, uint32_t x) {
  input.rdrag_x = static_cast<int32_t>(x);
  input.rdrag_y = static_cast<int32_t>(y);
  const int32_t s = hit_test(y, x);
  if (s != NO_SLOT && (wt.w_flags[idx(s)] & WF_MOVABLE)) input.rdrag_widget = s;
}

// A released key: the modifiers, Alt's latch, and the Space activation.
void key_up(uintptr_t key) {
  if (key == VK_SHIFT) input.shift_down = 0;
  else if (key == VK_CONTROL) input.ctrl_down = 0;
  // Alt released after another key arrives as an ordinary key-up; it
  // ends the latch too, or the next Alt press would be taken for a repeat.
  else if (key == VK_MENU) input.alt_latched = 0;
  else if (key == VK_SPACE && is_live_slot(wt.focus_widget)) release_at(wt.focus_widget);
}

}  // namespace

int32_t hit_test(uint32_t y, uint32_t x) {
  for (int32_t s = wt.widget_end - 4; s >= 0; s -= 4) {
    const int32_t i = idx(s);
    if (wt.w_kind[i] == WK_STATIC) continue;
    if (wt.w_x[i] <= x && x <= static_cast<uint32_t>(wt.w_x[i]) + wt.w_width[i] && wt.w_y[i] <= y &&
        y <= static_cast<uint32_t>(wt.w_y[i]) + wt.w_height[i]) {
      return s;
    }
  }
  return NO_SLOT;
}

void focus_next() {
  if (wt.widget_end < 8) return;
  const int32_t d = input.shift_down ? -4 : 4;
  const int32_t old = wt.focus_widget;
  int32_t f = old;
  for (;;) {
    f = (f == NO_SLOT && d > 0) ? 0 : f + d;
    if (f < 0 || f >= wt.widget_end) {
      f = wt.default_focus;
      break;
    }
    if (wt.w_kind[idx(f)] != WK_STATIC) break;
  }
  wt.focus_widget = f;
  draw_widget(old);
  draw_widget(f);
}

RouteResult route_sequence(const uint8_t* bytes, uint32_t n) {
  input.routed = RouteResult{ROUTE_NONE, 0, 0, 0, 0, NO_SLOT};
  const int32_t f = wt.focus_widget;
  if (is_live_slot(f) && wt.w_kind[idx(f)] == WK_TEXT_INPUT) {
    Field field = focused_field();
    if (put_in_field(field, reinterpret_cast<const char*>(bytes), n) == Edit::CHANGED) store_field(field);
    return input.routed;
  }
  input.routed.action = ROUTE_SEQUENCE;
  return input.routed;
}

RouteResult route_input(uint32_t y, uint32_t x, uintptr_t key, uint32_t message) {
  input.routed = RouteResult{ROUTE_NONE, 0, 0, 0, 0, NO_SLOT};
  switch (message) {
    case WM_MOUSEMOVE:
      mouse_move(y, x, key);
      break;
    case WM_LBUTTONDOWN:
      left_button_down(y, x, 0);
      break;
    case WM_LBUTTONDBLCLK:
      left_button_down(y, x, 2);
      break;
    case WM_LBUTTONUP:
      left_button_up(y, x);
      break;
    case WM_RBUTTONDOWN:
      right_button_down(y, x);
      break;
    case WM_RBUTTONUP:
      input.rdrag_widget = NO_SLOT;
      break;
    case WM_MOUSEWHEEL:
      input.routed = RouteResult{ROUTE_WHEEL, static_cast<uint32_t>(key), 0, 0, 0, NO_SLOT};
      break;
    case WM_SYSKEYDOWN:
      if (key == VK_MENU) alt_pressed();
      break;
    case WM_SYSKEYUP:
      if (key == VK_MENU) input.alt_latched = 0;
      break;
    case WM_KEYUP:
      key_up(key);
      break;
    case WM_CHAR:
      key_handling(static_cast<uint32_t>(key & 0xFF), CHAR_OFFSET);
      break;
    case WM_KEYDOWN:
      if (key < 160 && command_key_table[key] != 0) key_handling(static_cast<uint32_t>(key), KEY_OFFSET);
      break;
    default:
      break;
  }
  return input.routed;
}

}  // namespace vusk
