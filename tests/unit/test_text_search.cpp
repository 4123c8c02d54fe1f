// The find bar's byte matching against a plain scan that tries every
// candidate in turn, on many small random texts, and a few named cases.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "files/text_search.h"

using namespace vusk;
using namespace std::string_literals;

namespace {

// The plain scan, straight from the rules: candidates below text length - n,
// none on a NUL or '\n', letters alone fold, forwards from `from` (at least
// 0), backwards from one below min(from, limit).
int64_t plain_scan(const std::string& text, int64_t from, bool backwards, const std::string& pattern,
                   bool fold) {
  const int64_t n = static_cast<int64_t>(pattern.size());
  const int64_t limit = static_cast<int64_t>(text.size()) - n;
  auto pair = [fold](uint8_t t, uint8_t p) {
    const int folded = t & 0xDF;
    return t == p || (fold && folded == (p & 0xDF) && folded >= 'A' && folded <= 'Z');
  };
  auto matches = [&](int64_t p) {
    if (text[p] == '\0' || text[p] == '\n') return false;
    for (int64_t i = 0; i < n; ++i) {
      if (!pair(static_cast<uint8_t>(text[p + i]), static_cast<uint8_t>(pattern[i]))) return false;
    }
    return true;
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
// disagreement is reported as -2, which no scan gives.
int64_t search(const std::string& text, int64_t from, bool backwards, const std::string& pattern,
               bool fold) {
  const std::vector<uint8_t> block(text.begin(), text.end());
  const std::vector<uint8_t> pat(pattern.begin(), pattern.end());
  const int64_t found = find_match(block.data(), block.size(), from, backwards, pat.data(), pat.size(), fold);
  const int64_t portable =
      find_match_portable(block.data(), block.size(), from, backwards, pat.data(), pat.size(), fold);
  return found == portable ? found : -2;
}

std::string shown(const std::string& bytes) {
  std::string out;
  for (const unsigned char c : bytes) {
    out += (c >= 0x20 && c < 0x7F) ? std::string(1, static_cast<char>(c)) : "\\x" + std::to_string(c);
  }
  return out;
}

// Letters of both cases and rarities, the neighbours of letters that must not
// fold ([ {, @ `), filler, line ends, the end marker and double-byte bytes.
const std::string ALPHABET = "aAeEzZbB[{@` \n\0\0\r\x82\xA0"s;

std::string random_bytes(std::mt19937& rng, size_t length) {
  std::string out;
  for (size_t i = 0; i < length; ++i) out += ALPHABET[rng() % ALPHABET.size()];
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
  return piece;
}

TEST(TextSearch, EqualsThePlainScanOnRandomTexts) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 1500; ++round) {
    const std::string text = random_bytes(rng, rng() % 120);
    const std::string pattern = random_pattern(rng, text);
    const int64_t len = static_cast<int64_t>(text.size());
    for (int64_t from = -2; from <= len + 2; ++from) {
      for (const bool backwards : {false, true}) {
        for (const bool fold : {false, true}) {
          const int64_t want = plain_scan(text, from, backwards, pattern, fold);
          const int64_t got = search(text, from, backwards, pattern, fold);
          if (got != want) {
            FAIL() << "text \"" << shown(text) << "\" pattern \"" << shown(pattern) << "\" from " << from
                   << (backwards ? " backwards" : " forwards") << (fold ? " folded" : "") << ": " << got
                   << ", the plain scan gives " << want;
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
    std::string text(200 + rng() % 300, 'a');
    for (int k = 0; k < 6; ++k) text[rng() % text.size()] = "bZ\n\0"[rng() % 4];
    for (const std::string& pattern : {"aab"s, "ab"s, "bA"s, "aaaaaaaaaaaaaaaaaaz"s, "a"s, "Za"s}) {
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

TEST(TextSearch, SpacesAndDoubleByteCharactersAreOrdinaryBytes) {
  EXPECT_EQ(search("ab x ab\r", 0, false, " ab", false), 4);
  EXPECT_EQ(search("ab x ab\r", 0, false, "x a", false), 3);
  // The second byte of one double-byte character and the first of the next.
  EXPECT_EQ(search("\x82\xA0\x82\xA2\r", 0, false, "\xA0\x82", false), 1);
}

TEST(TextSearch, LineEndsAndFillerInTheText) {
  // "ab" CR LF "cd" LF "ef" loaded: the LF of the CR LF pair became filler.
  const std::string text = "ab\n\0cd\nef\r"s;
  EXPECT_EQ(search(text, 0, false, "d\ne", false), 5);
  EXPECT_EQ(search(text, 0, false, "b\n\0c"s, false), 1);
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
