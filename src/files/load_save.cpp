// Placeholder until load and save land.
#include "files/load_save.h"

#include <cstring>

namespace vusk {

FileState files;
const uint8_t title_template[19] = {0x0E, 0x09, 0x0F, 'c', 'u', 'r', 'r', 'e', 'n', 't', ' ',
                                    'f',  'i',  'l',  'e', ':', ' ', 0xFF, 0x00};

void reset_file_state() { std::memset(&files, 0, sizeof files); }

int load_document() { return 1; }
bool save_document() { return false; }
void set_title_file_name() {}
void load_with_mode(int32_t) {}
void save_with_mode(int32_t) {}
void save_under_file_name(int32_t) {}
void reload_in_other_mode() {}

}  // namespace vusk
