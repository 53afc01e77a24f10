// Any bytes into the JSON writer: every line must read back, under a strict
// reader written apart from it, as one object whose strings are the input
// with each invalid UTF-8 byte replaced by U+FFFD.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/strict_json.h"
#include "platform/unix/json_writer.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckString(std::string_view input) {
  const std::string quoted = platform::posix::JsonString(input);
  strict_json::Reader reader(quoted);
  Require(reader.Document());
  Require(reader.Strings().size() == 1);
  Require(reader.Strings()[0] == strict_json::WithReplacements(input));
  // One line per event: a quoted string never breaks its line.
  Require(quoted.find('\n') == std::string::npos && quoted.find('\r') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckString(input);

  // Split at the first NUL: two texts, as a box event carries them (event
  // and member names are the program's own words).
  const size_t cut = input.find('\0');
  const std::string_view title = input.substr(0, cut);
  const std::string_view text = cut == std::string_view::npos ? "" : input.substr(cut + 1);
  const std::string line = platform::posix::JsonLine("box")
                               .Add("title", title)
                               .Add("style", static_cast<int32_t>(size) - 7)
                               .Add("text", text)
                               .Add("b", size % 2 == 0)
                               .Finish();
  Require(!line.empty() && line.back() == '\n');
  Require(line.find('\n') == line.size() - 1);
  strict_json::Reader reader(line);
  Require(reader.Document());
  const auto& strings = reader.Strings();
  Require(strings.size() == 8);
  Require(strings[3] == strict_json::WithReplacements(title));
  Require(strings[6] == strict_json::WithReplacements(text));
  return 0;
}
