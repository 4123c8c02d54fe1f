// The one-way layering of src/: every #include must point down the stack
// backends > app > screens > commands > files > editor > widgets > raster >
// platform,
// and only a backend folder may include an operating system's headers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Layer rank by top folder; a file may include its own layer or lower ones.
// The dispatcher calls the files, which use the editor's Document.
int layer_of(const std::string& folder) {
  static const std::vector<std::string> order = {"platform", "raster",  "widgets", "editor",  "files",
                                                 "commands", "screens", "app",     "backends"};
  const auto it = std::find(order.begin(), order.end(), folder);
  return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

// Headers of the C and C++ standard libraries and compiler intrinsics; any
// other <...> header is the operating system's (or a library's).
bool is_standard_header(const std::string& name) {
  static const std::set<std::string> c_headers = {
      "assert.h", "ctype.h",  "errno.h", "float.h",  "inttypes.h", "limits.h", "locale.h",
      "math.h",   "setjmp.h", "signal.h", "stdarg.h", "stdbool.h", "stddef.h", "stdint.h",
      "stdio.h",  "stdlib.h", "string.h", "time.h",   "wchar.h",   "emmintrin.h", "immintrin.h"};
  if (c_headers.count(name) != 0) return true;
  // C++ headers have no extension and no folder.
  return name.find('.') == std::string::npos && name.find('/') == std::string::npos;
}

struct Include {
  std::string file;    // relative to src/, e.g. "editor/commands.cpp"
  std::string target;  // what it includes, e.g. "files/search.h" or <unistd.h>
  bool angled;
};

// Returns a description of what is wrong with one include, or "".
std::string violation(const Include& inc) {
  const std::string from = inc.file.substr(0, inc.file.find('/'));
  const int from_layer = layer_of(from);
  if (from_layer < 0) return inc.file + ": not in a known layer folder";
  if (inc.angled) {
    if (from == "backends" || is_standard_header(inc.target)) return "";
    return inc.file + ": includes the system header <" + inc.target + "> outside a backend folder";
  }
  const auto slash = inc.target.find('/');
  if (slash == std::string::npos) return "";  // a header beside the file
  const std::string to = inc.target.substr(0, slash);
  const int to_layer = layer_of(to);
  if (to_layer < 0) return inc.file + ": includes \"" + inc.target + "\" from outside src/";
  if (to_layer > from_layer) return inc.file + ": includes \"" + inc.target + "\" from a higher layer";
  if (from == "backends" && to == "backends") {
    // A backend uses its own folder and the shared POSIX services only.
    const std::string own = inc.file.substr(0, inc.file.find('/', slash + 1));
    const std::string other = inc.target.substr(0, inc.target.find('/', slash + 1));
    if (own != other && other != "backends/posix") {
      return inc.file + ": includes another backend's \"" + inc.target + "\"";
    }
  }
  return "";
}

// The include of one source line, if it is an #include directive: its
// target and whether it is angled.
bool parse_include(const std::string& line, std::string* target, bool* angled) {
  size_t p = line.find_first_not_of(" \t");
  if (p == std::string::npos || line[p] != '#') return false;
  p = line.find_first_not_of(" \t", p + 1);
  if (p == std::string::npos || line.compare(p, 7, "include") != 0) return false;
  p = line.find_first_not_of(" \t", p + 7);
  if (p == std::string::npos || (line[p] != '<' && line[p] != '"')) return false;
  const size_t end = line.find(line[p] == '<' ? '>' : '"', p + 1);
  if (end == std::string::npos) return false;
  *angled = line[p] == '<';
  *target = line.substr(p + 1, end - p - 1);
  return true;
}

std::vector<Include> includes_under(const fs::path& src) {
  std::vector<Include> found;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const auto ext = entry.path().extension();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
    std::ifstream in(entry.path());
    std::string line, target;
    bool angled = false;
    while (std::getline(in, line)) {
      if (!parse_include(line, &target, &angled)) continue;
      found.push_back({fs::relative(entry.path(), src).generic_string(), target, angled});
    }
  }
  return found;
}

// The named function-pointer declarators `(*name)` on one line of code (a
// comment line declares none).
size_t slots_on_line(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos || line.compare(first, 2, "//") == 0) return 0;
  size_t n = 0;
  for (size_t p = line.find("(*"); p != std::string::npos; p = line.find("(*", p + 2)) {
    size_t e = p + 2;
    while (e < line.size() && (std::isalnum(static_cast<unsigned char>(line[e])) || line[e] == '_')) ++e;
    if (e > p + 2 && e < line.size() && line[e] == ')') ++n;
  }
  return n;
}

// Every function-pointer slot declared in a header under src/ outside the
// backends, as "path: line" entries.
std::vector<std::string> function_pointer_slots(const fs::path& src) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const std::string rel = fs::relative(entry.path(), src).generic_string();
    if (!entry.is_regular_file() || entry.path().extension() != ".h" || rel.rfind("backends/", 0) == 0) continue;
    std::ifstream in(entry.path());
    std::string line;
    while (std::getline(in, line)) {
      for (size_t k = slots_on_line(line); k > 0; --k) found.push_back(rel + ": " + line);
    }
  }
  return found;
}

}  // namespace

// Each slot is a call that climbs back up the layers at run time; results
// returned to the caller are preferred, so the few that remain are counted.
TEST(Layers, FewFunctionPointerSlotsOutsideTheBackends) {
  EXPECT_EQ(slots_on_line("  void (*paint)(int32_t slot);"), 1u);
  EXPECT_EQ(slots_on_line("using WidgetHandler = void (*)(int32_t slot);"), 0u);
  EXPECT_EQ(slots_on_line("// through (*hook)() once"), 0u);
  const auto slots = function_pointer_slots(fs::path(VUSK_SOURCE_DIR) / "src");
  std::string list;
  for (const std::string& s : slots) list += s + "\n";
  EXPECT_GT(slots.size(), 0u);
  EXPECT_LE(slots.size(), 10u) << list;
}

TEST(Layers, EveryIncludeUnderSrcPointsDown) {
  const auto includes = includes_under(fs::path(VUSK_SOURCE_DIR) / "src");
  ASSERT_GT(includes.size(), 100u);
  std::string problems;
  for (const Include& inc : includes) {
    const std::string why = violation(inc);
    if (!why.empty()) problems += why + "\n";
  }
  EXPECT_EQ(problems, "");
}

// The rule itself, on includes that break it and on ones that keep it.
TEST(Layers, TheRuleRefusesUpwardIncludesAndSystemHeaders) {
  struct Case {
    Include inc;
    bool allowed;
  } cases[] = {
      {{"widgets/label.cpp", "editor/text_view.h", false}, false},
      {{"editor/text_view.cpp", "commands/commands.h", false}, false},
      {{"files/transfer.cpp", "commands/commands.h", false}, false},
      {{"commands/commands.cpp", "screens/file_menu.h", false}, false},
      {{"raster/raster.h", "widgets/label.h", false}, false},
      {{"platform/platform.h", "raster/raster.h", false}, false},
      {{"files/load_save.cpp", "app/window.h", false}, false},
      {{"screens/panels.cpp", "app/startup.h", false}, false},
      {{"editor/document.cpp", "unistd.h", true}, false},
      {{"widgets/input.cpp", "SDL2/SDL.h", true}, false},
      {{"app/window.cpp", "windows.h", true}, false},
      {{"backends/sdl/sdl_window.cpp", "backends/win32/win32.h", false}, false},
      {{"tools/x.cpp", "platform/platform.h", false}, false},
      {{"files/search.cpp", "editor/document.h", false}, true},
      {{"screens/panels.cpp", "files/load_save.h", false}, true},
      {{"commands/commands.cpp", "files/search.h", false}, true},
      {{"screens/handlers.cpp", "commands/commands.h", false}, true},
      {{"app/startup.cpp", "screens/screens.h", false}, true},
      {{"editor/document.cpp", "emmintrin.h", true}, true},
      {{"editor/document.cpp", "cstring", true}, true},
      {{"backends/sdl/sdl_window.cpp", "SDL.h", true}, true},
      {{"backends/headless/headless.cpp", "backends/posix/posix_support.h", false}, true},
      {{"backends/sdl/sdl_main.cpp", "app/startup.h", false}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(violation(c.inc).empty(), c.allowed) << c.inc.file << " -> " << c.inc.target;
  }
}
