#pragma once

// Text read eight bytes at a time as one 64-bit word: the constants the
// ASCII fast paths test and shift whole words with.

#include <cstdint>

namespace platform::posix {

// A one in each byte; times a byte value, that value in every byte.
inline constexpr uint64_t kEachByte = 0x0101010101010101u;
// The high bit of each byte: a word holds a byte beyond ASCII when any is set.
inline constexpr uint64_t kHighBits = 0x8080808080808080u;

}  // namespace platform::posix
