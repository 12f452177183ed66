// The two integer conversions against a reference written from their rules alone,
// on top of the C library's own number parsing.
//
// Rules: optional leading spaces; then an optional "+" or "-" and decimal digits in
// the signed 32-bit range, or "$", "x", "X", "0x" or "0X" and hexadecimal digits of
// a value below 2^32, taken as a two's-complement pattern; nothing after it.
#include "config/conversions.h"
#include "config/error.h"
#include "fields/text.h"
#include "fuzz_support.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

using qe::fuzz::require;

bool allOf(std::string_view s, const char* set) {
    return !s.empty() && s.find_first_not_of(set) == std::string_view::npos;
}

std::optional<std::int32_t> reference(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    std::string rest(text.substr(start));

    std::size_t prefix = 0;
    if (rest.rfind("0x", 0) == 0 || rest.rfind("0X", 0) == 0)
        prefix = 2;
    else if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')
        prefix = 1;
    if (prefix > 0) {
        const std::string digits = rest.substr(prefix);
        if (!allOf(digits, "0123456789abcdefABCDEF")) return std::nullopt;
        errno = 0;
        const unsigned long long value = std::strtoull(digits.c_str(), nullptr, 16);
        if (errno == ERANGE || value > 0xFFFFFFFFull) return std::nullopt;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }

    const std::size_t sign = rest[0] == '+' || rest[0] == '-' ? 1 : 0;
    if (!allOf(std::string_view(rest).substr(sign), "0123456789")) return std::nullopt;
    errno = 0;
    const long long value = std::strtoll(rest.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> expected = reference(text);

    require(qe::parseInt(text) == expected, "parseInt disagrees with the reference", text);
    for (int fallback : {0, -1, 60, INT32_MIN})
        require(qe::lenientInt(text, fallback) == expected.value_or(fallback),
                "lenientInt disagrees with the reference", text);
    try {
        const int value = qe::strictInt(text);
        require(expected == value, "strictInt read a text the reference rejects", text);
    } catch (const qe::ConfigError& e) {
        require(!expected, "strictInt rejected a number", text);
        // what() ends at the first NUL byte, as every reader of the message sees it.
        const std::string message = "'" + std::string(text) + "' is not a valid integer value";
        require(e.what() == message.substr(0, message.find('\0')),
                "strictInt's message is not the editor's", e.what());
    }
    return 0;
}
