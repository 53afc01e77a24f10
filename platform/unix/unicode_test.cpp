#include "platform/unix/unicode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"

namespace platform::posix {
namespace {

TEST(Utf8, DecodesAndRejectsMalformedSequences) {
  std::string text = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80";
  size_t i = 0;
  char32_t c;
  std::vector<char32_t> points;
  while (i < text.size() && DecodeUtf8(text, i, c)) points.push_back(c);
  EXPECT_EQ(points, (std::vector<char32_t>{U'a', U'\u00E9', U'\u65E5', U'\U0001F600'}));

  for (std::string bad : {"\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                          "\xC3", "\xE6\x97"}) {
    i = 0;
    EXPECT_FALSE(DecodeUtf8(bad, i, c)) << testing::PrintToString(bad);
    EXPECT_EQ(i, 0u);
  }
}

TEST(Utf8, EncodesWhatItDecodes) {
  for (char32_t c : {U'A', U'\u00DF', U'\u0800', U'\uFFFD', U'\U00010400'}) {
    std::string text;
    AppendUtf8(text, c);
    size_t i = 0;
    char32_t back;
    ASSERT_TRUE(DecodeUtf8(text, i, back));
    EXPECT_EQ(back, c);
    EXPECT_EQ(i, text.size());
  }
}

TEST(UpperCaseBytes, ChangesOnlyTheTwentySixAsciiLettersWhereverTheyStand) {
  std::string ascii;
  std::string expected;
  for (int byte = 1; byte < 0x80; ++byte) {
    ascii += static_cast<char>(byte);
    expected += static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 0x20 : byte);
  }
  // Every offset against the eight-byte words, and a letter after a word
  // that holds UTF-8.
  for (size_t shift = 0; shift < 8; ++shift) {
    EXPECT_EQ(UpperCase(std::string(shift, 'q') + ascii), std::string(shift, 'Q') + expected);
  }
  EXPECT_EQ(UpperCase("abcdef\xC3\xA9ghijklmnop"), "ABCDEF\xC3\x89GHIJKLMNOP");
}

TEST(UpperCaseBytes, UpperCaseMayBeShorterOrLongerInUtf8) {
  EXPECT_EQ(UpperCase("\xC4\xB1x\xC4\xB1"), "IXI");  // ı: two bytes to one
  EXPECT_EQ(UpperCase("a\xC9\x90"
                      "b"),
            "A\xE2\xB1\xAF"
            "B");  // ɐ: two to three
  EXPECT_EQ(UpperCase("\xC9\x90\xC9\x90"), "\xE2\xB1\xAF\xE2\xB1\xAF");
}

TEST(UpperCaseBytes, PassesInvalidBytesThrough) {
  EXPECT_EQ(UpperCase("a\xFF"
                      "b\xC3"),
            "A\xFF"
            "B\xC3");
  EXPECT_EQ(UpperCase("\xC3\xA9\x80\xC3\xA9"), "\xC3\x89\x80\xC3\x89");
}

TEST(NameOrder, IgnoresCaseAndBreaksTiesBytewise) {
  std::vector<std::string> names = {"c", "b", "A", "a", "B", "\xC3\xA9", "\xC3\x89", "Z", "_"};
  std::sort(names.begin(), names.end(), ListingLess);
  EXPECT_EQ(names,
            (std::vector<std::string>{"A", "a", "B", "b", "c", "Z", "_", "\xC3\x89", "\xC3\xA9"}));
  EXPECT_EQ(CompareNoCase("Readme.TXT", "README.txt"), 0);
  EXPECT_LT(CompareNoCase("ab", "abc"), 0);
  EXPECT_GT(CompareNoCase("\xC3\xA9", "Z"), 0);
}

TEST(NameOrder, PrefixKeysNeverContradictTheFullComparison) {
  // Pieces that upper-case across byte lengths (dotless i, long s), sort
  // above ASCII, are not UTF-8, or sit below every letter.
  const std::vector<std::string> pieces = {"a",
                                           "A",
                                           "i",
                                           "I",
                                           "s",
                                           "S",
                                           "z",
                                           "_",
                                           "0",
                                           "\x01",
                                           "\xC4\xB1",
                                           "\xC5\xBF",
                                           "\xC3\xA9",
                                           "\xC3\x89",
                                           "\xFF",
                                           "\xC3",
                                           "\xF0\x90\x90\x80"};
  std::mt19937 dice(7);
  std::vector<std::string> names;
  for (int n = 0; n < 600; ++n) {
    std::string name;
    const size_t length = dice() % 12;
    for (size_t k = 0; k < length; ++k) name += pieces[dice() % pieces.size()];
    names.push_back(name);
  }
  int decided = 0;
  for (const std::string& a : names) {
    for (const std::string& b : names) {
      const uint64_t ka = ListingPrefixKey(a);
      const uint64_t kb = ListingPrefixKey(b);
      if (ka == kb) continue;
      ++decided;
      ASSERT_EQ(ka < kb, ListingLess(a, b)) << '"' << a << "\" against \"" << b << '"';
    }
  }
  EXPECT_GT(decided, 300000);  // the keys settle most pairs on their own
  EXPECT_EQ(ListingPrefixKey("readme.txt"), ListingPrefixKey("README.TXT"));
  EXPECT_LT(ListingPrefixKey("ab"), ListingPrefixKey("ab\x01"));
}

TEST(NameOrder, FollowsUtf16CodeUnits) {
  // U+10400 is a surrogate pair in UTF-16, so it sorts before U+FF21.
  EXPECT_LT(CompareNoCase("\xF0\x90\x90\x80", "\xEF\xBC\xA1"), 0);
  EXPECT_LT(CompareNoCase("\xED\x9F\xBF", "\xF0\x90\x90\x80"), 0);  // U+D7FF
  // Deseret small letter matches its capital.
  EXPECT_EQ(CompareNoCase("\xF0\x90\x90\xA8", "\xF0\x90\x90\x80"), 0);
}

}  // namespace
}  // namespace platform::posix
