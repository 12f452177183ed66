#include "screen_text.h"

#include "config/value_text.h"

#include <cstdint>
#include <cwchar>
#include <iterator>
#include <utf8.h>

namespace qe::tui {

std::wstring toScreen(const std::string& bytes) {
    const std::string text = textOf(bytes);
    std::wstring screen;
    utf8::unchecked::utf8to32(text.begin(), text.end(), std::back_inserter(screen));
    return screen;
}

std::string fromScreen(const std::wstring& text, const std::string& shown) {
    std::string utf8;
    for (const wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        // A character no UTF-8 text can hold (a lone surrogate) stands as U+FFFD.
        const bool valid = code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        utf8::unchecked::append(valid ? code : 0xFFFDu, std::back_inserter(utf8));
    }
    return bytesOf(utf8, formOf(shown));
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
