// Replace and Replace All in the Document: the find field's pattern, its
// matches found by the search's own rules, replaced by the replace field's
// text, each command one change for the undo history. Files layer:
// included by the dispatcher's bar commands and the tests.
#pragma once
#include <cstddef>
#include <cstdint>

#include "files/search.h"

namespace vusk {

// Whether the Selection is exactly a match of `pattern`: a forward search
// from its start finds it, no more and no less.
bool selection_is_match(const SearchPattern& pattern);

// Replaces the selected bytes by the `count` bytes at `bytes` (not in the
// text block), as one change. *after is the offset just past them. False,
// with nothing changed, when the Document cannot take them. The Selection's
// pointers and the location record are left for the caller to renew.
bool replace_selection(const uint8_t* bytes, size_t count, uint32_t* after);

// Replaces every match of `pattern` in the whole text, from the start, by
// the `count` bytes at `bytes`: one pass that builds the changed part anew
// and one change for the history. Returns the number of matches replaced;
// -1, with nothing changed, when the Document cannot take the new text.
// The Selection's pointers and the location record are the caller's.
int64_t replace_all_matches(const SearchPattern& pattern, const uint8_t* bytes, size_t count);

}  // namespace vusk
