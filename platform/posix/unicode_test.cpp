#include "platform/posix/unicode.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace platform::posix {
namespace {

// Decoding, stability and case-insensitive equality are the fuzz target's,
// upper case the conformance cases'.
TEST(NameOrder, IgnoresCaseFollowsUtf16AndBreaksTiesBytewise) {
  EXPECT_EQ(CompareNoCase("Readme.TXT", "README.txt"), 0);
  EXPECT_TRUE(ListingLess("A", "a") && ListingLess("a", "B") && ListingLess("Z", "_"));
  EXPECT_TRUE(ListingLess("_", "\xC3\x89") && ListingLess("\xC3\x89", "\xC3\xA9"));
  // U+10400 is a surrogate pair in UTF-16, so it sorts before U+FF21 and after U+D7FF.
  EXPECT_LT(CompareNoCase("\xF0\x90\x90\x80", "\xEF\xBC\xA1"), 0);
  EXPECT_LT(CompareNoCase("\xED\x9F\xBF", "\xF0\x90\x90\x80"), 0);
  EXPECT_LT(CompareNoCase("ab", "abc"), 0);
  // An encoded surrogate is no character: it sorts after every one.
  EXPECT_TRUE(ListingLess("\xEF\xBC\xA1", "\xED\xA0\x80"));
  // The last plane is characters too: U+100000 is a surrogate pair, before U+FFFD.
  EXPECT_TRUE(ListingLess("\xF4\x80\x80\x80", "\xEF\xBF\xBD"));
}

TEST(NameOrder, PrefixKeysNeverContradictTheFullComparison) {
  // Pieces that upper-case across byte lengths (dotless i, long s), sort
  // above ASCII, are not UTF-8, or sit below every letter.
  const std::string pieces[] = {"a",
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
  std::vector<std::string> names(600);
  for (std::string& name : names) {
    for (size_t k = dice() % 12; k > 0; --k) name += pieces[dice() % std::size(pieces)];
  }
  int decided = 0;
  for (const std::string& a : names) {
    for (const std::string& b : names) {
      if (ListingPrefixKey(a) == ListingPrefixKey(b)) continue;
      ++decided;
      ASSERT_EQ(ListingPrefixKey(a) < ListingPrefixKey(b), ListingLess(a, b)) << a << " " << b;
    }
  }
  EXPECT_GT(decided, 300000);  // the keys settle most pairs on their own
}

}  // namespace
}  // namespace platform::posix
