// Text rules shared by every layer: blanks and whole numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qe {

// The text without leading and trailing characters of codes 0 to 32.
std::string_view trimBlanks(std::string_view s);

// True when nothing is left of s after trimBlanks.
inline bool isBlank(std::string_view s) {
    return trimBlanks(s).empty();
}

// The longest start of text of at most size bytes that does not end inside a
// UTF-8 character: a cut before a continuation byte moves back to the
// character's first byte.
std::string_view startWithin(std::string_view text, std::size_t size);

// Reads a signed 32-bit integer the way the configuration file writes them:
// optional leading spaces, then either an optional sign and decimal digits within
// the 32-bit range, or a hexadecimal number after "$", "x", "X", "0x" or "0X" that
// fits in 32 bits and is taken as a two's-complement pattern ($FFFFFFFF is -1).
// No sign before hexadecimal, nothing after the number. Anything else, the empty
// text included, gives no value.
std::optional<std::int32_t> parseInt(std::string_view s);

} // namespace qe
