// Base64 as the client expects it for the proxy credential.
#pragma once

#include <string>
#include <string_view>

namespace qe {

// RFC 2045 alphabet, "=" padding, one line.
std::string base64Encode(std::string_view bytes);

// Drops CR and LF and any trailing "=", then decodes groups of four characters into
// three bytes and a last group of two or three into one or two. Throws ConfigError
// "Coding table entry not found." on a character outside the alphabet ("=" before
// the end included). A last group of a single character holds no whole byte: its
// six bits are ignored.
std::string base64Decode(std::string_view text);

} // namespace qe
