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
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/state_dump.h"
#include "backends/headless/headless.h"
#include "backends/headless/script_keys.h"
#include "backends/posix/posix_support.h"
#include "editor/cells.h"
#include "files/transfer.h"
#include "platform/messages.h"
#include "backends/headless/frame_writer.h"
#include "widgets/status.h"

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

// `doc PATH`: the Document's bytes in use, end marker included.
void write_document(const std::string& path) {
  const std::string_view text = document_text();
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
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

// One script line: as written, and split into words (the verb first).
struct Line {
  const std::string& text;
  std::vector<std::string> words;
};

// `key NAME...`: every name is checked before the first key is pressed.
void press_keys(const Line& l) {
  if (l.words.size() < 2) throw ScriptError{"key needs at least one key"};
  for (size_t i = 1; i < l.words.size(); ++i) {
    if (!parse_key(l.words[i]).valid) throw ScriptError{"unknown key: " + l.words[i]};
  }
  for (size_t i = 1; i < l.words.size(); ++i) {
    const KeyStroke stroke = parse_key(l.words[i], caps_lock);
    for (const KeyMessage& m : stroke.messages) {
      if (m.message == WM_KEYDOWN && m.wparam == VK_CAPITAL) caps_lock = !caps_lock;
      deliver(m.message, m.wparam, m.lparam);
    }
  }
}

// `type TEXT`: a character written as itself beyond ASCII (valid UTF-8) is
// one WM_UNICHAR, as a keyboard types it; every other byte, and each byte
// an escape gives, is one WM_CHAR.
void type_text(const Line& l) {
  const std::string text = rest_of(l.text);
  const auto* p = reinterpret_cast<const uint8_t*>(text.data());
  const uint8_t* end = p + text.size();
  while (p < end) {
    const Utf8Char c = *p >= 0x80 ? decode_utf8(p, end) : Utf8Char{0, 0};
    if (c.bytes != 0) {
      deliver(WM_UNICHAR, c.cp, 1);
      p += c.bytes;
      continue;
    }
    // Up to the next character beyond ASCII, or one byte that is none.
    const uint8_t* stop = p + 1;
    while (stop < end && *stop < 0x80) ++stop;
    for (const char b : unescape(std::string(p, stop))) deliver(WM_CHAR, static_cast<uint8_t>(b), 1);
    p = stop;
  }
}

// `wheel N`: N notches at the pointer, with the buttons still held.
void turn_wheel(const Line& l) {
  if (l.words.size() != 2) throw ScriptError{"wheel needs N"};
  const int32_t n = parse_wheel(l.words[1]);
  const auto delta = static_cast<uint16_t>(static_cast<int16_t>(n * 120));
  deliver(WM_MOUSEWHEEL, (static_cast<uintptr_t>(delta) << 16) | buttons_held, make_position(pointer_y, pointer_x));
}

// `resize W H`: the user's resize of the client area.
void resize(const Line& l) {
  if (l.words.size() != 3) throw ScriptError{"resize needs W H"};
  const uint32_t w = parse_number(l.words[1], "width");
  const uint32_t h = parse_number(l.words[2], "height");
  headless::state.client_width = static_cast<int32_t>(w);
  headless::state.client_height = static_cast<int32_t>(h);
  deliver(WM_SIZE, 0, make_position(h, w));
}

// `transfer PATH`: where copies and pastes find the transfer file.
void use_transfer_file(const Line& l) {
  const std::string path = rest_of(l.text);
  if (path.empty() || !set_transfer_path(path.c_str())) throw ScriptError{"transfer needs PATH"};
}

// `clipboard TEXT` / `clipboard-none`: what the next paste finds.
void set_clipboard(const Line& l) {
  headless::state.clipboard_has_text = true;
  headless::state.clipboard = unescape(rest_of(l.text));
}
void empty_clipboard(const Line& l) {
  no_more_words(l.words, 1);
  headless::state.clipboard_has_text = false;
  headless::state.clipboard.clear();
}

// The CODE of `answer fail CODE`: any non-zero 32-bit number, since code 0 is
// what a cancel reports.
uint32_t dialog_error_code(const std::string& word) {
  char* end = nullptr;
  const unsigned long code = std::strtoul(word.c_str(), &end, 0);
  if (*end != 0 || word[0] == '-' || code == 0 || code > 0xFFFFFFFFul) {
    throw ScriptError{"bad dialog error code (a non-zero number): " + word};
  }
  return static_cast<uint32_t>(code);
}

// `answer open PATH` | `answer save PATH` | `answer cancel` | `answer fail
// CODE` | `answer yes` | `answer no`: queues what the next file dialog or
// question returns (cancel answers either). PATH takes the escapes of TEXT,
// so that any byte of a name can be given.
void queue_answer(const Line& l) {
  const auto& w = l.words;
  if (w.size() < 2) throw ScriptError{"answer needs open, save, cancel, fail, yes or no"};
  headless::DialogAnswer a{};
  if (w[1] == "yes" || w[1] == "no") {
    no_more_words(w, 2);
    a.kind = w[1] == "yes" ? headless::DialogAnswer::YES : headless::DialogAnswer::NO;
  } else if (w[1] == "open" || w[1] == "save") {
    a.path = w.size() > 2 ? unescape(rest_of(rest_of(l.text))) : "";
    if (a.path.empty()) throw ScriptError{"answer " + w[1] + " needs a path"};
    a.kind = w[1] == "open" ? headless::DialogAnswer::OPEN : headless::DialogAnswer::SAVE;
  } else if (w[1] == "cancel") {
    no_more_words(w, 2);
    a.kind = headless::DialogAnswer::CANCEL;
  } else if (w[1] == "fail") {
    if (w.size() != 3) throw ScriptError{"answer fail needs CODE"};
    a.kind = headless::DialogAnswer::FAIL;
    a.code = dialog_error_code(w[2]);
  } else {
    throw ScriptError{"unknown answer: " + w[1]};
  }
  headless::state.answers.push_back(a);
}

// `dialog-none`: from here on no file dialog can be shown, as without zenity.
void lose_dialogs(const Line& l) {
  no_more_words(l.words, 1);
  headless::state.dialogs_unavailable = true;
}

// `shot PATH`: the frame as a PNG (a name ending in .png) or a BMP.
void write_shot(const Line& l) {
  const std::string path = rest_of(l.text);
  if (path.empty()) throw ScriptError{"shot needs PATH"};
  const bool png = path.size() >= 4 && path.compare(path.size() - 4, 4, ".png") == 0;
  if (!(png ? write_frame_png(path.c_str()) : write_frame_bmp(path.c_str()))) throw ScriptError{"cannot write " + path};
}

void print_state(const Line& l) {
  no_more_words(l.words, 1);
  headless::add_transcript("state " + dump_state());
}

void print_title(const Line& l) {
  no_more_words(l.words, 1);
  headless::add_transcript("title " + headless::state.window_title);
}

// `show-clipboard`: the system clipboard's text, control bytes escaped.
void print_clipboard(const Line& l) {
  no_more_words(l.words, 1);
  if (!headless::state.clipboard_has_text) {
    headless::add_transcript("clipboard none");
    return;
  }
  std::string shown;
  for (const char c : headless::state.clipboard) {
    const auto b = static_cast<uint8_t>(c);
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
    shown += b < 0x20 || b == '\\' ? std::string(escaped) : std::string(1, c);
  }
  headless::add_transcript("clipboard " + shown);
}

void dump_document(const Line& l) {
  const std::string path = rest_of(l.text);
  if (path.empty()) throw ScriptError{"doc needs PATH"};
  write_document(path);
}

// `dblclick X Y`: the four messages of a double-click, as Windows sends them
// to a window of a class that takes double-clicks.
void double_click(const Line& l) {
  for (const uint32_t message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    mouse(message, MK_LBUTTON, message != WM_LBUTTONUP, l.words);
  }
}

// `drop PATH`: one file dropped onto the window; PATH takes TEXT's escapes.
void drop_file(const Line& l) {
  const std::string path = unescape(rest_of(l.text));
  if (path.empty()) throw ScriptError{"drop needs PATH"};
  deliver(WM_DROPFILES, reinterpret_cast<uintptr_t>(path.c_str()), 0);
}

void close_window(const Line& l) {
  no_more_words(l.words, 1);
  deliver(WM_CLOSE, 0, 0);
}

// The verbs of a script line and what each does.
struct Verb {
  const char* name;
  void (*run)(const Line&);
};
const Verb VERBS[] = {
    {"key", press_keys},
    {"type", type_text},
    {"click",
     [](const Line& l) {
       mouse(WM_LBUTTONDOWN, MK_LBUTTON, true, l.words);
       mouse(WM_LBUTTONUP, MK_LBUTTON, false, l.words);
     }},
    {"dblclick", double_click},
    {"down", [](const Line& l) { mouse(WM_LBUTTONDOWN, MK_LBUTTON, true, l.words); }},
    {"up", [](const Line& l) { mouse(WM_LBUTTONUP, MK_LBUTTON, false, l.words); }},
    {"move", [](const Line& l) { mouse(WM_MOUSEMOVE, 0, false, l.words); }},
    {"rmove", [](const Line& l) { mouse(WM_MOUSEMOVE, 0, false, l.words); }},
    {"rdown", [](const Line& l) { mouse(WM_RBUTTONDOWN, MK_RBUTTON, true, l.words); }},
    {"rup", [](const Line& l) { mouse(WM_RBUTTONUP, MK_RBUTTON, false, l.words); }},
    {"wheel", turn_wheel},
    {"resize", resize},
    {"clipboard", set_clipboard},
    {"clipboard-none", empty_clipboard},
    {"transfer", use_transfer_file},
    {"answer", queue_answer},
    {"dialog-none", lose_dialogs},
    {"shot", write_shot},
    {"state", print_state},
    {"title", print_title},
    {"show-clipboard", print_clipboard},
    {"doc", dump_document},
    {"drop", drop_file},
    {"close", close_window},
};

// Runs one script line; blank lines and comments do nothing.
void run_line(const std::string& text) {
  const Line line{text, split_words(text)};
  if (line.words.empty() || line.words[0][0] == '#') return;
  for (const Verb& verb : VERBS) {
    if (line.words[0] == verb.name) return verb.run(line);
  }
  throw ScriptError{"unknown line: " + text};
}

[[noreturn]] void script_failure(const std::string& where, const std::string& what) {
  std::fflush(stdout);
  std::fprintf(stderr, "vusk-script: %s: %s\n", where.c_str(), what.c_str());
  std::exit(2);
}

// The command line's words: the options, the script's name and the file.
struct Arguments {
  bool timings = false;
  std::string script_name;
  char* file = nullptr;  // the program's command-line argument, if any
};

Arguments parse_arguments(int argc, char** argv) {
  Arguments a;
  int arg = 1;
  if (arg < argc && std::string(argv[arg]) == "--timings") {
    a.timings = true;
    ++arg;
  }
  if (arg >= argc || argc - arg > 2) {
    std::fprintf(stderr, "usage: vusk-script [--timings] SCRIPT [FILE]\n");
    std::exit(2);
  }
  a.script_name = argv[arg];
  if (arg + 1 < argc) a.file = argv[arg + 1];
  return a;
}

// Where script failures are reported from: start-up, then SCRIPT:LINE.
std::string where = "start-up";

// The working directory, with its final '/', as the transfer file's place.
uint32_t working_directory(char* dest, uint32_t max) {
  if (getcwd(dest, max - 1) == nullptr) return 0;
  auto n = static_cast<uint32_t>(std::strlen(dest));
  if (n == 0 || dest[n - 1] != '/') dest[n++] = '/';
  return n;
}

// The program's start-up as the platform's main would run it, with FILE as
// its argument, the transcript on standard output and the transfer file in
// the working directory.
void start_program(char* program, char* file) {
  keep_running_past_file_size_limit();
  std::vector<char*> command{program};
  if (file != nullptr) command.push_back(file);
  set_command_line_from_argv(static_cast<int>(command.size()), command.data());
  headless::set_transcript_sink([](const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  });
  headless::set_script_error_handler([](const std::string& what) { script_failure(where, what); });
  reset_all_state();
  platform_hooks.transfer_directory = working_directory;
  // An installed copy finds the font where the installed program does.
  platform_hooks.installed_data_path = posix_installed_data_path;
  start_up_steps();
  note_status();  // what the load of the command line's file said
  if (!headless::drain_queue()) quit();
}

// Runs every line of `in`, each timed on standard error with --timings.
void run_script(std::istream& in, const Arguments& a) {
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    where = a.script_name + ":" + std::to_string(number);
    const auto t0 = std::chrono::steady_clock::now();
    try {
      run_line(line);
    } catch (const ScriptError& e) {
      script_failure(where, e.what);
    }
    if (a.timings) {
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
      std::fprintf(stderr, "time %.3f %s\n", ms, line.c_str());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const Arguments a = parse_arguments(argc, argv);
  std::ifstream file_in;
  if (a.script_name != "-") {
    file_in.open(a.script_name, std::ios::binary);
    if (!file_in) script_failure(a.script_name, "cannot open");
  }
  start_program(argv[0], a.file);
  run_script(a.script_name == "-" ? std::cin : file_in, a);
  quit();
}
