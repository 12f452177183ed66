// Text rules shared by every layer: blanks, letter case and whole numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qe {

// The text without leading and trailing characters of codes 0 to 32: the blanks
// of a field's text. (The file's syntax has blanks of its own, space and tab
// only: see ini_syntax.h.)
std::string_view trimSpaceAndControls(std::string_view s);

// True when nothing is left of s after trimSpaceAndControls.
inline bool isSpaceAndControls(std::string_view s) {
    return trimSpaceAndControls(s).empty();
}

// c in lower case when it is an ASCII letter, else c: the one place letter case
// is folded (section and key names, unit letters, accelerator keys).
constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// c in upper case when it is an ASCII letter, else c.
constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
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
