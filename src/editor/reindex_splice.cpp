// Re-indexing after a splice of the text block, kept simple: the lines are
// indexed again from the last one that starts before the change.
#include <algorithm>
#include <cstdint>

#include "editor/document.h"

namespace vusk {

void reindex_after_splice(uint32_t offset, uint32_t removed, uint32_t inserted) {
  (void)removed;
  // The entries of lines that start before the change are still right, and
  // every stale one holds an old start at or behind it, so the entries
  // below `offset` are found by bisection. A change right behind a line
  // break may turn the next line's opening bytes into filler or back, so
  // the line whose break that is gets indexed again too.
  const uint32_t* first = doc.line_table + 1;
  const auto line = static_cast<int32_t>(std::lower_bound(first, first + doc.last_line, offset) - first);
  // The rebuild needs an upper bound for the line count.
  const uint8_t* bytes = doc.text_buffer + offset;
  doc.last_line += static_cast<uint32_t>(std::count(bytes, bytes + inserted, LINE_FEED));
  rebuild_line_table(line);
}

}  // namespace vusk
