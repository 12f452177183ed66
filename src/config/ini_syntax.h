// The line syntax of an INI file: what a line is, and where lines, headers and
// sections start and end.
//
// - Lines end in CR LF, LF or a lone CR.
// - A line whose first non-blank character is "[" and which holds a "]" after it
//   opens a section. Its name is the text between "[" and the first "]", blanks
//   trimmed. A line with "[" but no "]" opens nothing: it is an ordinary line of the
//   section above it. A UTF-8 byte order mark at the start of the file does not hide
//   a header on the first line.
// - Inside a section, a line with "=" whose name (the text before the first "=",
//   blanks trimmed) is not empty is a key line, unless its first non-blank
//   character is "[", ";" or "#". Lines whose first non-blank character is ";" or
//   "#" are comments: never keys. Lines before the first section belong to no
//   section and are never read as keys.
// - Blanks are space and tab. Section and key names match without regard to the
//   case of ASCII letters. Bytes are bytes: no character conversion anywhere, NUL is
//   an ordinary byte.
#pragma once

#include "fields/text.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qe {

// One line of a text as the syntax above reads it.
struct IniLine {
    enum class Kind { Blank, Header, Comment, Key, Other };
    std::size_t number; // 1 for the first line
    Kind kind;
    std::string_view section; // the section it belongs to as written, "" before the first
    std::string_view name;    // a header's section name, a key line's key name
    std::string_view content; // without the line ending
    std::string_view value;   // a key line's text after the first "=", blanks around it removed
};

// Every line of text, in order, a byte order mark left out of the first.
std::vector<IniLine> iniLines(std::string_view text);

// The line of text that starts at pos, read alone: number 0, section empty.
IniLine iniLineAt(std::string_view text, std::size_t pos);

// A section or key name with its ASCII letters in lower case (lowerAscii), every
// other byte as is: names that match without regard to letter case give the same
// text.
std::string lowerName(std::string_view name);

namespace ini {

inline constexpr std::string_view kBom = "\xEF\xBB\xBF";
inline constexpr std::size_t npos = std::string_view::npos;

// A blank of the file's syntax: space or tab. (A field's blanks are wider: see
// trimSpaceAndControls in text.h.)
inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

inline bool isBreak(char c) {
    return c == '\n' || c == '\r';
}

// s without the blanks at either end.
inline std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Whether two names match without regard to the case of ASCII letters.
inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// The content of the line that starts at pos, without its line ending.
inline std::string_view lineAt(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && !isBreak(text[end]))
        ++end;
    return text.substr(pos, end - pos);
}

// Where the line after line starts, line being the content of a line of text as
// lineAt gives it; text.size() after the last.
inline std::size_t lineAfter(std::string_view text, std::string_view line) {
    const std::size_t end = static_cast<std::size_t>(line.data() - text.data()) + line.size();
    if (end == text.size()) return end;
    return end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

// Where the line after the one that starts at pos starts; text.size() after the last.
inline std::size_t lineAfter(std::string_view text, std::size_t pos) {
    return lineAfter(text, lineAt(text, pos));
}

// Where the "]" of the header line that starts at pos stands, with its section
// name; npos when the line is no header.
std::size_t headerAt(std::string_view text, std::size_t pos, std::string_view& name);

// Where the first header line at or after pos (a line start) starts, and its name;
// npos when there is none. Moves pos to the line after it.
std::size_t nextHeader(std::string_view text, std::size_t& pos, std::string_view& name);

// Where the section whose header line starts at header ends: at the next header
// line, or at the end of the text.
std::size_t sectionEnd(std::string_view text, std::size_t header);

// The key name of a key line; empty for any other line.
std::string_view keyName(std::string_view content);

// A key line's text after the first "=", blanks around it removed.
inline std::string_view keyValue(std::string_view content) {
    return trimmed(content.substr(content.find('=') + 1));
}

// A key line's value as a read returns it: keyValue without one pair of enclosing
// double or single quotes.
inline std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Whether value, written after "=", reads back as itself: no blanks at its ends and
// no pair of quotes around it for a read to take off.
inline bool readsAsWritten(std::string_view value) {
    return unquoted(trimmed(value)) == value;
}

} // namespace ini
} // namespace qe
