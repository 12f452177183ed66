#include "value_text.h"

#include <utf8.h>

#include <cstdint>
#include <iterator>

namespace qe {

TextForm formOf(std::string_view bytes) {
    return utf8::is_valid(bytes.begin(), bytes.end()) ? TextForm::Utf8 : TextForm::Latin1;
}

std::string textOf(std::string_view bytes) {
    if (formOf(bytes) == TextForm::Utf8) return std::string(bytes);
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes)
        utf8::append(static_cast<unsigned char>(byte), std::back_inserter(text));
    return text;
}

std::string bytesOf(std::string_view text, TextForm form) {
    if (form == TextForm::Latin1)
        if (std::optional<std::string> latin1 = latin1Of(text)) return *latin1;
    return std::string(text);
}

std::optional<std::string> latin1Of(std::string_view text) {
    if (!utf8::is_valid(text.begin(), text.end())) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size());
    for (auto it = text.begin(); it != text.end();) {
        const std::uint32_t code = utf8::unchecked::next(it);
        if (code > 0xFF) return std::nullopt;
        bytes += static_cast<char>(code);
    }
    return bytes;
}

} // namespace qe
