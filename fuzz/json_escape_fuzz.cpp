// Any bytes into the JSON writer: every line must read back, under
// nlohmann::json's strict reader, as one object whose strings are the input
// with each invalid UTF-8 byte replaced by U+FFFD.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "fuzz/utf8_reference.h"
#include "platform/posix/terminal/json_writer.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckString(std::string_view input) {
  const std::string quoted = platform::posix::JsonString(input);
  // Without exceptions: text that is no JSON gives a discarded value.
  const nlohmann::json value = nlohmann::json::parse(quoted, nullptr, false);
  Require(value.is_string());
  Require(value.get<std::string>() == utf8_reference::WithReplacements(input));
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
  const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
  Require(object.is_object() && object.size() == 5);
  Require(object.at("event") == "box");
  Require(object.at("title") == utf8_reference::WithReplacements(title));
  Require(object.at("style") == static_cast<int32_t>(size) - 7);
  Require(object.at("text") == utf8_reference::WithReplacements(text));
  Require(object.at("b") == (size % 2 == 0));
  return 0;
}
