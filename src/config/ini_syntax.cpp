#include "ini_syntax.h"

#include <algorithm>

namespace qe {
namespace ini {

std::size_t headerAt(std::string_view text, std::size_t pos, std::string_view& name) {
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos == text.size() || text[pos] != '[') return npos;
    std::size_t close = pos + 1;
    while (close < text.size() && text[close] != ']' && !isBreak(text[close]))
        ++close;
    if (close == text.size() || text[close] != ']') return npos;
    name = trimmed(text.substr(pos + 1, close - pos - 1));
    return close;
}

// Only lines with a "[" are looked at, so that a file of other lines costs one memchr.
std::size_t nextHeader(std::string_view text, std::size_t& pos, std::string_view& name) {
    for (std::size_t open = text.find('[', pos); open != npos; open = text.find('[', open + 1)) {
        std::size_t begin = open;
        while (begin > pos && isBlank(text[begin - 1]))
            --begin;
        if (begin > pos && !isBreak(text[begin - 1])) continue;
        const std::size_t close = headerAt(text, begin, name);
        if (close == npos) continue;
        pos = lineAfter(text, close);
        return begin;
    }
    return npos;
}

std::size_t sectionEnd(std::string_view text, std::size_t header) {
    std::size_t pos = lineAfter(text, header);
    std::string_view name;
    return std::min(nextHeader(text, pos, name), text.size());
}

std::string_view keyName(std::string_view content) {
    const std::string_view line = trimmed(content);
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.front() == '[' ||
        equals == npos)
        return {};
    return trimmed(line.substr(0, equals));
}

} // namespace ini

using namespace ini;

std::string lowerName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
    return lower;
}

IniLine iniLineAt(std::string_view text, std::size_t pos) {
    const std::string_view content = lineAt(text, pos), first = trimmed(content);
    IniLine line{0, IniLine::Kind::Other, {}, {}, content, {}};
    if (ini::headerAt(text, pos, line.name) != ini::npos) {
        line.kind = IniLine::Kind::Header;
    } else if (first.empty()) {
        line.kind = IniLine::Kind::Blank;
    } else if (first.front() == ';' || first.front() == '#') {
        line.kind = IniLine::Kind::Comment;
    } else if (!(line.name = keyName(content)).empty()) {
        line.kind = IniLine::Kind::Key;
        line.value = keyValue(content);
    }
    return line;
}

std::vector<IniLine> iniLines(std::string_view text) {
    std::vector<IniLine> lines;
    std::string_view section;
    const std::size_t start = text.compare(0, kBom.size(), kBom) == 0 ? kBom.size() : 0;
    for (std::size_t pos = start; pos < text.size(); pos = lineAfter(text, pos)) {
        IniLine line = iniLineAt(text, pos);
        line.number = lines.size() + 1;
        if (line.kind == IniLine::Kind::Header) section = line.name;
        line.section = section;
        lines.push_back(line);
    }
    return lines;
}

} // namespace qe
