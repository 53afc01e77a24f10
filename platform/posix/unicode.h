#pragma once

// UTF-8 and simple Unicode case mapping, for upper-casing text and for the
// case-insensitive matching and ordering of file names.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::posix {

// Decodes the code point at text[i] and advances i past it. False, with i
// unchanged, when the bytes there are not valid UTF-8 (overlong forms,
// surrogates and values above U+10FFFF included).
bool DecodeUtf8(std::string_view text, size_t& i, char32_t& code_point);

void AppendUtf8(std::string& out, char32_t code_point);

// The simple (one-to-one) upper-case mapping; ß stays ß.
char32_t SimpleUpper(char32_t code_point);

// Orders names as a case-insensitive NTFS listing does: upper-cased UTF-16
// code units compared in turn. A byte that is not valid UTF-8 compares after
// every character, by its value, and equals none of them.
int CompareNoCase(std::string_view a, std::string_view b);

// Listing order: CompareNoCase, ties broken bytewise.
bool ListingLess(std::string_view a, std::string_view b);

// A number standing for the start of a name in listing order, to sort a
// folder without decoding names again at each comparison: where the keys of
// two names differ, they order the names as ListingLess does; equal keys
// decide nothing.
uint64_t ListingPrefixKey(std::string_view name);

}  // namespace platform::posix
