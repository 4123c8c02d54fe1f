// Compile-time builders of LabelCode programs and the checks that guard the
// static label and panel tables. A label is written as a list of
// instructions, e.g.
//   constexpr auto LINE = lc::label(lc::colour(9), lc::text("line "),
//                                   lc::decimal32_at(var::cursor_abs_line, 1, 0x70), lc::end());
// Opcode bytes and byte operands come out exactly as the interpreter reads
// them. Address operands become 32-bit little-endian indices into
// label_variables[], jump targets 32-bit offsets within the label; both start
// at the next 4-byte boundary of the label, reached with 0x90 filler. The
// built label is 4-byte aligned, so that boundary is also an address boundary.
// Widgets layer: included by the screens (the panels and the title label) and
// by anything else above that defines labels.
#pragma once
#include <cstddef>
#include <cstdint>

#include "widgets/label.h"
#include "widgets/widget_table.h"

namespace vusk::lc {

// Jump marks a label may define: ids 0..MAX_MARKS-1.
constexpr size_t MAX_MARKS = 16;

// A 32-bit operand: a variable index, or the offset of a jump mark.
struct Word {
  bool is_mark;
  uint32_t value;
};

// One instruction: H leading bytes, then W words starting at the next 4-byte
// boundary (when W > 0), then T trailing bytes.
template <size_t H, size_t W, size_t T>
struct Instruction {
  uint8_t head[H > 0 ? H : 1] = {};
  Word words[W > 0 ? W : 1] = {};
  uint8_t tail[T > 0 ? T : 1] = {};

  // The bytes the instruction takes when it starts at `offset`.
  static constexpr size_t size_at(size_t offset) {
    size_t end = offset + H;
    if (W > 0) end = ((end + 3) & ~size_t{3}) + 4 * W;
    return end + T - offset;
  }
};

// A jump target: takes no bytes, names the offset where it stands.
struct Mark {
  uint32_t id;
  static constexpr size_t size_at(size_t) { return 0; }
};

// A new line inside text: the pen returns to the left and moves dy down.
struct Newline {
  uint8_t dy;
};

// A built label: N bytes, 4-byte aligned, as draw_widget reads them.
template <size_t N>
struct Label {
  alignas(4) uint8_t bytes[N];
  static constexpr size_t size = N;
  constexpr const uint8_t* data() const { return bytes; }
};

// ---- Walking a label --------------------------------------------------------

// The first 4-byte boundary at or after `offset`.
constexpr size_t align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Offset of the instruction after the one at `offset` in `code` (`size`
// bytes, or unbounded when size is 0); bytes that are not opcodes are one
// byte long. Returns size + 1 when the instruction runs past the end.
constexpr size_t next_instruction(const uint8_t* code, size_t offset, size_t size) {
  const size_t over = size == 0 ? SIZE_MAX : size + 1;
  const auto past = [&](size_t n) { return size != 0 && n > size; };
  switch (code[offset]) {
    case LC_END: case LC_TEXT_ROW: case LC_DATA_STRING: case LC_BEVEL:
    case LC_PARAM_DIGIT: case LC_TOGGLE_BEVEL:
      return offset + 1;
    case LC_COLOUR: case LC_HEX:
      return past(offset + 2) ? over : offset + 2;
    case LC_BOX: case LC_DECIMAL: case LC_SLIDER:
      return past(offset + 3) ? over : offset + 3;
    case LC_TEXT: {
      size_t p = offset + 1;
      while (!past(p + 1) && code[p] != LC_TEXT_END) p += code[p] == LC_TEXT_NEWLINE ? 2 : 1;
      return past(p + 1) ? over : p + 1;
    }
    case LC_JUMP_IF_DATA: return past(align4(offset + 2) + 4) ? over : align4(offset + 2) + 4;
    case LC_JUMP_IF_VAR: return past(align4(offset + 2) + 8) ? over : align4(offset + 2) + 8;
    case LC_HEX_AT: return past(align4(offset + 1) + 5) ? over : align4(offset + 1) + 5;
    case LC_DECIMAL8_AT: case LC_DECIMAL16_AT: case LC_DECIMAL32_AT:
      return past(align4(offset + 1) + 6) ? over : align4(offset + 1) + 6;
    case LC_WAVEFORM: return past(align4(offset + 1) + 4) ? over : align4(offset + 1) + 4;
    case LC_MASK_IMAGE: case LC_IMAGE: return past(align4(offset + 1) + 8) ? over : align4(offset + 1) + 8;
    default:
      return offset + 1;
  }
}

// The 32-bit little-endian operand at p.
constexpr uint32_t read_word(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// True when the label of `size` bytes is well formed: its instructions end
// exactly at its last byte, which is LC_END; every jump goes forward to the
// start of an instruction; every variable index is inside label_variables.
template <size_t N>
consteval bool well_formed(const uint8_t (&code)[N]) {
  bool starts[N + 1] = {};
  size_t offset = 0;
  size_t last = 0;
  while (offset < N) {
    starts[offset] = true;
    last = offset;
    offset = next_instruction(code, offset, N);
  }
  if (offset != N || code[last] != LC_END) return false;
  for (offset = 0; offset < N; offset = next_instruction(code, offset, N)) {
    const uint8_t op = code[offset];
    if (op == LC_JUMP_IF_DATA || op == LC_JUMP_IF_VAR) {
      const uint32_t target = read_word(code + align4(offset + 2));
      if (target <= offset || target >= N || !starts[target]) return false;
      if (op == LC_JUMP_IF_VAR && read_word(code + align4(offset + 2) + 4) >= LABEL_VARIABLES) return false;
    } else if (op == LC_HEX_AT || op == LC_DECIMAL8_AT || op == LC_DECIMAL16_AT || op == LC_DECIMAL32_AT ||
               op == LC_WAVEFORM || op == LC_MASK_IMAGE || op == LC_IMAGE) {
      if (read_word(code + align4(offset + 1)) >= LABEL_VARIABLES) return false;
    }
  }
  return true;
}

// True when executing the label from its start reaches LC_END (walked
// linearly; used where only a pointer to the label is at hand).
consteval bool reaches_end(const uint8_t* code) {
  for (size_t offset = 0; offset < LABEL_MAX_BYTES; offset = next_instruction(code, offset, 0)) {
    if (code[offset] == LC_END) return true;
  }
  return false;
}

// True when a panel's list is sound: it ends with the terminator (label 0),
// has a record before it, its first record has an explicit y, and every
// label reaches LC_END. The record at `runtime_record` holds a label built
// while the program runs (the title); it is not examined.
template <size_t N>
consteval bool valid_panel(const PanelRecord (&records)[N], size_t runtime_record = SIZE_MAX) {
  if (N < 2 || records[N - 1].label != nullptr || records[0].y == -1) return false;
  for (size_t i = 0; i + 1 < N; ++i) {
    if (i == runtime_record) continue;
    if (records[i].label == nullptr || !reaches_end(records[i].label)) return false;
  }
  return true;
}

// ---- Instructions -----------------------------------------------------------

// An opcode with no operand, one byte operand, or two.
constexpr Instruction<1, 0, 0> op(uint8_t code) {
  Instruction<1, 0, 0> i;
  i.head[0] = code;
  return i;
}
// (See op(code).)
constexpr Instruction<2, 0, 0> op(uint8_t code, uint8_t a) {
  Instruction<2, 0, 0> i;
  i.head[0] = code;
  i.head[1] = a;
  return i;
}
// (See op(code).)
constexpr Instruction<3, 0, 0> op(uint8_t code, uint8_t a, uint8_t b) {
  Instruction<3, 0, 0> i;
  i.head[0] = code;
  i.head[1] = a;
  i.head[2] = b;
  return i;
}

// One instruction each, named after its opcode (LC_END, LC_TEXT_ROW, ...),
// with the operands in the order the interpreter reads them.
constexpr auto end() { return op(LC_END); }
constexpr auto text_row() { return op(LC_TEXT_ROW); }
constexpr auto colour(uint8_t c) { return op(LC_COLOUR, c); }
constexpr auto data_string() { return op(LC_DATA_STRING); }
constexpr auto box(uint8_t c, uint8_t cells) { return op(LC_BOX, c, cells); }
constexpr auto hex(uint8_t format) { return op(LC_HEX, format); }
constexpr auto decimal(uint8_t multiplier, uint8_t format) { return op(LC_DECIMAL, multiplier, format); }
constexpr auto bevel() { return op(LC_BEVEL); }
constexpr auto param_digit() { return op(LC_PARAM_DIGIT); }
constexpr auto toggle_bevel() { return op(LC_TOGGLE_BEVEL); }
constexpr auto slider(uint8_t lo, uint8_t hi) { return op(LC_SLIDER, lo, hi); }
// A bare byte, such as filler, that the interpreter skips.
constexpr auto byte(uint8_t b) { return Instruction<1, 0, 0>{{b}, {}, {}}; }
constexpr Mark mark(uint32_t id) { return Mark{id}; }
constexpr Newline newline(uint8_t dy) { return Newline{dy}; }

// LC_HEX_AT: the variable `variable` in hex, in `format`.
constexpr Instruction<1, 1, 1> hex_at(uint32_t variable, uint8_t format) {
  return {{LC_HEX_AT}, {{false, variable}}, {format}};
}
// A decimal of a variable (`code` LC_DECIMAL8_AT, 16 or 32: its width),
// multiplied by `multiplier`, in `format`.
constexpr Instruction<1, 1, 2> decimal_at(uint8_t code, uint32_t variable, uint8_t multiplier, uint8_t format) {
  return {{code}, {{false, variable}}, {multiplier, format}};
}
// decimal_at for an 8-, 16- and 32-bit variable.
constexpr auto decimal8_at(uint32_t v, uint8_t m, uint8_t f) { return decimal_at(LC_DECIMAL8_AT, v, m, f); }
constexpr auto decimal16_at(uint32_t v, uint8_t m, uint8_t f) { return decimal_at(LC_DECIMAL16_AT, v, m, f); }
constexpr auto decimal32_at(uint32_t v, uint8_t m, uint8_t f) { return decimal_at(LC_DECIMAL32_AT, v, m, f); }
constexpr Instruction<1, 1, 0> waveform(uint32_t table) { return {{LC_WAVEFORM}, {{false, table}}, {}}; }
constexpr Instruction<1, 1, 4> image_op(uint8_t code, uint32_t source, uint16_t w, uint16_t h) {
  return {{code},
          {{false, source}},
          {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(h),
           static_cast<uint8_t>(h >> 8)}};
}
// LC_MASK_IMAGE and LC_IMAGE: the w x h image at the variable `source`.
constexpr auto mask_image(uint32_t source, uint16_t w, uint16_t h) { return image_op(LC_MASK_IMAGE, source, w, h); }
constexpr auto image(uint32_t source, uint16_t w, uint16_t h) { return image_op(LC_IMAGE, source, w, h); }
// Continue at mark `target` when the signed byte at w_data equals k.
constexpr Instruction<2, 1, 0> jump_if_data(int8_t k, uint32_t target) {
  return {{LC_JUMP_IF_DATA, static_cast<uint8_t>(k)}, {{true, target}}, {}};
}
// Continue at mark `target` when the signed byte at the variable equals k.
constexpr Instruction<2, 2, 0> jump_if_var(int8_t k, uint32_t target, uint32_t variable) {
  return {{LC_JUMP_IF_VAR, static_cast<uint8_t>(k)}, {{true, target}, {false, variable}}, {}};
}

// ---- Text ---------------------------------------------------------------

// The bytes a part of a text takes: a string literal without its
// terminator, or a newline's two bytes.
template <class P>
struct TextPart;
template <size_t N>
struct TextPart<char[N]> {
  static constexpr size_t size = N - 1;
};
template <>
struct TextPart<Newline> {
  static constexpr size_t size = 2;
};

// Writes one part of a text at out[at] and moves `at` past it.
template <size_t N>
constexpr void put_text_part(uint8_t* out, size_t& at, const char (&s)[N]) {
  for (size_t i = 0; i + 1 < N; ++i) out[at++] = static_cast<uint8_t>(s[i]);
}
constexpr void put_text_part(uint8_t* out, size_t& at, const Newline& n) {
  out[at++] = LC_TEXT_NEWLINE;
  out[at++] = n.dy;
}

// LC_TEXT with its parts (string literals, every byte of which is drawn,
// and newlines) and the closing 0xFF.
template <class... Parts>
constexpr auto text(const Parts&... parts) {
  Instruction<2 + (TextPart<Parts>::size + ... + 0), 0, 0> i;
  size_t at = 0;
  i.head[at++] = LC_TEXT;
  (put_text_part(i.head, at, parts), ...);
  i.head[at] = LC_TEXT_END;
  return i;
}

// ---- Assembling ---------------------------------------------------------

// The bytes of a label made of parts of types P, filler included.
template <class... P>
constexpr size_t label_size() {
  size_t offset = 0;
  ((offset += P::size_at(offset)), ...);
  return offset;
}

// First pass of label(): records where each mark stands, and moves `offset`
// past each instruction.
constexpr void place_mark(const Mark& m, size_t& offset, uint32_t* marks) {
  if (m.id >= MAX_MARKS || marks[m.id] != UINT32_MAX) throw "jump mark out of range or defined twice";
  marks[m.id] = static_cast<uint32_t>(offset);
}
template <size_t H, size_t W, size_t T>
constexpr void place_mark(const Instruction<H, W, T>&, size_t& offset, uint32_t*) {
  offset += Instruction<H, W, T>::size_at(offset);
}

// Second pass of label(): writes each instruction's bytes at out[at], jump
// marks resolved to offsets; a mark writes nothing.
constexpr void emit(const Mark&, uint8_t*, size_t&, const uint32_t*) {}
template <size_t H, size_t W, size_t T>
constexpr void emit(const Instruction<H, W, T>& in, uint8_t* out, size_t& at, const uint32_t* marks) {
  for (size_t i = 0; i < H; ++i) out[at++] = in.head[i];
  if (W > 0) {
    while (at % 4 != 0) out[at++] = LC_FILLER;
    for (size_t w = 0; w < W; ++w) {
      uint32_t v = in.words[w].value;
      if (in.words[w].is_mark) {
        if (v >= MAX_MARKS || marks[v] == UINT32_MAX) throw "jump to an undefined mark";
        v = marks[v];
      }
      for (int b = 0; b < 4; ++b) out[at++] = static_cast<uint8_t>(v >> (8 * b));
    }
  }
  for (size_t i = 0; i < T; ++i) out[at++] = in.tail[i];
}

// The label made of `parts` in order. It must end with lc::end(); a label
// that is not well formed, or longer than LABEL_MAX_BYTES, does not compile.
template <class... P>
consteval auto label(const P&... parts) {
  constexpr size_t N = label_size<P...>();
  static_assert(N <= LABEL_MAX_BYTES, "label longer than the interpreter reads");
  uint32_t marks[MAX_MARKS];
  for (auto& m : marks) m = UINT32_MAX;
  size_t offset = 0;
  (place_mark(parts, offset, marks), ...);
  Label<N> out{};
  size_t at = 0;
  (emit(parts, out.bytes, at, marks), ...);
  if (!well_formed(out.bytes)) throw "label is not well formed";
  return out;
}

// A label that shows one text: LC_TEXT "s" LC_END.
template <size_t N>
consteval auto text_label(const char (&s)[N]) {
  return label(text(s), end());
}

// ---- Labels completed while the program runs --------------------------------

// True when the label's last instruction before LC_END is a text, so that
// extend_text_label can continue that text.
template <size_t N>
consteval bool ends_with_text(const Label<N>& head) {
  size_t last_text = SIZE_MAX;
  size_t offset = 0;
  while (offset + 1 < N) {
    if (head.bytes[offset] == LC_TEXT) last_text = offset;
    offset = next_instruction(head.bytes, offset, N);
  }
  return offset + 1 == N && head.bytes[N - 1] == LC_END && last_text != SIZE_MAX &&
         next_instruction(head.bytes, last_text, N) == N - 1;
}

// Writes at `out` the label `head` (ends_with_text must hold) with `count`
// bytes of `more` added to the end of its last text, and returns the label's
// length. A byte that means something inside a text (LC_TEXT_END,
// LC_TEXT_NEWLINE) is written as a space, so that `more` is only ever drawn,
// never run; `count` is cut so that the label fits LABEL_MAX_BYTES.
template <size_t N>
size_t extend_text_label(uint8_t* out, const Label<N>& head, const char* more, size_t count) {
  static_assert(N >= 3 && N <= LABEL_MAX_BYTES);
  constexpr size_t open = N - 2;  // the text's LC_TEXT_END and the LC_END follow
  if (count > LABEL_MAX_BYTES - N) count = LABEL_MAX_BYTES - N;
  for (size_t i = 0; i < open; ++i) out[i] = head.bytes[i];
  for (size_t i = 0; i < count; ++i) {
    const auto c = static_cast<uint8_t>(more[i]);
    out[open + i] = c == LC_TEXT_END || c == LC_TEXT_NEWLINE ? ' ' : c;
  }
  out[open + count] = LC_TEXT_END;
  out[open + count + 1] = LC_END;
  return N + count;
}

}  // namespace vusk::lc
