// Placeholder until the label interpreter lands.
#include "widgets/label.h"

namespace vusk {

void* label_variables[LABEL_VARIABLES];
char number_text[8];

void reset_label_variables() {}
void draw_widget(int32_t) {}
void format_decimal(int32_t) {}

}  // namespace vusk
