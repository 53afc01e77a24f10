// Any two names, as a Linux folder may hold them: decoding agrees with a
// strict decoder written apart (nlohmann::json's reader), upper-casing is
// stable, and two names count as the same ignoring case exactly when their
// upper-cased forms are equal, so no name can stand in for another it is
// not a case variant of.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/utf8_reference.h"
#include "platform/posix/unicode.h"
#include "platform/text.h"

namespace {

namespace px = platform::posix;

void Require(bool condition) {
  if (!condition) std::abort();
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

void CheckDecoding(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    size_t mine = i;
    char32_t code_point = 0;
    const bool valid = px::DecodeUtf8(text, mine, code_point);
    const size_t length = utf8_reference::ValidLength(text, i);
    Require(valid == (length != 0));
    if (!valid) {
      Require(mine == i);
      ++i;
      continue;
    }
    // Valid bytes encode one code point only: encoding it again must give
    // them back.
    Require(mine == i + length);
    std::string encoded;
    px::AppendUtf8(encoded, code_point);
    Require(encoded == text.substr(i, length));
    i = mine;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t cut = input.find('\0');
  const std::string a(input.substr(0, cut));
  const std::string b(cut == std::string_view::npos ? "" : input.substr(cut + 1));

  CheckDecoding(input);
  const std::string upper_a = platform::UpperCase(a);
  const std::string upper_b = platform::UpperCase(b);
  Require(platform::UpperCase(upper_a) == upper_a);

  Require(px::CompareNoCase(a, a) == 0);
  Require(px::CompareNoCase(a, upper_a) == 0);
  Require(Sign(px::CompareNoCase(a, b)) == -Sign(px::CompareNoCase(b, a)));
  Require((px::CompareNoCase(a, b) == 0) == (upper_a == upper_b));

  // Listing order is a strict total order on distinct names.
  Require(!px::ListingLess(a, a));
  if (a != b) Require(px::ListingLess(a, b) != px::ListingLess(b, a));
  return 0;
}
