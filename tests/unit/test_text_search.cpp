// The find bar's byte matching against a plain scan that tries every
// candidate in turn, on many small random texts, and a few named cases.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "editor/cells.h"
#include "editor/sjis.h"
#include "files/text_search.h"

using namespace vusk;
using namespace std::string_literals;

namespace {

// The bytes of the character at i: a valid UTF-8 sequence, or else one byte.
int64_t utf8_length(const std::string& text, int64_t i) {
  const auto* p = reinterpret_cast<const uint8_t*>(text.data());
  const uint32_t n = decode_utf8(p + i, p + text.size()).bytes;
  return n == 0 ? 1 : n;
}

// Whether q starts a character as the drawing sees the line: its bytes
// paired (or in UTF-8, decoded) from the line's start, behind the filler
// after the line break.
bool starts_character(const std::string& text, int64_t q, bool utf8 = false) {
  int64_t i = q;
  while (i > 0 && text[i - 1] != '\n') --i;
  while (i < q && text[i] == '\0') ++i;
  auto byte = [&](int64_t k) { return static_cast<uint8_t>(text[k]); };
  const int64_t size = static_cast<int64_t>(text.size());
  while (i < q) {
    if (utf8) i += utf8_length(text, i);
    else i += is_lead_byte(byte(i)) && i + 1 < size && !is_line_end(byte(i + 1)) ? 2 : 1;
  }
  return i == q;
}

// The plain scan, straight from the rules: candidates below text length - n,
// none on a NUL or '\n' or inside a character, letters alone fold (not a
// character's second byte), a line end of the pattern takes the filler
// behind the text's, a match ends on a character's end; forwards from `from`
// (at least 0), backwards from one below min(from, limit). The match's end
// goes to *end when it is wanted.
int64_t plain_scan(const std::string& text, int64_t from, bool backwards, const std::string& pattern,
                   bool fold, int64_t* end = nullptr, bool utf8 = false) {
  const int64_t n = static_cast<int64_t>(pattern.size());
  const int64_t size = static_cast<int64_t>(text.size());
  const int64_t limit = size - n;
  auto pair = [](uint8_t t, uint8_t p, bool folds) {
    const int folded = t & 0xDF;
    return t == p || (folds && folded == (p & 0xDF) && folded >= 'A' && folded <= 'Z');
  };
  auto matches = [&](int64_t p) {
    if (text[p] == '\0' || text[p] == '\n' || !starts_character(text, p, utf8)) return false;
    int64_t t = p;
    for (int64_t i = 0; i < n; ++i) {
      if (t >= size) return false;
      const bool folds = fold && (utf8 || starts_character(text, t));
      if (!pair(static_cast<uint8_t>(text[t++]), static_cast<uint8_t>(pattern[i]), folds)) return false;
      if (pattern[i] == '\n') {
        while (t < size && text[t] == '\0') ++t;
      }
    }
    if (end != nullptr) *end = t;
    return starts_character(text, t, utf8);
  };
  if (!backwards) {
    for (int64_t p = from < 0 ? 0 : from; p < limit; ++p) {
      if (matches(p)) return p;
    }
    return -1;
  }
  for (int64_t p = from >= limit ? limit : from; p > 0;) {
    if (matches(--p)) return p;
  }
  return -1;
}

// Calls the routine on a block of exactly the text's size, so that the
// sanitizer sees any read beyond it. The portable routine must agree; a
// disagreement is reported as -2, which no scan gives. The match's length
// goes to *length.
int64_t search(const std::string& text, int64_t from, bool backwards, const std::string& pattern, bool fold,
               size_t* length = nullptr, bool utf8 = false) {
  const std::vector<uint8_t> block(text.begin(), text.end());
  const std::vector<uint8_t> pat(pattern.begin(), pattern.end());
  size_t got = 0, portable_got = 0;
  const int64_t found =
      find_match(block.data(), block.size(), from, backwards, pat.data(), pat.size(), fold, &got, utf8);
  const int64_t portable = find_match_portable(block.data(), block.size(), from, backwards, pat.data(), pat.size(),
                                               fold, &portable_got, utf8);
  if (length != nullptr) *length = got;
  return found == portable && (found < 0 || got == portable_got) ? found : -2;
}

std::string shown(const std::string& bytes) {
  std::string out;
  for (const unsigned char c : bytes) {
    out += (c >= 0x20 && c < 0x7F) ? std::string(1, static_cast<char>(c)) : "\\x" + std::to_string(c);
  }
  return out;
}

// Letters of both cases and rarities, the neighbours of letters that must not
// fold ([ {, @ `), filler, line ends, the end marker, lead bytes and a
// single-width katakana.
const std::string ALPHABET = "aAeEzZbB[{@` \n\0\0\r\x82\x82\xE0\xA0"s;
// For UTF-8 texts also the bytes of whole and cut sequences: the leads and
// continuations of \u00E9, \u3041 and U+1F600, which pair up at random.
const std::string UTF8_ALPHABET = ALPHABET + "\xC3\xA9\xE3\x81\x81\xF0\x9F\x98\x80\x81"s;

std::string random_bytes(std::mt19937& rng, size_t length, const std::string& alphabet = ALPHABET) {
  std::string out;
  for (size_t i = 0; i < length; ++i) out += alphabet[rng() % alphabet.size()];
  return out;
}

// Mostly a piece of the text with the case of some letters swapped, so that
// matches are frequent; otherwise random bytes, at times longer than the text.
std::string random_pattern(std::mt19937& rng, const std::string& text) {
  if (text.empty() || rng() % 3 == 0) return random_bytes(rng, rng() % 9);
  const size_t at = rng() % text.size();
  std::string piece = text.substr(at, rng() % 7);
  for (char& c : piece) {
    const bool letter = ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    if (letter && rng() % 2 == 0) c = static_cast<char>(c ^ 0x20);
  }
  // The find field holds no filler: its line end is to meet the text's.
  if (rng() % 2 == 0) std::erase(piece, '\0');
  return piece;
}

TEST(TextSearch, EqualsThePlainScanOnRandomTexts) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 2000; ++round) {
    // The last quarter of the rounds reads UTF-8 texts.
    const bool utf8 = round >= 1500;
    const std::string text = random_bytes(rng, rng() % 120, utf8 ? UTF8_ALPHABET : ALPHABET);
    const std::string pattern = random_pattern(rng, text);
    const int64_t len = static_cast<int64_t>(text.size());
    for (int64_t from = -2; from <= len + 2; ++from) {
      for (const bool backwards : {false, true}) {
        for (const bool fold : {false, true}) {
          int64_t end = 0;
          size_t length = 0;
          const int64_t want = plain_scan(text, from, backwards, pattern, fold, &end, utf8);
          const int64_t got = search(text, from, backwards, pattern, fold, &length, utf8);
          if (got != want || (got >= 0 && static_cast<int64_t>(length) != end - got)) {
            FAIL() << "text \"" << shown(text) << "\" pattern \"" << shown(pattern) << "\" from " << from
                   << (backwards ? " backwards" : " forwards") << (fold ? " folded" : "") << (utf8 ? " utf-8" : "")
                   << ": " << got << "+"
                   << length << ", the plain scan gives " << want << " to " << end;
          }
        }
      }
    }
  }
}

// Long runs where the rare bytes of the pattern keep passing the prefilter,
// and matches sit across every place in a 16-byte block.
TEST(TextSearch, EqualsThePlainScanOnLongRepetitiveTexts) {
  std::mt19937 rng(99);
  for (int round = 0; round < 60; ++round) {
    // Every other round a run of lead bytes, where whole characters are found
    // only by pairing the run from its start.
    std::string text(200 + rng() % 300, round % 2 == 0 ? 'a' : '\x82');
    for (int k = 0; k < 6; ++k) text[rng() % text.size()] = "bZ\n\0"[rng() % 4];
    for (const std::string& pattern :
         {"aab"s, "ab"s, "bA"s, "aaaaaaaaaaaaaaaaaaz"s, "a"s, "Za"s, "\x82"s, "\x82\x82\x82" "b"s}) {
      for (int64_t from : {int64_t{0}, static_cast<int64_t>(rng() % text.size()), int64_t{1} << 40}) {
        for (const bool backwards : {false, true}) {
          for (const bool fold : {false, true}) {
            ASSERT_EQ(search(text, from, backwards, pattern, fold), plain_scan(text, from, backwards, pattern, fold))
                << "pattern " << shown(pattern) << " from " << from << " backwards " << backwards << " fold " << fold;
          }
        }
      }
    }
  }
}

TEST(TextSearch, OnlyLettersFoldAndOnlyWhenAsked) {
  const std::string text = "abc ABC aBc\r";
  EXPECT_EQ(search(text, 0, false, "ABC", false), 4);
  EXPECT_EQ(search(text, 0, false, "ABC", true), 0);
  EXPECT_EQ(search(text, 99, true, "abc", true), 8);
  EXPECT_EQ(search(text, 99, true, "abc", false), 0);
  // [ and {, @ and `, differ by the case bit but are not letters.
  EXPECT_EQ(search("{x} [x]\r", 0, false, "[x", true), 4);
  EXPECT_EQ(search("{x} [x]\r", 0, false, "{X", true), 0);
  EXPECT_EQ(search("`a @A\r", 0, false, "@a", true), 3);
  EXPECT_EQ(search("{\r", 0, false, "[", true), -1);
  // Latin-1 letters keep their case.
  EXPECT_EQ(search("\xC1\r", 0, false, "\xE1", true), -1);
}

TEST(TextSearch, SpacesAreOrdinaryBytes) {
  EXPECT_EQ(search("ab x ab\r", 0, false, " ab", false), 4);
  EXPECT_EQ(search("ab x ab\r", 0, false, "x a", false), 3);
}

// x, katakana a (83 41), y: "A" is the character's second byte, not a match,
// in either direction, folded or not; a match may not end inside one either.
TEST(TextSearch, AMatchNeverStartsOrEndsInsideADoubleByteCharacter) {
  for (const bool fold : {false, true}) {
    EXPECT_EQ(search("x\x83\x41y A\r", 0, false, "A", fold), 5);
    EXPECT_EQ(search("x\x83\x41yA\r", 4, true, "A", fold), -1);
    EXPECT_EQ(search("x\x83\x41y\r", 0, false, "x\x83", fold), -1);
  }
  // Paired from the line's start: 83 83 is one character, then 83 41 another.
  EXPECT_EQ(search("\x83\x83\x83\x41\r", 0, false, "\x83\x41", false), 2);
  EXPECT_EQ(search("\x83\x83\x83\x41\r", 0, false, "\x83\x83", false), 0);
  EXPECT_EQ(search("\x83\x83\x83\x41\r", 1, false, "\x83\x83", false), -1);
  // A second byte keeps its case: 83 61 is another character than 83 41.
  EXPECT_EQ(search("\x83\x61\x83\x41\r", 0, false, "\x83\x41", true), 2);
}

// The fault: UTF-8 text was paired as Shift_JIS, so a letter behind U+3041
// (E3 81 81: two lead bytes) counted as a second byte and was never found.
TEST(TextSearch, AUtf8TextIsNotPairedAsShiftJis) {
  for (const bool fold : {false, true}) {
    EXPECT_EQ(search("\xE3\x81\x81" "a\r", 0, false, "a", fold, nullptr, true), 3);
    EXPECT_EQ(search("\xE3\x81\x81" "a\r", 0, false, "\x81" "a", fold, nullptr, true), -1);
  }
  EXPECT_EQ(search("\xE3\x81\x81" "A\r", 0, false, "\xE3\x81\x81" "a", true, nullptr, true), 0);
}

TEST(TextSearch, LineEndsAndFillerInTheText) {
  // "ab" CR LF "cd" LF "ef" loaded: the LF of the CR LF pair became filler.
  const std::string text = "ab\n\0cd\nef\r"s;
  EXPECT_EQ(search(text, 0, false, "d\ne", false), 5);
  // Its bytes stand at 6, but a match never starts on a line end or filler.
  EXPECT_EQ(search(text, 0, false, "\nef", false), -1);
  EXPECT_EQ(search(text, 0, false, "\0cd"s, false), -1);
}

TEST(TextSearch, MatchesAtBothEndsOfTheText) {
  EXPECT_EQ(search("abc abc\r", 0, false, "abc", false), 0);
  EXPECT_EQ(search("abc abc\r", 8, true, "abc", false), 4);
  // Backwards begins one byte below the start; the first byte is the last candidate.
  EXPECT_EQ(search("abc abc\r", 4, true, "abc", false), 0);
  EXPECT_EQ(search("abc abc\r", 4, false, "abc", false), 4);
  // The last candidate lies just below text length - n: the end marker's byte
  // can never be part of a match, and a range without one ends a byte sooner.
  EXPECT_EQ(search("xyabc\r", 0, false, "abc", false), 2);
  EXPECT_EQ(search("xyabc", 0, false, "abc", false), -1);
  EXPECT_EQ(search("ab", 0, false, "abc", false), -1);
}

TEST(TextSearch, AnEmptyPatternMatchesTheFirstCandidateNotSkipped) {
  const std::string text = "\n\0\0ab\r"s;
  EXPECT_EQ(search(text, 0, false, "", false), 3);
  EXPECT_EQ(search(text, 3, true, "", false), -1);
  EXPECT_EQ(search(text, 5, true, "", false), 4);
  EXPECT_EQ(search(text, 99, true, "", true), 5);  // limit is the length: the end marker is a candidate
}

TEST(TextSearch, StartsFarOutsideTheTextAreClamped) {
  const int64_t lowest = std::numeric_limits<int64_t>::min();
  const int64_t highest = std::numeric_limits<int64_t>::max();
  EXPECT_EQ(search("ab ab\r", lowest, false, "ab", false), 0);
  EXPECT_EQ(search("ab ab\r", highest, true, "ab", false), 3);
  EXPECT_EQ(search("ab ab\r", highest, false, "ab", false), -1);
  EXPECT_EQ(search("ab ab\r", -5, true, "ab", false), -1);
}

}  // namespace
