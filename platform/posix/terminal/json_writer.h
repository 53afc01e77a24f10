#pragma once

// One JSON object per line, for scripts that drive the program through a
// pipe. Any bytes go in, valid JSON comes out: a byte that is not part of
// valid UTF-8 becomes U+FFFD (written as "\ufffd"), one per byte, so a reader
// never meets a broken string and can still see where the bad bytes were.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::posix {

// `text` as a quoted JSON string: quote, backslash and every control
// character escaped (CR and LF as \r and \n), non-ASCII kept as UTF-8.
std::string JsonString(std::string_view text);
// The same, appended to `out`.
void AppendJsonString(std::string& out, std::string_view text);

// {"event":"status","line":1,"text":"..."}: members in the order added.
class JsonLine {
 public:
  explicit JsonLine(std::string_view event) : JsonLine(event, own_) {}
  // Written straight onto the end of `out`, which must outlive the line:
  // a stream of lines then costs no allocation of its own.
  JsonLine(std::string_view event, std::string& out);
  JsonLine(const JsonLine&) = delete;
  JsonLine& operator=(const JsonLine&) = delete;
  JsonLine& Add(std::string_view name, std::string_view text);
  // Keeps a literal from taking the bool overload.
  JsonLine& Add(std::string_view name, const char* text) {
    return Add(name, std::string_view(text));
  }
  JsonLine& Add(std::string_view name, int32_t number);
  JsonLine& Add(std::string_view name, bool value);
  // The object and its newline, of a line made without `out`.
  std::string Finish() const { return own_ + "}\n"; }
  // Closes the object and its line in `out`.
  void End() { text_ += "}\n"; }

 private:
  void Name(std::string_view name);
  std::string own_;
  std::string& text_;
};

}  // namespace platform::posix
