#include "text.h"

namespace qe {

std::string_view trimSpaceAndControls(std::string_view s) {
    auto isBlankChar = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!s.empty() && isBlankChar(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlankChar(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view startWithin(std::string_view text, std::size_t size) {
    if (text.size() <= size) return text;
    auto isContinuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    while (size > 0 && isContinuation(text[size]))
        --size;
    return text.substr(0, size);
}

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::int32_t> parseHex(std::string_view s) {
    if (s.empty()) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : s) {
        int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<std::uint64_t>(d);
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::optional<std::int32_t> parseDecimal(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

} // namespace

std::optional<std::int32_t> parseInt(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    if (s.substr(0, 2) == "0x" || s.substr(0, 2) == "0X") return parseHex(s.substr(2));
    if (!s.empty() && (s.front() == '$' || s.front() == 'x' || s.front() == 'X'))
        return parseHex(s.substr(1));
    return parseDecimal(s);
}

} // namespace qe
