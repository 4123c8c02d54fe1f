// Placeholder until the Document engine lands.
#include "editor/document.h"

#include <cstring>

#include "shell/platform.h"

namespace vusk {

DocumentState doc;

void reset_document_state() {
  free_block(doc.text_buffer);
  free_block(doc.line_table);
  std::memset(&doc, 0, sizeof doc);
}

void create_empty_document() {}
void locate_cursor(uint32_t, uint32_t) {}
uint32_t line_of_pointer(const uint8_t*) { return 0; }
int32_t make_room(uint32_t) { return 0; }
void materialize_padding() {}
void delete_char_at_cursor() {}
void delete_selection() {}
void rebuild_line_table(int32_t) {}
bool check_document(const char**) { return false; }

}  // namespace vusk
