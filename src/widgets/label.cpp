// The LabelCode interpreter: draw_widget paints a widget's background and
// focus, then runs its label; a text row's own drawing is the painter that
// the editor installs. Also format_decimal and the table of variables that
// address operands index.
#include "widgets/label.h"

#include <cstring>

#include "raster/raster.h"
#include "raster/unicode_width.h"
#include "widgets/input.h"
#include "widgets/widget_table.h"

namespace vusk {

void* label_variables[LABEL_VARIABLES];
uint32_t label_variable_bytes[LABEL_VARIABLES];
char number_text[8];
TextRowPainter text_row_painter;

void reset_label_variables() {
  for (void*& v : label_variables) v = nullptr;
  for (uint32_t& n : label_variable_bytes) n = 0;
}

void bind_label_variable(uint32_t index, void* address, uint32_t bytes) {
  if (index >= LABEL_VARIABLES) return;
  label_variables[index] = address;
  label_variable_bytes[index] = bytes;
}

namespace {

constexpr uint32_t CELL = 9;
constexpr uint32_t CURSOR_COLOUR = 14;
constexpr uint32_t DIVISORS[6] = {100000, 10000, 1000, 100, 10, 1};

// The geometry and state of the widget being drawn, and the pen.
struct Context {
  int32_t slot;
  int32_t i;
  uint32_t x, y, w, h;
  uint32_t pen_x, pen_y;
  uint32_t text_colour;
  bool focused;
};

uint32_t read_u32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint16_t read_u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Walks a label's bytes, never further than LABEL_MAX_BYTES from its start:
// a malformed label (its end missing, an operand cut off, a text whose
// closing byte was taken for a line's step) stops there instead of running
// on through whatever memory follows it.
struct LabelReader {
  const uint8_t* label;
  uint32_t at;

  // True when the next n bytes lie within the label.
  bool has(uint32_t n) const { return at <= LABEL_MAX_BYTES && n <= LABEL_MAX_BYTES - at; }
  uint8_t byte() { return label[at++]; }
  const uint8_t* here() const { return label + at; }
  // Skips to the next 4-byte boundary, where address operands start (labels
  // are 4-byte aligned), and tells whether n operand bytes follow there.
  bool operands_at_boundary(uint32_t n) {
    at = (at + 3) & ~3u;
    return has(n);
  }
};

// The variable an address operand names, or null for an index outside the
// table or an empty entry.
void* variable(uint32_t index) { return index < LABEL_VARIABLES ? label_variables[index] : nullptr; }

// The variable, when `bytes` of it may be read: a label is program data, but
// its operands must not carry a read past a variable whose size is known.
void* variable_holding(uint32_t index, uint64_t bytes) {
  void* v = variable(index);
  const uint32_t size = v != nullptr ? label_variable_bytes[index] : 0;
  return size == 0 || bytes <= size ? v : nullptr;
}

// Reads an unsigned variable of 1, 2 or 4 bytes; an absent one reads 0.
uint32_t read_variable(const void* p, uint32_t bytes) {
  if (p == nullptr) return 0;
  uint8_t b[4] = {};
  std::memcpy(b, p, bytes);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

void put_char(Context& c, uint32_t code) {
  draw_glyph(code, c.text_colour, c.pen_y, c.pen_x);
  c.pen_x += CELL;
}

// The bytes of the variable that an LC_HEX format reads.
uint32_t hex_bytes(uint8_t format) { return format < 0x40 ? 1 : format < 0x80 ? 2 : 4; }

// The last digit-count nibbles of the variable, most significant first.
void draw_hex(Context& c, const void* var, uint8_t format) {
  const uint32_t bytes = hex_bytes(format);
  uint32_t value = read_variable(var, bytes);
  uint32_t digits = format & 0x1F;
  if (digits > 8) digits = 8;
  for (uint32_t i = 8; i >= 1; --i) {
    if (i <= digits) {
      const uint32_t nibble = value >> 28;
      put_char(c, nibble < 10 ? '0' + nibble : 'A' + nibble - 10);
    }
    value <<= 4;
  }
}

// A fixed-point number: I integer digits (leading zeros blank) and F
// fraction digits after a point. A value of 10^(I+F) or more shows '0' plus
// its quotient in the first cell, as a byte.
void draw_decimal(Context& c, uint32_t value, uint8_t format) {
  const uint32_t whole = format >> 4;
  const uint32_t fraction = format & 0x0F;
  uint32_t divisor = 1;
  for (uint32_t n = (whole + fraction) % 16; n > 0; --n) divisor *= 10;
  // Formats beyond nine digits overflow the divisor to 0 on the way down;
  // such a digit reads 0 instead of dividing by zero.
  const auto next_digit = [&]() {
    divisor /= 10;
    if (divisor == 0) return uint32_t{0};
    const uint32_t digit = value / divisor;
    value %= divisor;
    return digit;
  };
  bool shown = false;
  for (uint32_t k = 1; k <= whole; ++k) {
    const uint32_t digit = next_digit();
    if (k == whole || shown || digit != 0) {
      shown = true;
      draw_glyph(('0' + digit) & 0xFF, c.text_colour, c.pen_y, c.pen_x);
    }
    c.pen_x += CELL;
  }
  if (fraction == 0) return;
  put_char(c, '.');
  for (uint32_t k = 0; k < fraction; ++k) put_char(c, ('0' + next_digit()) & 0xFF);
}

void draw_slider(const Context& c, uint8_t lo, uint8_t hi) {
  const uint32_t t = c.y + c.h - 10;
  const uint32_t r = c.x + c.w - 1;
  const uint32_t v = wt.w_value[c.i];
  draw_line(2, r, t, c.x, LINE_HORIZONTAL);
  draw_line(1, r - 1, t + 1, c.x + 1, LINE_HORIZONTAL);
  draw_line(4, r, t + 3, c.x, LINE_HORIZONTAL);
  fill_rect((wt.w_flags[c.i] & WF_PRESSED) ? 2 : 3, 14, 11, t - 5, c.x + v);
  draw_bevel(0, 16, 12, t - 6, c.x + v);
  auto* out = static_cast<uint8_t*>(wt.w_data[c.i].ptr);
  if (out == nullptr) return;
  // A slider no wider than its knob has no travel: it stays at lo.
  const int32_t travel = static_cast<int32_t>(c.w) - 12;
  const int32_t value = travel > 0 ? lo + static_cast<int32_t>(v) * (hi - lo) / travel : lo;
  *out = static_cast<uint8_t>(value);
}

// The pixel word at (x, y), or null when the point lies off the frame.
uint32_t* frame_pixel(int64_t y, int64_t x) {
  if (raster.frame_pixels == nullptr || x < 0 || y < 0 || x >= raster.frame_width || y >= raster.frame_height) {
    return nullptr;
  }
  return pixel_address(static_cast<uint32_t>(y), static_cast<uint32_t>(x));
}

void widen_dirty(uint32_t left, uint32_t top, uint32_t right, uint32_t bottom) {
  if (left < raster.dirty_min_x) raster.dirty_min_x = left;
  if (top < raster.dirty_min_y) raster.dirty_min_y = top;
  if (right > raster.dirty_max_x) raster.dirty_max_x = right;
  if (bottom > raster.dirty_max_y) raster.dirty_max_y = bottom;
}

// 64 signed samples as red dots on a black box 32 rows high; the variable
// at w_data picks one record of 64 samples from the table.
void draw_waveform(const Context& c, const void* table) {
  fill_rect(0, 32, c.w, c.y + 1, c.x);
  if (table == nullptr) return;
  const uint32_t record = read_variable(wt.w_data[c.i].ptr, 1);
  const auto* samples = static_cast<const int8_t*>(table) + 64 * record;
  const int64_t x = static_cast<int32_t>(c.x), y = static_cast<int32_t>(c.y);
  for (int64_t k = 0; k < 64; ++k) {
    if (uint32_t* p = frame_pixel(y + 16 - (samples[k] >> 3), x + 1 + k)) *p |= 0xFF0000;
  }
}

// An image with its top-left pixel at the widget's origin: 32-bit pixels
// copied as they are, or (mask) the frame of iw x ih bytes chosen by the
// variable at w_data, whose 0x80 bytes blacken their pixels.
void draw_image(const Context& c, bool mask, const void* source, uint32_t iw, uint32_t ih) {
  widen_dirty(c.x, c.y, c.x + iw, c.y + ih);
  if (source == nullptr) return;
  const int64_t x = static_cast<int32_t>(c.x), y = static_cast<int32_t>(c.y);
  const auto* bytes = static_cast<const uint8_t*>(source);
  if (mask) bytes += static_cast<size_t>(iw) * ih * read_variable(wt.w_data[c.i].ptr, 1);
  const auto* words = static_cast<const uint8_t*>(source);
  for (uint32_t row = 0; row < ih; ++row) {
    for (uint32_t col = 0; col < iw; ++col) {
      uint32_t* p = frame_pixel(y + row, x + col);
      if (p == nullptr) continue;
      const size_t k = static_cast<size_t>(row) * iw + col;
      if (mask) {
        if (bytes[k] == 0x80) *p = 0;
      } else {
        uint32_t pixel;
        std::memcpy(&pixel, words + 4 * k, 4);
        *p = pixel;
      }
    }
  }
}

// The widget's background: the filled focus style (black inside, a frame in
// the widget's colour, label text in that colour), or a box in its colour
// with dotted focus marks 3 pixels inside the edge.
void draw_background(Context& c) {
  const bool text_row = wt.w_kind[c.i] == WK_TEXT_ROW;
  const uint32_t bg =
      text_row && text_row_painter.background != nullptr ? text_row_painter.background() : wt.w_colour[c.i];
  const uint32_t r = c.x + c.w - 1, b = c.y + c.h - 1;
  if (c.focused && (wt.w_flags[c.i] & WF_ENTER)) {
    if (c.w > 2 && c.h > 2) fill_rect(0, c.h - 2, c.w - 2, c.y + 1, c.x + 1);
    draw_line(bg, r, c.y, c.x, LINE_HORIZONTAL);
    draw_line(bg, b, c.y, c.x, LINE_VERTICAL);
    draw_line(bg, r, b, c.x, LINE_HORIZONTAL);
    draw_line(bg, b, c.y, r, LINE_VERTICAL);
    c.text_colour = bg;
    return;
  }
  if (c.w > 0 && c.h > 0) fill_rect(bg, c.h, c.w, c.y, c.x);
  if (!c.focused || text_row) return;
  const uint32_t r3 = c.x + c.w - 4, b3 = c.y + c.h - 4;
  draw_line(0, r3, c.y + 3, c.x + 3, LINE_DOTTED_HORIZONTAL);
  draw_line(0, b3, c.y + 3, c.x + 3, LINE_DOTTED_VERTICAL);
  draw_line(0, r3, b3, c.x + 3, LINE_DOTTED_HORIZONTAL);
  draw_line(0, b3, c.y + 3, r3, LINE_DOTTED_VERTICAL);
}

// The character of UTF-8 text at p (read no further than `end`), drawn at
// the pen, which moves past its cells: a valid sequence as its glyph (a
// zero-width one over the cell before, never left of `left`), any other
// byte as a built-in glyph. Returns its bytes.
uint32_t put_utf8_char(Context& c, const uint8_t* p, const uint8_t* end, uint32_t left) {
  const Utf8Char ch = *p >= 0x80 ? decode_utf8(p, end) : Utf8Char{0, 0};
  if (ch.bytes == 0) {
    put_char(c, *p);
    return 1;
  }
  const uint32_t width = unicode_cell_width(ch.cp);
  const uint32_t x = width == 0 && c.pen_x >= left + CELL ? c.pen_x - CELL : c.pen_x;
  draw_glyph(UNICODE_GLYPH_BASE + ch.cp, c.text_colour, c.pen_y, x);
  c.pen_x += CELL * width;
  return ch.bytes;
}

// LC_DATA_STRING: the zero-terminated string of the widget's data, as
// built-in glyphs, or while the fields hold UTF-8 (a text field's of a UTF-8
// document) with its valid sequences as their characters. Returns the x of
// the field's caret, the byte w_value, which never stands inside a
// character there.
uint32_t draw_data_string(Context& c, const char* text) {
  const uint32_t caret = wt.w_value[c.i];
  if (input.utf8_fields == 0 || wt.w_kind[c.i] != WK_TEXT_INPUT) {
    draw_string(text, c.text_colour, c.pen_y, c.pen_x);
    return c.pen_x + CELL * caret;
  }
  const uint32_t start = c.pen_x;
  const auto* p = reinterpret_cast<const uint8_t*>(text);
  const size_t n = std::strlen(text);
  uint32_t caret_x = 0;
  for (size_t i = 0; i < n; i += put_utf8_char(c, p + i, p + n, start)) {
    if (i == caret) caret_x = c.pen_x;
  }
  if (caret >= n) caret_x = c.pen_x + CELL * static_cast<uint32_t>(caret - n);  // past the text: as many cells on
  c.pen_x = start;  // the string leaves the pen where it found it, as draw_string does
  return caret_x;
}

// LC_TEXT: glyphs up to the closing 0xFF; 0xFE dy starts a new line dy
// pixels down. With WF_UTF8_TEXT a valid UTF-8 sequence is one character;
// any other byte is a built-in glyph. False when the label ends before its
// text does.
bool run_text(Context& c, LabelReader& r) {
  const bool utf8 = (wt.w_flags[c.i] & WF_UTF8_TEXT) != 0;
  for (;;) {
    if (!r.has(1)) return false;
    const uint8_t b = r.byte();
    if (b == LC_TEXT_END) return true;
    if (b != LC_TEXT_NEWLINE) {
      if (utf8 && b >= 0x80) {
        r.at += put_utf8_char(c, r.here() - 1, r.label + LABEL_MAX_BYTES, c.x + 4) - 1;
      } else {
        put_char(c, b);
      }
      continue;
    }
    if (!r.has(1)) return false;
    c.pen_x = c.x + 4;
    c.pen_y += r.byte();
  }
}

// LC_JUMP_IF_DATA / LC_JUMP_IF_VAR, whose opcode stood at `start`. Only
// forward jumps within the label are taken, so that every label ends; false
// when the label ends here.
bool run_jump(Context& c, LabelReader& r, uint8_t op, uint32_t start) {
  if (!r.has(1)) return false;
  const auto k = static_cast<int8_t>(r.byte());
  const uint32_t operands = op == LC_JUMP_IF_VAR ? 8 : 4;
  if (!r.operands_at_boundary(operands)) return false;
  const uint32_t target = read_u32(r.here());
  const void* var = op == LC_JUMP_IF_VAR ? variable(read_u32(r.here() + 4)) : wt.w_data[c.i].ptr;
  r.at += operands;
  if (var == nullptr || static_cast<int8_t>(read_variable(var, 1)) != k) return true;
  if (target <= start || target >= LABEL_MAX_BYTES) return false;
  r.at = target;
  return true;
}

void run_label(Context& c, const uint8_t* label) {
  LabelReader r{label, 0};
  const WidgetData data = wt.w_data[c.i];
  while (r.has(1)) {
    const uint32_t start = r.at;
    const uint8_t op = r.byte();
    switch (op) {
      case LC_END:
        return;
      case LC_JUMP_IF_DATA:
      case LC_JUMP_IF_VAR:
        if (!run_jump(c, r, op, start)) return;
        break;
      case LC_TEXT_ROW:
        if (text_row_painter.paint != nullptr) text_row_painter.paint(c.slot);
        break;
      case LC_COLOUR:
        if (!r.has(1)) return;
        c.text_colour = r.byte();
        break;
      case LC_TEXT:
        if (!run_text(c, r)) return;
        break;
      case LC_DATA_STRING: {
        const uint32_t cx = data.ptr != nullptr ? draw_data_string(c, static_cast<const char*>(data.ptr))
                                                : c.pen_x + CELL * wt.w_value[c.i];
        if (c.focused) {
          draw_line(CURSOR_COLOUR, cx + 8, c.pen_y + 14, cx, LINE_HORIZONTAL);
          draw_line(CURSOR_COLOUR, cx + 8, c.pen_y + 15, cx, LINE_HORIZONTAL);
        }
        break;
      }
      case LC_BOX: {
        if (!r.has(2)) return;
        const uint8_t colour = r.byte(), cells = r.byte();
        if (cells != 0) fill_rect(colour, 16, CELL * cells, c.pen_y, c.pen_x);
        break;
      }
      case LC_HEX:
        if (!r.has(1)) return;
        draw_hex(c, data.ptr, r.byte());
        break;
      case LC_DECIMAL: {
        if (!r.has(2)) return;
        const uint8_t multiplier = r.byte(), format = r.byte();
        draw_decimal(c, read_variable(data.ptr, 1) * multiplier, format);
        break;
      }
      case LC_BEVEL:
        draw_bevel(wt.w_flags[c.i] & WF_PRESSED, c.h, c.w, c.y, c.x);
        break;
      case LC_TOGGLE_BEVEL:
        draw_bevel((wt.w_flags[c.i] & WF_PRESSED) | (read_variable(data.ptr, 1) & 0x01), c.h, c.w, c.y, c.x);
        break;
      case LC_PARAM_DIGIT:
        put_char(c, ('0' + wt.w_param[c.i]) & 0xFF);
        break;
      case LC_SLIDER: {
        if (!r.has(2)) return;
        const uint8_t lo = r.byte(), hi = r.byte();
        draw_slider(c, lo, hi);
        break;
      }
      case LC_HEX_AT:
        if (!r.operands_at_boundary(5)) return;
        draw_hex(c, variable_holding(read_u32(r.here()), hex_bytes(r.here()[4])), r.here()[4]);
        r.at += 5;
        break;
      case LC_DECIMAL8_AT:
      case LC_DECIMAL16_AT:
      case LC_DECIMAL32_AT: {
        if (!r.operands_at_boundary(6)) return;
        const uint8_t* p = r.here();
        const uint32_t bytes = op == LC_DECIMAL8_AT ? 1 : op == LC_DECIMAL16_AT ? 2 : 4;
        draw_decimal(c, read_variable(variable_holding(read_u32(p), bytes), bytes) * p[4], p[5]);
        r.at += 6;
        break;
      }
      case LC_WAVEFORM:
        if (!r.operands_at_boundary(4)) return;
        // 64 samples for each record up to the one chosen.
        draw_waveform(c, variable_holding(read_u32(r.here()), 64 * (read_variable(wt.w_data[c.i].ptr, 1) + uint64_t{1})));
        r.at += 4;
        break;
      case LC_MASK_IMAGE:
      case LC_IMAGE: {
        if (!r.operands_at_boundary(8)) return;
        const uint8_t* p = r.here();
        const uint32_t iw = read_u16(p + 4), ih = read_u16(p + 6);
        // A mask holds a frame of bytes for each record up to the chosen one.
        const uint64_t per_pixel = op == LC_MASK_IMAGE ? read_variable(wt.w_data[c.i].ptr, 1) + uint64_t{1} : 4;
        draw_image(c, op == LC_MASK_IMAGE, variable_holding(read_u32(p), uint64_t{iw} * ih * per_pixel), iw, ih);
        r.at += 8;
        break;
      }
      default:  // not an opcode (filler): skipped
        break;
    }
  }
}

}  // namespace

// Draws the widget at `slot` completely: background and focus, then its
// label. A slot that is not live (including -1) draws nothing.
void paint_widget(int32_t slot) {
  if (static_cast<uint32_t>(slot) >= static_cast<uint32_t>(wt.widget_end)) return;
  raster.redraw_pending = 1;
  Context c{};
  c.slot = slot;
  c.i = slot_index(slot);
  c.x = wt.w_x[c.i];
  c.y = wt.w_y[c.i];
  c.w = wt.w_width[c.i];
  c.h = wt.w_height[c.i];
  c.focused = slot == wt.focus_widget;
  c.text_colour = 0;
  draw_background(c);
  c.pen_x = c.x + 4;
  c.pen_y = c.y + 3;
  if (wt.w_label[c.i] != nullptr) run_label(c, wt.w_label[c.i]);
}

// Draws the widget, and when it is a text row drawn on its own, the widgets
// stacked above it that overlap it (the scroll thumb, an open menu): a
// full-width row would otherwise paint over them until the next full redraw.
void draw_widget(int32_t slot) {
  paint_widget(slot);
  if (!is_live_slot(slot) || wt.w_kind[slot_index(slot)] != WK_TEXT_ROW) return;
  const int32_t i = slot_index(slot);
  const int32_t top = wt.w_y[i], bottom = top + wt.w_height[i];
  const int32_t left = wt.w_x[i], right = left + wt.w_width[i];
  for (int32_t s = slot + 4; s < wt.widget_end; s += 4) {
    const int32_t j = slot_index(s);
    if (wt.w_kind[j] == WK_TEXT_ROW) continue;
    if (wt.w_y[j] < bottom && top < wt.w_y[j] + wt.w_height[j] && wt.w_x[j] < right &&
        left < wt.w_x[j] + wt.w_width[j]) {
      paint_widget(s);
    }
  }
}

// Writes `value` right-aligned into number_text's 7 characters, its sign (a
// space when positive) directly before the first digit.
void format_decimal(int32_t value) {
  std::memset(number_text, ' ', 6);
  char sign = ' ';
  auto v = static_cast<uint32_t>(value);
  if (value < 0) {
    sign = '-';
    v = 0u - v;
  }
  bool pending = true;
  for (uint32_t i = 1; i <= 6; ++i) {
    const uint32_t d = DIVISORS[i - 1];
    const uint32_t q = v / d;
    v -= q * d;
    if (pending && (i == 6 || q != 0)) {
      number_text[i - 1] = sign;
      pending = false;
    }
    if (!pending) number_text[i] = static_cast<char>('0' + q);
  }
  number_text[7] = 0;
}

}  // namespace vusk
