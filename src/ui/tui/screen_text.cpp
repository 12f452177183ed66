#include "screen_text.h"

#include <cwchar>
#include <optional>

namespace qe::tui {
namespace {

// The characters of a strict UTF-8 text: no overlong forms, no surrogates,
// nothing above U+10FFFF, no sequence cut off. nullopt when bytes is not one.
std::optional<std::wstring> decodeUtf8(const std::string& bytes) {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int more = lead < 0x80   ? 0
                         : lead < 0xC2 ? -1
                         : lead < 0xE0 ? 1
                         : lead < 0xF0 ? 2
                         : lead < 0xF5 ? 3
                                       : -1;
        if (more < 0 || i + static_cast<std::size_t>(more) >= bytes.size()) return std::nullopt;
        char32_t c = more == 0 ? lead : lead & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (c < least[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
        text += static_cast<wchar_t>(c);
        i += static_cast<std::size_t>(more) + 1;
    }
    return text;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    const int more = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    const char32_t lead[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(lead[more] | (c >> (6 * more)));
    for (int k = more - 1; k >= 0; --k)
        out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
}

} // namespace

std::wstring toScreen(const std::string& bytes) {
    if (std::optional<std::wstring> text = decodeUtf8(bytes)) return *text;
    std::wstring latin1;
    for (const char b : bytes)
        latin1 += static_cast<wchar_t>(static_cast<unsigned char>(b));
    return latin1;
}

std::string fromScreen(const std::wstring& text, const std::string& shown) {
    std::string bytes;
    bool latin1 = !decodeUtf8(shown);
    for (const wchar_t c : text)
        latin1 = latin1 && static_cast<char32_t>(c) <= 0xFF;
    for (const wchar_t c : text)
        if (latin1)
            bytes += static_cast<char>(c);
        else
            appendUtf8(bytes, static_cast<char32_t>(c));
    return bytes;
}

int cellsOf(const std::wstring& text) {
    int cells = 0;
    for (const wchar_t c : text) {
        const int width = wcwidth(c);
        cells += width < 0 ? 1 : width; // a character the terminal cannot show stands as "?"
    }
    return cells;
}

} // namespace qe::tui
