#include "platform/unix/answer_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/message_box.h"
#include "platform/unix/json_writer.h"

namespace platform::posix {
namespace {

constexpr int32_t kYesNoQuestion = kButtonsYesNo | kIconExclamation;    // 52
constexpr int32_t kOkCancelInfo = kButtonsOkCancel | kIconInformation;  // 65

TEST(AnswerParserTest, YesNoBoxTakesLabelsLettersAndCodesInAnyCase) {
  for (const char* yes : {"yes", "YES", "Yes", "y", "Y", "6", "  yes\r", "\tY "}) {
    EXPECT_EQ(ParseAnswer(yes, kYesNoQuestion), kAnswerYes) << yes;
  }
  for (const char* no : {"no", "No", "n", "N", "7", "no\r"}) {
    EXPECT_EQ(ParseAnswer(no, kYesNoQuestion), kAnswerNo) << no;
  }
}

TEST(AnswerParserTest, OnlyTheBoxsOwnButtonsCount) {
  for (const char* other :
       {"ok", "o", "1", "cancel", "c", "2", "", "  ", "yess", "ye", "6 7", "maybe", "0"}) {
    EXPECT_EQ(ParseAnswer(other, kYesNoQuestion), std::nullopt) << other;
  }
  EXPECT_EQ(ParseAnswer("OK", kOkCancelInfo), kAnswerOk);
  EXPECT_EQ(ParseAnswer("c", kOkCancelInfo), kAnswerCancel);
  EXPECT_EQ(ParseAnswer("2", kOkCancelInfo), kAnswerCancel);
  EXPECT_EQ(ParseAnswer("y", kOkCancelInfo), std::nullopt);
  EXPECT_EQ(ParseAnswer("7", kOkCancelInfo), std::nullopt);
}

TEST(AnswerParserTest, ButtonsComeInTheirOrderFirstIsTheDefault) {
  EXPECT_EQ(ButtonPrompt(kYesNoQuestion), "Yes / No");
  EXPECT_EQ(ButtonPrompt(kOkCancelInfo), "OK / Cancel");
  EXPECT_EQ(ButtonPrompt(kIconCritical), "OK");
  EXPECT_EQ(ButtonsOf(kYesNoQuestion).front().code, kAnswerYes);
}

TEST(JsonWriterTest, EscapesWhatJsonRequiresAndKeepsUtf8) {
  EXPECT_EQ(JsonString("Welcome\r\n\r\n\"C:\\\""), R"("Welcome\r\n\r\n\"C:\\\"")");
  EXPECT_EQ(JsonString(std::string("a\x01\x1f\t\b\f", 6) + std::string(1, '\0')),
            R"("a\u0001\u001f\t\b\f\u0000")");
  EXPECT_EQ(JsonString("Dokumente f\xC3\xBCr \xE2\x82\xAC \xF0\x9F\x93\x84"),
            "\"Dokumente f\xC3\xBCr \xE2\x82\xAC \xF0\x9F\x93\x84\"");
  EXPECT_EQ(JsonString("\x7f/"), "\"\x7f/\"");
}

TEST(JsonWriterTest, EachInvalidByteBecomesOneReplacementCharacter) {
  EXPECT_EQ(JsonString("caf\xE9.qdc"), R"("caf\ufffd.qdc")");          // Latin-1
  EXPECT_EQ(JsonString("\xC0\xAF"), R"("\ufffd\ufffd")");              // overlong '/'
  EXPECT_EQ(JsonString("\xED\xA0\x80x"), R"("\ufffd\ufffd\ufffdx")");  // surrogate
  EXPECT_EQ(JsonString("end\xE2\x82"), R"("end\ufffd\ufffd")");        // cut short
  EXPECT_EQ(JsonString("\xFF"), R"("\ufffd")");
}

TEST(JsonWriterTest, EveryByteNeedingCareIsFoundWhereverItStands) {
  const std::pair<std::string, std::string> cases[] = {
      {"\"", "\\\""},           {"\\", "\\\\"},      {"\x1f", "\\u001f"}, {"\n", "\\n"},
      {"\xC3\xA9", "\xC3\xA9"}, {"\xFF", "\\ufffd"}, {"\x7f", "\x7f"},    {" ", " "}};
  for (const auto& [raw, written] : cases) {
    for (size_t at = 0; at < 20; ++at) {
      const std::string before(at, 'a');
      const std::string after(19 - at, 'z');
      EXPECT_EQ(JsonString(before + raw + after), '"' + before + written + after + '"')
          << "at " << at;
    }
  }
}

TEST(JsonWriterTest, LinesHoldMembersInOrder) {
  EXPECT_EQ(JsonLine("status").Add("line", 2).Add("text", "x").Finish(),
            "{\"event\":\"status\",\"line\":2,\"text\":\"x\"}\n");
  EXPECT_EQ(JsonLine("cancel-button").Add("enabled", false).Finish(),
            "{\"event\":\"cancel-button\",\"enabled\":false}\n");
  EXPECT_EQ(JsonLine("error").Add("number", -1).Finish(), "{\"event\":\"error\",\"number\":-1}\n");
}

TEST(JsonWriterTest, LinesWrittenIntoABufferFollowWhatItHolds) {
  std::string buffer = "{}\n";
  JsonLine("status", buffer).Add("text", "C:\\\xC3\xA9\xFF\t").End();
  JsonLine("end", buffer).Add("ending", "success").End();
  EXPECT_EQ(buffer,
            "{}\n"
            "{\"event\":\"status\",\"text\":\"C:\\\\\xC3\xA9\\ufffd\\t\"}\n"
            "{\"event\":\"end\",\"ending\":\"success\"}\n");
}

}  // namespace
}  // namespace platform::posix
