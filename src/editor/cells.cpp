// The cells of a line for the Document's encoding, and the checkpoints of
// the one long line looked up last.
#include "editor/cells.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "editor/document.h"
#include "editor/sjis.h"
#include "raster/unicode_width.h"

namespace vusk {

namespace {

// A cell start of the cached line: its byte offset from the line's first
// byte and its display column.
struct Checkpoint {
  uint32_t offset;
  uint32_t column;
};

// The checkpoints of one line, at least CHECKPOINT_BYTES apart, in order;
// points[0] is the line's start. Kept only for a line a walk went far into.
struct CellCache {
  const uint8_t* buffer;  // the text block they were taken in; null: none
  uint32_t line_offset;   // the line's first byte, from buffer
  std::vector<Checkpoint> points;
};
CellCache cache;

constexpr uint32_t CHECKPOINT_BYTES = 1024;

bool utf8_mode() { return doc.encoding == ENCODING_UTF8; }

// Whether the 8 bytes at p are all below 0x80 and none is a tab or a line
// end, so that each is a cell of one byte and one column.
bool plain_eight(const uint8_t* p) {
  uint64_t w;
  std::memcpy(&w, p, sizeof w);
  constexpr uint64_t ONES = 0x0101010101010101ull, HIGHS = 0x8080808080808080ull;
  auto has_byte = [w](uint64_t b) {
    const uint64_t v = w ^ (ONES * b);
    return ((v - ONES) & ~v & HIGHS) != 0;
  };
  return (w & HIGHS) == 0 && !has_byte(0x09) && !has_byte(0x0A) && !has_byte(0x0D);
}

// Eight plain bytes whose last does not gain a zero-width follower.
bool plain_run(const uint8_t* p) { return plain_eight(p) && p[8] < 0x80; }

// A zero-width character's length at p, or 0.
uint32_t zero_width_at(const uint8_t* p) {
  if (*p < 0x80) return 0;
  const Utf8Char c = decode_utf8(p, p + 4);
  return c.bytes != 0 && unicode_cell_width(c.cp) == 0 ? c.bytes : 0;
}

// A walk's place: a cell start and its column.
struct Walk {
  uint8_t* p;
  uint32_t column;
};

bool cache_holds(const uint8_t* line) {
  return cache.buffer == doc.text_buffer && cache.buffer != nullptr &&
         cache.line_offset == static_cast<uint32_t>(line - doc.text_buffer);
}

// Where a walk to the cell of byte offset `offset` or of column `column`
// may begin: the last checkpoint before it, or the line's start. *frontier
// says whether new checkpoints may be added from there.
Walk walk_start(uint8_t* line, uint32_t offset, uint32_t column, bool* frontier) {
  if (!cache_holds(line)) {
    *frontier = true;
    return {line, 0};
  }
  const auto& pts = cache.points;
  auto after = std::upper_bound(pts.begin(), pts.end(), Checkpoint{offset, column},
                                [](const Checkpoint& a, const Checkpoint& b) {
                                  return a.offset < b.offset || a.column < b.column;
                                });
  const Checkpoint c = *(after - 1);
  *frontier = after == pts.end();
  return {line + c.offset, c.column};
}

// Records the walk's place as a checkpoint when it is far enough beyond the
// last one, adopting the line for the cache when the walk began at its start.
void note_checkpoint(uint8_t* line, const Walk& w) {
  const auto offset = static_cast<uint32_t>(w.p - line);
  if (!cache_holds(line)) {
    if (offset < CHECKPOINT_BYTES || doc.text_buffer == nullptr) return;
    cache.buffer = doc.text_buffer;
    cache.line_offset = static_cast<uint32_t>(line - doc.text_buffer);
    cache.points.assign(1, Checkpoint{0, 0});
  }
  if (offset >= cache.points.back().offset + CHECKPOINT_BYTES) cache.points.push_back({offset, w.column});
}

// Walks whole cells from `w` while `more(walk, cell)` allows, and never over
// a line end; in bulk over plain ASCII while `more_plain(walk)` allows.
template <typename More, typename MorePlain>
Walk walk_cells(uint8_t* line, Walk w, bool frontier, More more, MorePlain more_plain) {
  while (!is_line_end(*w.p)) {
    if (frontier) note_checkpoint(line, w);
    if (more_plain(w) && plain_run(w.p)) {
      w.p += 8;
      w.column += 8;
      continue;
    }
    const Cell c = cell_at(w.p, w.column);
    if (!more(w, c)) break;
    w.p += c.bytes;
    w.column += c.width;
  }
  return w;
}

// The cell of a multi-byte start: a valid character, or an invalid byte.
Cell character_cell(const uint8_t* p) {
  const Utf8Char c = decode_utf8(p, p + 4);
  if (c.bytes == 0) return {1, 1, *p, CELL_INVALID, 1};
  const uint32_t width = unicode_cell_width(c.cp);
  // A zero-width character with no cell before it shows in one of its own.
  return {c.bytes, width == 0 ? 1 : width, c.cp, CELL_CHAR, static_cast<uint8_t>(c.bytes)};
}

}  // namespace

Cell cell_at(const uint8_t* p, uint32_t column) {
  const uint8_t b = *p;
  if (!utf8_mode()) return {1, 1, b, CELL_BYTE, 1};
  Cell c = b == 0x09 ? Cell{1, TAB_STOP - column % TAB_STOP, b, CELL_TAB, 1}
           : b < 0x80 ? Cell{1, 1, b, CELL_BYTE, 1}
                      : character_cell(p);
  // Zero-width characters join the cell before them; a line end stops them,
  // being ASCII.
  while (const uint32_t n = zero_width_at(p + c.bytes)) c.bytes += n;
  return c;
}

CellPlace place_of_column(uint8_t* line, uint32_t column) {
  if (!utf8_mode()) {
    uint8_t* p = line;
    while (!is_line_end(*p) && static_cast<uint32_t>(p - line) < column) ++p;
    const auto reached = static_cast<uint32_t>(p - line);
    return {p, reached, column - reached};
  }
  bool frontier = false;
  const Walk from = walk_start(line, UINT32_MAX, column, &frontier);
  const Walk w = walk_cells(
      line, from, frontier, [column](const Walk& at, const Cell& c) { return at.column + c.width <= column; },
      [column](const Walk& at) { return at.column + 8 <= column; });
  const uint32_t pad = is_line_end(*w.p) && column > w.column ? column - w.column : 0;
  return {w.p, w.column, pad};
}

uint32_t column_of(const uint8_t* line, const uint8_t* p) {
  if (!utf8_mode()) return static_cast<uint32_t>(p - line);
  auto* start = const_cast<uint8_t*>(line);
  const auto offset = static_cast<uint32_t>(p - line);
  bool frontier = false;
  const Walk from = walk_start(start, offset, UINT32_MAX, &frontier);
  const Walk w = walk_cells(
      start, from, frontier, [p](const Walk& at, const Cell& c) { return at.p + c.bytes <= p; },
      [p](const Walk& at) { return at.p + 8 <= p; });
  return w.column;
}

uint32_t next_cell_column(uint8_t* line, uint32_t column) {
  const CellPlace place = place_of_column(line, column);
  if (place.pad != 0 || is_line_end(*place.at)) return column + 1;
  return place.column + cell_at(place.at, place.column).width;
}

void forget_cells_from(uint32_t offset) {
  if (cache.buffer == nullptr) return;
  if (cache.buffer != doc.text_buffer || offset < cache.line_offset) {
    reset_cell_state();
    return;
  }
  // A checkpoint depends on the bytes before it and on the character that
  // starts there, at most 4 bytes long.
  auto& pts = cache.points;
  while (pts.size() > 1 && uint64_t{cache.line_offset} + pts.back().offset + 4 > offset) pts.pop_back();
}

void reset_cell_state() {
  cache.buffer = nullptr;
  cache.points.clear();
}

}  // namespace vusk
