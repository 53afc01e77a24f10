#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(UpperCase, MapsLettersOneForOne) {
  EXPECT_EQ(UpperCase("quarn.exe"), "QUARN.EXE");
  EXPECT_EQ(UpperCase("Mixed 123 _-"), "MIXED 123 _-");
  EXPECT_EQ(UpperCase("\xC3\xA9t\xC3\xA9"), "\xC3\x89T\xC3\x89");                // été
  EXPECT_EQ(UpperCase("\xCF\x83\xCE\xB1"), "\xCE\xA3\xCE\x91");                  // σα
  EXPECT_EQ(UpperCase("\xD0\xB4\xD0\xBE\xD0\xBA"), "\xD0\x94\xD0\x9E\xD0\x9A");  // док
  EXPECT_EQ(UpperCase(""), "");
}

TEST(UpperCase, KeepsWhatHasNoSimpleUpperCase) {
  // ß has only a two-letter upper case, so a one-for-one mapping keeps it.
  EXPECT_EQ(UpperCase("stra\xC3\x9F"
                      "e"),
            "STRA\xC3\x9F"
            "E");
  EXPECT_EQ(UpperCase("\xE6\x97\xA5\xE6\x9C\xAC"), "\xE6\x97\xA5\xE6\x9C\xAC");  // 日本
}

TEST(EqualsUpperCase, AgreesWithComparingTheUpperCaseCopy) {
  const char* const texts[] = {"quarn.exe",
                               "QUARN.EXE",
                               "Quarn.Exe",
                               "quarn.ex",
                               "quarn.exe ",
                               "qu\xC3\xA9rn.exe",
                               "QU\xC3\x89RN.EXE",
                               "stra\xC3\x9F"
                               "e",
                               "\xFF",
                               "",
                               "a{z`@[",
                               "A{Z`@["};
  for (const char* text : texts) {
    for (const char* other : texts) {
      const std::string upper = UpperCase(other);
      EXPECT_EQ(EqualsUpperCase(text, upper), UpperCase(text) == upper)
          << '"' << text << "\" against \"" << upper << '"';
      EXPECT_EQ(EqualsUpperCase(text, other), UpperCase(text) == other)
          << '"' << text << "\" against \"" << other << '"';
    }
  }
}

}  // namespace
}  // namespace platform
