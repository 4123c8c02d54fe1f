// Loading and saving: the text conversion, the HexListing in both directions,
// round trips, and the title label.
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "editor/text_view.h"
#include "file_test_support.h"
#include "files/text_format.h"
#include "platform/platform.h"
#include "raster/raster.h"
#include "screens/title.h"
#include "widgets/label.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"

using namespace vusk;
using vusk::testing::FileTest;
using namespace std::string_literals;

namespace {

std::string header_for(const std::string& p) {
  std::string h = "; hex listing of " + p.substr(0, 62);
  h.resize(79, ' ');
  return h + "\n";
}

const std::string SIXTEEN_LINE = "30 31 32 33  34 35 36 37  38 39 61 62  63 64 65 66  ; 0000000x 0123456789abcdef\n";

}  // namespace

TEST_F(FileTest, FoxLoadsAsItsListing) {
  write_file(path("fox.txt"), "The quick brown fox\r\n");  // 21 bytes
  ASSERT_EQ(load(path("fox.txt"), FILE_MODE_HEX), 0);
  EXPECT_EQ(document_bytes(), header_for(path("fox.txt")) +
                                  "54 68 65 20  71 75 69 63  6B 20 62 72  6F 77 6E 20  ; 0000000x The quick brown \n"
                                  "66 6F 78 0D  0A \r");
  EXPECT_EQ(doc.last_line, 2u);
  EXPECT_EQ(line_entry(2), 160u);
  EXPECT_EQ(doc.text_capacity, 2 * 80 + 16464u);
  EXPECT_STREQ(files.file_name, "fox.txt");
  EXPECT_TRUE(headless::state.transcript.empty());
}

TEST_F(FileTest, EmptySixteenAndSeventeenByteFilesInBothModes) {
  const std::string sixteen = "0123456789abcdef";
  const struct {
    std::string file;
    uint8_t mode;
    std::string listing;  // behind the header in mode 1
    uint32_t last_line;
  } cases[] = {{"", FILE_MODE_TEXT, "\r", 0},
               {"", FILE_MODE_HEX, "\r", 1},
               {sixteen, FILE_MODE_HEX, SIXTEEN_LINE + "\r", 2},
               {sixteen + "\xAB", FILE_MODE_HEX, SIXTEEN_LINE + "AB \r", 2},
               {sixteen + "\xAB", FILE_MODE_TEXT, sixteen + "\xAB\r", 0}};
  for (const auto& c : cases) {
    write_file(path("f"), c.file);
    ASSERT_EQ(load(path("f"), c.mode), 0);
    EXPECT_EQ(document_bytes(), (c.mode == FILE_MODE_HEX ? header_for(path("f")) : "") + c.listing);
    EXPECT_EQ(doc.last_line, c.last_line);
  }
  EXPECT_EQ(doc.text_capacity, 17 + 16384u);
}

// A save that drops NUL bytes of the file asks first, once, with their count.
TEST_F(FileTest, LineEndsConvertOnLoadAndBecomeCrLfOnSave) {
  struct Case {
    std::string file, document, saved;
    uint32_t last_line;
    uint32_t dropped;  // the file's NULs that the save leaves out
  };
  const std::string nul(1, '\0');
  const Case cases[] = {
      {"a\r\r\nb", "a\n\n" + nul + "b\r", "a\r\n\r\nb", 2, 0},
      {"x\r", "x\n\r", "x\r\n", 1, 0},  // a lone CR at the end leaves an empty last line
      {"a\nb\n", "a\nb\n\r", "a\r\nb\r\n", 2, 0},
      {"\n\r\n\r", "\n\n" + nul + "\n\r", "\r\n\r\n\r\n", 3, 0},
      // A NUL behind a line end is filler and is not written back; one
      // inside a line, or at the start of the text, is content.
      {"a\r\n" + nul + "b" + nul + "c", "a\n" + nul + nul + "b" + nul + "c\r", "a\r\nb" + nul + "c", 1, 1},
      {nul + "a\r\n", nul + "a\n" + nul + "\r", nul + "a\r\n", 1, 0},
      {"a\r\n" + nul + nul + "b\r\nc", "a\n" + nul + nul + nul + "b\n" + nul + "c\r", "a\r\nb\r\nc", 2, 2},
      // UTF-16: every line after the first starts with the NUL of its LF.
      {"a" + nul + "\r" + nul + "\n" + nul + "b" + nul, "a" + nul + "\n" + nul + "\n" + nul + "b" + nul + "\r",
       "a" + nul + "\r\n\r\nb" + nul, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.file));
    write_file(path("in"), c.file);
    ASSERT_EQ(load(path("in"), FILE_MODE_TEXT), 0);
    EXPECT_EQ(document_bytes(), c.document);
    EXPECT_EQ(doc.last_line, c.last_line);
    EXPECT_EQ(files.nul_filler, c.dropped);
    EXPECT_EQ(status.status_text != nullptr, c.dropped != 0);  // told at load
    headless::state.transcript.clear();
    if (c.dropped != 0) headless::state.answers.push_back({headless::DialogAnswer::YES, "", 0});
    EXPECT_EQ(save(path("out"), FILE_MODE_TEXT), c.saved);
    EXPECT_EQ(headless::state.transcript.size(), c.dropped != 0 ? 1u : 0u);
    EXPECT_EQ(save(path("out"), FILE_MODE_TEXT), c.saved);  // once saved, nothing more to ask
    EXPECT_EQ(headless::state.transcript.size(), c.dropped != 0 ? 1u : 0u);
    status.status_text = nullptr;
  }
}

TEST_F(FileTest, CharacterColumnForEveryByteValue) {
  std::string bytes(256, 0);
  for (uint32_t b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
  write_file(path("all"), bytes);
  ASSERT_EQ(load(path("all"), FILE_MODE_HEX), 0);
  const std::string listing = document_bytes();
  for (uint32_t b = 0; b < 256; ++b) {
    const char shown = listing[80 * (1 + b / 16) + 63 + b % 16];
    EXPECT_EQ(shown, b >= 0x20 && b <= 0x7F ? static_cast<char>(b) : ' ') << b;
  }
}

// The same text through the loader and through a plain reading of the line-end
// rules, for texts dense in CR, LF and NUL at every alignment.
TEST_F(FileTest, TextConversionMatchesTheRulesAtEveryAlignment) {
  std::mt19937 rng(5);
  const char alphabet[] = {'a', 'b', '\r', '\n', '\0', '\x0E', '\x0C', '\xFF'};
  for (uint32_t round = 0; round < 300; ++round) {
    std::string file(rng() % 90, 'x');
    for (char& c : file) c = rng() % 3 == 0 ? alphabet[rng() % 8] : 'x';
    std::string expected;
    std::string saved;
    uint32_t breaks = 0, dropped = 0;
    bool line_start = false;  // directly behind a line break, where NULs are filler
    for (size_t i = 0; i < file.size(); ++i) {
      const char c = file[i];
      if (c == '\r' || c == '\n') {
        expected += '\n';
        saved += "\r\n";
        ++breaks;
        line_start = true;
        if (c == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
          expected += '\0';
          ++i;
        }
        continue;
      }
      expected += c;
      if (c != '\0' || !line_start) {
        saved += c;
        line_start = false;
      } else {
        ++dropped;
      }
    }
    SCOPED_TRACE(::testing::PrintToString(file));
    write_file(path("in"), file);
    ASSERT_EQ(load(path("in"), FILE_MODE_TEXT), 0);
    EXPECT_EQ(document_bytes(), expected + "\r");
    EXPECT_EQ(doc.last_line, breaks);
    EXPECT_EQ(files.nul_filler, dropped);
    if (dropped != 0) headless::state.answers.push_back({headless::DialogAnswer::YES, "", 0});
    EXPECT_EQ(save(path("out"), FILE_MODE_TEXT), saved);
  }
}

TEST_F(FileTest, LongPathIsCutInTheHeaderAndNeverSaved) {
  const std::string sub(70, 'd');
  std::filesystem::create_directory(path(sub));
  const std::string file = path(sub + "/f.bin");
  write_file(file, "12;\n");
  ASSERT_EQ(load(file, FILE_MODE_HEX), 0);
  ASSERT_GT(file.size(), 62u);
  EXPECT_EQ(document_bytes().substr(0, 80), "; hex listing of " + file.substr(0, 62) + "\n");
  EXPECT_EQ(save(path("back.bin"), FILE_MODE_HEX), "12;\n");
}

TEST_F(FileTest, ControlBytesOfThePathAreSpacesInTheHeader) {
  const std::string name = "a\nb\x01\x1F" "c.bin";
  write_file(path(name), std::string(20, '\x0A'));
  ASSERT_EQ(load(path(name), FILE_MODE_HEX), 0);
  std::string shown = path("a b  c.bin");
  EXPECT_EQ(document_bytes().substr(0, 80), header_for(shown));
  EXPECT_EQ(doc.last_line, 2u);
  EXPECT_EQ(save(path("back.bin"), FILE_MODE_HEX), std::string(20, '\x0A'));
}

TEST_F(FileTest, ListingParseRules) {
  struct Case {
    std::string text, bytes;
  };
  const Case cases[] = {
      {"1 2", "\x01\x02"},
      {"0a0B", "\x0A\x0B"},
      {"12;34", "\x12"},
      {"ABC", "\xAB\x0C"},  // pairs from the left
      {"7\n8", std::string("\x07\x08")},  // a digit before the line end is a byte of its own
      {"xyz\n5", "\x05"},  // a line without digits gives nothing
      {"; 12\n34;56\n78", "\x34\x78"},
      {"1\r\n2", "\x01\x02"},  // the filler behind a line end is passed over
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    write_file(path("in"), c.text);
    ASSERT_EQ(load(path("in"), FILE_MODE_TEXT), 0);
    EXPECT_EQ(save(path("out"), FILE_MODE_HEX), c.bytes);
  }
}

TEST_F(FileTest, SaveHexAsBinOnOrdinaryText) {
  write_file(path("in.txt"), "Hello, world; 12\r\nCafe 42\r\n");
  ASSERT_EQ(load(path("in.txt"), FILE_MODE_TEXT), 0);
  wt.widget_end = 8;
  wt.w_value[1] = FILE_MODE_HEX;
  set_path(path("out.bin"));
  save_with_mode(4);
  EXPECT_EQ(files.file_mode, FILE_MODE_HEX);
  // "e" and "d" stand alone before ';'; "Cafe" pairs, then 42.
  EXPECT_EQ(read_file(path("out.bin")), "\x0E\x0D\xCA\xFE\x42");
  EXPECT_STREQ(status.status_text, "File saved.");
  EXPECT_STREQ(files.file_name, "out.bin");
}

TEST_F(FileTest, ListingRoundTripsEverySize) {
  std::mt19937 rng(1234);
  std::vector<uint32_t> sizes;
  for (uint32_t n = 0; n <= 100; ++n) sizes.push_back(n);
  for (uint32_t n : {2047u, 2048u, 2049u, 100000u}) sizes.push_back(n);
  for (uint32_t n : sizes) {
    SCOPED_TRACE(n);
    std::string bytes(n, 0);
    for (char& b : bytes) b = static_cast<char>(rng());
    write_file(path("r.bin"), bytes);
    ASSERT_EQ(load(path("r.bin"), FILE_MODE_HEX), 0);
    EXPECT_EQ(doc.last_line, 1 + n / 16);
    EXPECT_EQ(save(path("back.bin"), FILE_MODE_HEX), bytes);
  }
  // The line for offset 0x1230 carries 0000123x.
  EXPECT_EQ(document_bytes().substr(80 + 0x123 * 80 + 54, 8), "0000123x");
}

TEST_F(FileTest, TextRoundTripsAndSaveGathersAcrossBuffers) {
  // Several times the gather buffer, with lines of every length up to 200.
  std::mt19937 rng(99);
  std::string text;
  while (text.size() < 700000) {
    const uint32_t n = rng() % 200;
    for (uint32_t i = 0; i < n; ++i) text += static_cast<char>(0x20 + rng() % 0x5F);
    text += "\r\n";
  }
  text += "tail";
  write_file(path("t.txt"), text);
  ASSERT_EQ(load(path("t.txt"), FILE_MODE_TEXT), 0);
  EXPECT_EQ(save(path("back.txt"), FILE_MODE_TEXT), text);
  // Without a gather block the 2048-byte buffer carries the same bytes.
  files.alloc_block = [](size_t) -> void* { return nullptr; };
  EXPECT_EQ(save(path("back2.txt"), FILE_MODE_TEXT), text);
}

// Ctrl+F2's reload; the key itself, which also puts the view at the top
// left, is tried in test_file_menu.cpp.
TEST_F(FileTest, CtrlF2ReloadsInTheOtherModeAndEmptiesTheSelection) {
  write_file(path("a.bin"), "AB");
  ASSERT_EQ(load(path("a.bin"), FILE_MODE_TEXT), 0);
  for (uint8_t mode : {FILE_MODE_HEX, FILE_MODE_TEXT}) {
    view.top_line = 5;
    view.sel_start = view.sel_anchor = doc.text_buffer;
    view.sel_end = view.sel_head = doc.text_buffer + 1;
    reload_in_other_mode();
    EXPECT_EQ(files.file_mode, mode);
    EXPECT_EQ(document_bytes(), mode == FILE_MODE_HEX ? header_for(path("a.bin")) + "41 42 \r" : "AB\r");
    EXPECT_EQ(view.top_line, 5);  // a load leaves the view to its caller
    EXPECT_TRUE(view.sel_start == view.sel_end && view.sel_anchor == view.sel_head && view.sel_head == view.sel_end);
    EXPECT_TRUE(check_document());
  }
  refresh_title_label();
  EXPECT_EQ(std::string(reinterpret_cast<char*>(title.label) + 3, 19), "current file:a.bin\xFF");
}

// The title's name continues the template's text; only a label whose last
// instruction is a text can be continued that way.
static_assert(lc::ends_with_text(lc::text_label("a")));
static_assert(lc::ends_with_text(lc::label(lc::colour(9), lc::text("x", lc::newline(16), "y"), lc::end())));
static_assert(!lc::ends_with_text(lc::label(lc::colour(9), lc::end())));
static_assert(!lc::ends_with_text(lc::label(lc::text("a"), lc::colour(3), lc::end())));
static_assert(!lc::ends_with_text(lc::label(lc::text("a"), lc::end(), lc::end())));

// Where the name starts in the title label: in place of the template's
// end-of-text byte, before its LC_END.
constexpr size_t NAME_AT = title_template.size - 2;

TEST_F(FileTest, TitleNameIsCutToTheFrameAndTheLabel) {
  auto title_name = []() {
    const auto* label = reinterpret_cast<const char*>(title.label);
    EXPECT_EQ(std::string(label, NAME_AT), std::string(reinterpret_cast<const char*>(title_template.data()), NAME_AT));
    const std::string rest(label + NAME_AT);  // up to the LC_END byte
    EXPECT_EQ(rest.back(), '\xFF');
    return rest.substr(0, rest.size() - 1);
  };
  auto retitle = [] {
    take_file_name();
    refresh_title_label();
  };
  const std::string name(200, 'n');
  set_path("/x/y/" + name);
  raster.frame_width = 1024;
  retitle();
  EXPECT_EQ(files.file_name, name);
  EXPECT_EQ(title_name(), name.substr(0, 99));
  raster.frame_width = 624;
  retitle();
  EXPECT_EQ(title_name().size(), 55u);
  // A frame too narrow for the subtraction wraps round and cuts nothing; nor
  // does a frame that does not exist yet. The label's size still does.
  raster.frame_width = 100;
  retitle();
  EXPECT_EQ(title_name(), name);
  const std::string longest(250, 'm');
  set_path(longest);
  raster.frame_width = 0;
  retitle();
  EXPECT_EQ(files.file_name, longest);
  EXPECT_EQ(title_name(), longest.substr(0, sizeof title.label - NAME_AT - 2));
  // A 0xFF in the name must not end the label's text early.
  set_path("dir/a\xFF" "b");
  retitle();
  EXPECT_EQ(title_name(), "a b");
  EXPECT_STREQ(files.file_name, "a\xFF" "b");
}

// The name is text inside the title label: whatever bytes it holds, the
// text must close right after it and the label end there. The bytes that
// mean something inside text show as spaces; every other byte stays.
TEST_F(FileTest, EveryByteOfTheNameStaysTextInTheTitleLabel) {
  raster.frame_width = 1024;
  for (uint32_t b = 1; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    if (is_path_separator(byte)) continue;  // not part of a bare name
    for (const std::string& name : {std::string("a") + byte + "Zbc", std::string("a") + byte}) {
      set_path(name);
      take_file_name();
      refresh_title_label();
      const uint8_t* label = title.label;
      const bool special = b == LC_TEXT_END || b == LC_TEXT_NEWLINE;
      std::string shown = name;
      shown[1] = special ? ' ' : byte;
      ASSERT_EQ(std::string(reinterpret_cast<const char*>(label) + NAME_AT, name.size()), shown) << "byte " << b;
      ASSERT_EQ(label[NAME_AT + name.size()], LC_TEXT_END) << "byte " << b;
      ASSERT_EQ(label[NAME_AT + 1 + name.size()], LC_END) << "byte " << b;
      EXPECT_EQ(files.file_name, name);
    }
  }
}

namespace {

// The converted bytes and the line starts of `bytes`, fed to the conversion
// in pieces that end at `cuts` (none: in one go).
std::pair<std::string, std::vector<uint32_t>> converted(std::string bytes, const std::vector<uint32_t>& cuts) {
  bytes.push_back('?');  // room for the end marker
  auto* text = reinterpret_cast<uint8_t*>(bytes.data());
  const auto size = static_cast<uint32_t>(bytes.size() - 1);
  LineStarts starts{};
  TextConversion c;
  bool ok = begin_conversion(c, text, starts);
  for (const uint32_t cut : cuts) ok = ok && convert_arrived(c, cut);
  ok = ok && finish_conversion(c, size);
  EXPECT_TRUE(ok);
  std::vector<uint32_t> table(starts.table, starts.table + starts.count);
  free_block(starts.table);
  return {bytes, table};
}

}  // namespace

// A file is converted piece by piece as it is read: CR LF pairs and runs of
// filler cut by a piece's end must come out as a conversion in one go.
TEST_F(FileTest, ConversionInPiecesMatchesTheWholeAtEveryCut) {
  std::mt19937 rng(9);
  const std::string alphabet = "ab\r\n\0\0\0"s;
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    for (uint32_t n = rng() % 200; n > 0; --n) bytes += alphabet[rng() % alphabet.size()];
    std::vector<uint32_t> cuts;
    for (uint32_t at = 0; at < bytes.size(); at += 1 + rng() % 9) cuts.push_back(at);
    cuts.push_back(static_cast<uint32_t>(bytes.size()));
    ASSERT_EQ(converted(bytes, cuts), converted(bytes, {})) << ::testing::PrintToString(bytes);
  }
  // Through the loader, with a CR LF pair and a run of filler across the
  // first piece's end (512 KiB).
  std::string file(512 * 1024 - 3, 'x');
  file += "\r\n" + std::string(3, '\0') + "y\r\n\0z"s;
  write_file(path("pieces.txt"), file);
  ASSERT_EQ(load(path("pieces.txt"), FILE_MODE_TEXT), 0);
  EXPECT_EQ(doc.last_line, 2u);
  EXPECT_EQ(line_entry(1), 512u * 1024 + 2);
  EXPECT_EQ(line_entry(2), 512u * 1024 + 6);
  EXPECT_TRUE(check_document());
}

// Another program's change since the load or the last save, however it
// shows (the size, the time of the last write, a new file renamed over it),
// is asked about: No keeps the other version, Yes saves. A file deleted
// meanwhile is written again without a word.
TEST_F(FileTest, SaveAsksBeforeOverwritingAFileChangedOnDisk) {
  namespace fs = std::filesystem;
  const std::string file = path("doc.txt");
  const std::string ours = "ours\r\n";
  write_file(file, ours);
  ASSERT_EQ(load(file, FILE_MODE_TEXT), 0);
  const struct {
    const char* what;
    std::function<void()> change;
  } changes[] = {
      {"size", [&] { write_file(file, "theirs, longer\r\n"); }},
      {"time", [&] { fs::last_write_time(file, fs::last_write_time(file) + std::chrono::hours(1)); }},
      {"inode", [&] {
         write_file(path("new"), ours);
         fs::last_write_time(path("new"), fs::last_write_time(file));
         fs::rename(path("new"), file);
       }},
  };
  for (const auto& c : changes) {
    c.change();
    const std::string theirs = read_file(file);
    headless::state.transcript.clear();
    headless::state.answers.push_back({headless::DialogAnswer::NO, "", 0});
    EXPECT_FALSE(save_to_origin()) << c.what;
    EXPECT_EQ(read_file(file), theirs) << c.what;
    EXPECT_TRUE(transcript_has("question Vusk: doc.txt was changed by another program. Save anyway?")) << c.what;
    headless::state.answers.push_back({headless::DialogAnswer::YES, "", 0});
    EXPECT_TRUE(save_to_origin()) << c.what;
    EXPECT_EQ(read_file(file), ours) << c.what;
    EXPECT_EQ(headless::state.transcript.size(), 2u) << c.what;
    EXPECT_TRUE(save_to_origin()) << c.what;  // our own save is no change
    EXPECT_EQ(headless::state.transcript.size(), 2u) << c.what;
  }
  fs::remove(file);
  EXPECT_TRUE(save_to_origin());
  EXPECT_EQ(read_file(file), ours);
  EXPECT_EQ(headless::state.transcript.size(), 2u);
}
