#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(UpperCase, MapsLettersOneForOne) {
  EXPECT_EQ(UpperCase("quarn.exe 123 _-"), "QUARN.EXE 123 _-");
  EXPECT_EQ(UpperCase("\xC3\xA9t\xC3\xA9"), "\xC3\x89T\xC3\x89");                // été
  EXPECT_EQ(UpperCase("\xCF\x83\xCE\xB1"), "\xCE\xA3\xCE\x91");                  // σα
  EXPECT_EQ(UpperCase("\xD0\xB4\xD0\xBE\xD0\xBA"), "\xD0\x94\xD0\x9E\xD0\x9A");  // док
  // ß has only a two-letter upper case; 日本 has none.
  EXPECT_EQ(UpperCase("stra\xC3\x9F\xE6\x97\xA5"), "STRA\xC3\x9F\xE6\x97\xA5");
}

TEST(EqualsUpperCase, AgreesWithComparingTheUpperCaseCopy) {
  const char* const texts[] = {
      "quarn.exe",        "QUARN.EXE",    "Quarn.Exe", "quarn.ex", "quarn.exe ", "qu\xC3\xA9rn.exe",
      "QU\xC3\x89RN.EXE", "stra\xC3\x9F", "\xFF",      "",         "a{z`@[",     "A{Z`@["};
  for (const char* text : texts) {
    for (const char* other : texts) {
      EXPECT_EQ(EqualsUpperCase(text, UpperCase(other)), UpperCase(text) == UpperCase(other))
          << text << " against " << other;
      EXPECT_EQ(EqualsUpperCase(text, other), UpperCase(text) == other) << text << " " << other;
    }
  }
}

}  // namespace
}  // namespace platform
