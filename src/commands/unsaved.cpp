// The unsaved-changes question and its three answers.
#include "commands/unsaved.h"

#include <cstring>

#include "editor/modified.h"
#include "files/load_save.h"
#include "platform/platform.h"
#include "widgets/widget_table.h"

namespace vusk {

namespace {

constexpr char QUESTION_START[] = "Save changes to ";
constexpr char QUESTION_END[] = "?";

// "Save changes to NAME?" into `text`, whose size fits any bare name.
void build_question(char (&text)[sizeof QUESTION_START + PATH_BYTES + sizeof QUESTION_END]) {
  const size_t start = sizeof QUESTION_START - 1;
  const size_t name = std::strlen(files.file_name);  // terminated within its buffer
  std::memcpy(text, QUESTION_START, start);
  std::memcpy(text + start, files.file_name, name);
  std::memcpy(text + start + name, QUESTION_END, sizeof QUESTION_END);
}

}  // namespace

bool settle_unsaved_changes() {
  if (!document_modified()) return true;
  char text[sizeof QUESTION_START + PATH_BYTES + sizeof QUESTION_END];
  build_question(text);
  switch (ask_question(text, QUESTION_CAPTION)) {
    case ANSWER_YES:
      if (!save_to_origin()) return false;
      redraw_all_widgets();  // the title bar may name the file differently now
      return true;
    case ANSWER_NO: return true;
    case ANSWER_CANCEL: return false;
  }
  return false;
}

}  // namespace vusk
