// vusk-script: runs the real start-up, window procedure, drawing and file code
// headless, with a 1024x768 frame, from a script of input lines, and writes a
// transcript of message boxes, status messages, dialogs and the exit.
//
//   vusk-script [--timings] SCRIPT [FILE]
//
// SCRIPT "-" reads standard input. FILE is the command-line argument. The
// transfer file is VUSK.TMP in the working directory, so that scripts run
// side by side, each in a folder of its own, never share one.
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "editor/commands.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "files/load_save.h"
#include "raster/frame_writer.h"
#include "raster/raster.h"
#include "backends/headless/headless.h"
#include "backends/headless/script_keys.h"
#include "platform/messages.h"
#include "backends/posix/posix_support.h"
#include "app/startup.h"
#include "app/window.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"

using namespace vusk;

namespace {

struct ScriptError {
  std::string what;
};

uint32_t pointer_x = 0, pointer_y = 0;
uint32_t buttons_held = 0;  // MK_ bits of the mouse buttons still down
uint32_t status_shows_seen = 0;
bool caps_lock = false;  // toggled by each CapsLock key press, as on Windows

// Writes a status line into the transcript when the status line has shown
// a message since the last look.
void note_status() {
  if (status.status_shows == status_shows_seen) return;
  status_shows_seen = status.status_shows;
  headless::add_transcript(std::string("status ") + (status.status_text != nullptr ? status.status_text : ""));
}

// Sends one message the way the platform delivers it, then whatever the
// window procedure posted meanwhile (a close request, the quit message).
void deliver(uint32_t message, uintptr_t wparam, intptr_t lparam) {
  headless::send(message, wparam, lparam);
  note_status();
  const bool running = headless::drain_queue();
  note_status();
  if (!running) quit();
}

// Decodes the escapes \xHH \t \n \r \e \s \\ of TEXT arguments.
std::string unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    switch (c) {
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 'e': out += '\x1B'; break;
      case 's': out += ' '; break;
      case '\\': out += '\\'; break;
      case 'x': {
        const bool two_digits = i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                                std::isxdigit(static_cast<unsigned char>(text[i + 2]));
        if (!two_digits) throw ScriptError{"\\x needs two hex digits"};
        out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
        i += 2;
        break;
      }
      default: throw ScriptError{std::string("unknown escape \\") + c};
    }
  }
  return out;
}

uint32_t parse_number(const std::string& word, const char* what) {
  char* end = nullptr;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != 0 || v < 0 || v > 0xFFFF) throw ScriptError{std::string("bad ") + what + ": " + word};
  return static_cast<uint32_t>(v);
}

// Wheel turns in notches: the message carries 120 per notch in 16 bits.
int32_t parse_wheel(const std::string& word) {
  char* end = nullptr;
  const long v = std::strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != 0 || v == 0 || v < -273 || v > 273) {
    throw ScriptError{"bad wheel turn (a non-zero number of notches, at most 273 either way): " + word};
  }
  return static_cast<int32_t>(v);
}

// The line had more words than its kind takes.
void no_more_words(const std::vector<std::string>& words, size_t count) {
  if (words.size() > count) throw ScriptError{"unexpected word: " + words[count]};
}

void mouse(uint32_t message, uint32_t button_bit, bool down, const std::vector<std::string>& words) {
  if (words.size() != 3) throw ScriptError{words[0] + " needs X Y"};
  pointer_x = parse_number(words[1], "x");
  pointer_y = parse_number(words[2], "y");
  if (message != WM_MOUSEMOVE) {
    if (down) buttons_held |= button_bit;
    else buttons_held &= ~button_bit;
  }
  deliver(message, buttons_held, make_position(pointer_y, pointer_x));
}

std::string offset_of(const uint8_t* p) {
  if (p == nullptr) return "-1";
  return std::to_string(static_cast<long long>(p - doc.text_buffer));
}

void print_state() {
  std::ostringstream s;
  s << "state file_path=" << files.file_path << " file_name=" << files.file_name
    << " file_mode=" << int(files.file_mode) << " text_length=" << doc.text_length << " last_line=" << doc.last_line
    << " top_line=" << view.top_line << " left_col=" << view.left_col << " cursor_row=" << int(view.cursor_row)
    << " cursor_col=" << view.cursor_col << " sel_start=" << offset_of(view.sel_start)
    << " sel_end=" << offset_of(view.sel_end) << " insert_mode=" << int(cmd.insert_mode)
    << " focus=" << wt.focus_widget << " widget_end=" << wt.widget_end;
  headless::add_transcript(s.str());
}

void write_document(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(doc.text_buffer), doc.text_length);
  if (!out) throw ScriptError{"cannot write " + path};
}

std::vector<std::string> split_words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// The rest of the line after its first word, as written.
std::string rest_of(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t");
  const size_t space = line.find_first_of(" \t", start);
  if (space == std::string::npos) return "";
  const size_t text = line.find_first_not_of(" \t", space);
  return text == std::string::npos ? "" : line.substr(text);
}

void run_line(const std::string& line) {
  const std::vector<std::string> words = split_words(line);
  if (words.empty() || words[0][0] == '#') return;
  const std::string& verb = words[0];
  if (verb == "key") {
    if (words.size() < 2) throw ScriptError{"key needs at least one key"};
    // Every name is checked before the first key is pressed.
    for (size_t i = 1; i < words.size(); ++i) {
      if (!parse_key(words[i]).valid) throw ScriptError{"unknown key: " + words[i]};
    }
    for (size_t i = 1; i < words.size(); ++i) {
      const KeyStroke stroke = parse_key(words[i], caps_lock);
      for (const KeyMessage& m : stroke.messages) {
        if (m.message == WM_KEYDOWN && m.wparam == VK_CAPITAL) caps_lock = !caps_lock;
        deliver(m.message, m.wparam, m.lparam);
      }
    }
  } else if (verb == "type") {
    for (const char c : unescape(rest_of(line))) deliver(WM_CHAR, static_cast<uint8_t>(c), 1);
  } else if (verb == "click") {
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, true, words);
    mouse(WM_LBUTTONUP, MK_LBUTTON, false, words);
  } else if (verb == "down") {
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, true, words);
  } else if (verb == "up") {
    mouse(WM_LBUTTONUP, MK_LBUTTON, false, words);
  } else if (verb == "move" || verb == "rmove") {
    mouse(WM_MOUSEMOVE, 0, false, words);
  } else if (verb == "rdown") {
    mouse(WM_RBUTTONDOWN, MK_RBUTTON, true, words);
  } else if (verb == "rup") {
    mouse(WM_RBUTTONUP, MK_RBUTTON, false, words);
  } else if (verb == "wheel") {
    if (words.size() != 2) throw ScriptError{"wheel needs N"};
    const int32_t n = parse_wheel(words[1]);
    const auto delta = static_cast<uint16_t>(static_cast<int16_t>(n * 120));
    deliver(WM_MOUSEWHEEL, (static_cast<uintptr_t>(delta) << 16) | buttons_held,
            make_position(pointer_y, pointer_x));
  } else if (verb == "resize") {
    if (words.size() != 3) throw ScriptError{"resize needs W H"};
    const uint32_t w = parse_number(words[1], "width");
    const uint32_t h = parse_number(words[2], "height");
    headless::state.client_width = static_cast<int32_t>(w);
    headless::state.client_height = static_cast<int32_t>(h);
    deliver(WM_SIZE, 0, make_position(h, w));
  } else if (verb == "clipboard") {
    headless::state.clipboard_has_text = true;
    headless::state.clipboard = unescape(rest_of(line));
  } else if (verb == "clipboard-none") {
    no_more_words(words, 1);
    headless::state.clipboard_has_text = false;
    headless::state.clipboard.clear();
  } else if (verb == "transfer") {
    const std::string path = rest_of(line);
    if (path.empty() || path.size() >= sizeof files.transfer_path) throw ScriptError{"transfer needs PATH"};
    std::memcpy(files.transfer_path, path.c_str(), path.size() + 1);
  } else if (verb == "answer") {
    if (words.size() < 2) throw ScriptError{"answer needs open, save, cancel or fail"};
    headless::DialogAnswer a{};
    const std::string arg = words.size() > 2 ? rest_of(rest_of(line)) : "";
    if (words[1] == "open" || words[1] == "save") {
      if (arg.empty()) throw ScriptError{"answer " + words[1] + " needs a path"};
      a.kind = words[1] == "open" ? headless::DialogAnswer::OPEN : headless::DialogAnswer::SAVE;
      a.path = arg;
    } else if (words[1] == "cancel") {
      no_more_words(words, 2);
      a.kind = headless::DialogAnswer::CANCEL;
    } else if (words[1] == "fail") {
      if (words.size() != 3) throw ScriptError{"answer fail needs CODE"};
      char* end = nullptr;
      const unsigned long code = std::strtoul(words[2].c_str(), &end, 0);
      // Code 0 is what a cancel reports: a failure needs another.
      if (*end != 0 || words[2][0] == '-' || code == 0 || code > 0xFFFFFFFFul) {
        throw ScriptError{"bad dialog error code (a non-zero number): " + words[2]};
      }
      a.kind = headless::DialogAnswer::FAIL;
      a.code = static_cast<uint32_t>(code);
    } else {
      throw ScriptError{"unknown answer: " + words[1]};
    }
    headless::state.answers.push_back(a);
  } else if (verb == "shot") {
    const std::string path = rest_of(line);
    if (path.empty()) throw ScriptError{"shot needs PATH"};
    const bool png = path.size() >= 4 && path.compare(path.size() - 4, 4, ".png") == 0;
    if (!(png ? write_frame_png(path.c_str()) : write_frame_bmp(path.c_str()))) {
      throw ScriptError{"cannot write " + path};
    }
  } else if (verb == "state") {
    no_more_words(words, 1);
    print_state();
  } else if (verb == "title") {
    no_more_words(words, 1);
    headless::add_transcript("title " + headless::state.window_title);
  } else if (verb == "doc") {
    const std::string path = rest_of(line);
    if (path.empty()) throw ScriptError{"doc needs PATH"};
    write_document(path);
  } else if (verb == "close") {
    no_more_words(words, 1);
    deliver(WM_CLOSE, 0, 0);
  } else {
    throw ScriptError{"unknown line: " + line};
  }
}

// The working directory, with its final '/', as the transfer file's place.
uint32_t working_directory(char* dest, uint32_t max) {
  if (getcwd(dest, max - 1) == nullptr) return 0;
  auto n = static_cast<uint32_t>(std::strlen(dest));
  if (n == 0 || dest[n - 1] != '/') dest[n++] = '/';
  return n;
}

[[noreturn]] void script_failure(const std::string& where, const std::string& what) {
  std::fflush(stdout);
  std::fprintf(stderr, "vusk-script: %s: %s\n", where.c_str(), what.c_str());
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  bool timings = false;
  int arg = 1;
  if (arg < argc && std::string(argv[arg]) == "--timings") {
    timings = true;
    ++arg;
  }
  if (arg >= argc || argc - arg > 2) {
    std::fprintf(stderr, "usage: vusk-script [--timings] SCRIPT [FILE]\n");
    return 2;
  }
  const std::string script_name = argv[arg];
  std::ifstream file_in;
  std::istream* in = &std::cin;
  if (script_name != "-") {
    file_in.open(script_name, std::ios::binary);
    if (!file_in) script_failure(script_name, "cannot open");
    in = &file_in;
  }

  std::vector<char*> command{argv[0]};
  if (arg + 1 < argc) command.push_back(argv[arg + 1]);
  set_command_line_from_argv(static_cast<int>(command.size()), command.data());

  std::string where = "start-up";
  headless::set_transcript_sink([](const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  });
  headless::set_script_error_handler([&where](const std::string& what) { script_failure(where, what); });

  reset_all_state();
  platform_hooks.transfer_directory = working_directory;
  start_up_steps();
  status_shows_seen = status.status_shows;
  if (!headless::drain_queue()) quit();

  std::string line;
  for (int number = 1; std::getline(*in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    where = script_name + ":" + std::to_string(number);
    const auto t0 = std::chrono::steady_clock::now();
    try {
      run_line(line);
    } catch (const ScriptError& e) {
      script_failure(where, e.what);
    }
    if (timings) {
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
      std::fprintf(stderr, "time %.3f %s\n", ms, line.c_str());
    }
  }
  quit();
}
