#include "ini_text.h"

#include <algorithm>
#include <limits>

namespace qe {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kBom = "\xEF\xBB\xBF";
// Groups of the header index, one for each 64 bytes of text up to this many: sections
// of many names spread over them, so that a read compares a few names only.
constexpr std::size_t kMaxHashGroups = 256;

// The blanks of the file syntax.
bool isSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

bool isBreak(char c) {
    return c == '\n' || c == '\r';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpaceOrTab(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpaceOrTab(s.back()))
        s.remove_suffix(1);
    return s;
}

// The one place where names are folded: ASCII letters only, every other byte as is.
char lowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether name, in any letter case, is lower.
bool sameName(std::string_view name, std::string_view lower) {
    if (name.size() != lower.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (lowerChar(name[i]) != lower[i]) return false;
    return true;
}

// The same for names that match in any letter case. Looks at the length and the
// last eight characters only, which tell the sections of most files apart.
std::size_t nameHash(std::string_view name) {
    std::size_t hash = name.size();
    for (std::size_t i = name.size() > 8 ? name.size() - 8 : 0; i < name.size(); ++i)
        hash = hash * 31 + static_cast<unsigned char>(lowerChar(name[i]));
    return hash;
}

// s with every CR and LF as a space, so that a written name or value cannot break
// its line and inject lines of its own.
std::string oneLine(std::string_view s) {
    std::string line(s);
    std::replace_if(line.begin(), line.end(), isBreak, ' ');
    return line;
}

// The content of the line that starts at pos, without its line ending.
std::string_view lineAt(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && !isBreak(text[end]))
        ++end;
    return text.substr(pos, end - pos);
}

// Where the next line starts, given where the content of this one ends.
std::size_t endOfLine(std::string_view text, std::size_t end) {
    if (end == text.size()) return end;
    return end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

// Where the line after the one that starts at pos starts; text.size() after the last.
std::size_t lineAfter(std::string_view text, std::size_t pos) {
    return endOfLine(text, pos + lineAt(text, pos).size());
}

// False when the line is no header; a "[" without a "]" opens no section.
bool headerName(std::string_view content, std::string_view& name) {
    const std::string_view line = trimmed(content);
    if (line.empty() || line.front() != '[') return false;
    const std::size_t close = line.find(']');
    if (close == npos) return false;
    name = trimmed(line.substr(1, close - 1));
    return true;
}

// Empty when the line is no key line.
std::string_view keyName(std::string_view content) {
    const std::string_view line = trimmed(content);
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.front() == '[' ||
        equals == npos)
        return {};
    return trimmed(line.substr(0, equals));
}

bool isKeyLine(std::string_view content, std::string_view lowerKey) {
    const std::string_view name = keyName(content);
    return !name.empty() && sameName(name, lowerKey);
}

// Where the first header line at or after pos starts, pos being the start of a
// line, with its section name; npos when there is none. Moves pos to the line
// after it. Looks only at the lines with a "[", so that a file of plain lines costs
// one memchr.
std::size_t nextHeader(std::string_view text, std::size_t& pos, std::string_view& name) {
    for (std::size_t open = text.find('[', pos); open != npos; open = text.find('[', open + 1)) {
        std::size_t begin = open;
        while (begin > pos && isSpaceOrTab(text[begin - 1]))
            --begin;
        if (begin != pos && !isBreak(text[begin - 1])) continue;
        const std::string_view line = lineAt(text, begin);
        if (!headerName(line, name)) continue;
        pos = endOfLine(text, begin + line.size());
        return begin;
    }
    return npos;
}

// Where the section whose header line starts at header ends: at the next header
// line, or at the end of the text.
std::size_t sectionEnd(std::string_view text, std::size_t header) {
    std::size_t pos = lineAfter(text, header);
    std::string_view name;
    return std::min(nextHeader(text, pos, name), text.size());
}

// The value of a key line: after the first "=", blanks and one pair of quotes
// removed, cut to the longest value a read returns.
std::string valueOf(std::string_view content) {
    std::string_view value = trimmed(content.substr(content.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, IniText::kMaxValueLength));
}

// Puts out a text in pieces: stretches of its bytes in order, and written lines.
template <typename Sink> class Output {
public:
    Output(std::string_view text, bool lastLineOpen, std::string_view eol, Sink& sink)
        : text_(text), lastLineOpen_(lastLineOpen), eol_(eol), sink_(sink) {}

    // The bytes from where the last piece ended up to `to`.
    void copyTo(std::size_t to) {
        if (to <= pos_) return;
        sink_(text_.substr(pos_, to - pos_));
        pos_ = to;
        open_ = lastLineOpen_ && to == text_.size();
    }
    void skipTo(std::size_t to) { pos_ = to; }
    // content in place of the line that starts where the last piece ended; its line
    // ending comes with the next copy.
    void replaceLine(std::string_view content) {
        sink_(content);
        pos_ += lineAt(text_, pos_).size();
        open_ = lastLineOpen_ && pos_ == text_.size();
    }
    // A written line with the file's ending; the text's last line, put out without
    // an ending, gets one first.
    void line(std::string_view content) {
        if (open_) sink_(eol_);
        sink_(content);
        sink_(eol_);
        open_ = false;
    }

private:
    std::string_view text_;
    bool lastLineOpen_;
    std::string_view eol_;
    Sink& sink_;
    std::size_t pos_ = 0;
    bool open_ = false; // the last piece is the text's last line, which has no ending
};

} // namespace

std::string lowerName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerChar);
    return lower;
}

std::vector<IniLine> iniLines(std::string_view text) {
    std::vector<IniLine> lines;
    std::string_view section;
    const std::size_t start = text.compare(0, kBom.size(), kBom) == 0 ? kBom.size() : 0;
    for (std::size_t pos = start; pos < text.size(); pos = lineAfter(text, pos)) {
        const std::string_view content = lineAt(text, pos), first = trimmed(content);
        IniLine line{lines.size() + 1, IniLine::Kind::Other, section, {}, content, {}};
        if (headerName(content, line.name)) {
            line.kind = IniLine::Kind::Header;
            section = line.section = line.name;
        } else if (first.empty()) {
            line.kind = IniLine::Kind::Blank;
        } else if (first.front() == ';' || first.front() == '#') {
            line.kind = IniLine::Kind::Comment;
        } else if (!(line.name = keyName(content)).empty()) {
            line.kind = IniLine::Kind::Key;
            line.value = trimmed(content.substr(content.find('=') + 1));
        }
        lines.push_back(line);
    }
    return lines;
}

IniText::IniText(std::string bytes) : data_(std::move(bytes)) {
    if (data_.compare(0, kBom.size(), kBom) == 0) bodyStart_ = kBom.size();
    const std::size_t last = data_.find_last_of("\r\n");
    if (last != npos)
        eol_ = data_[last] == '\r' ? "\r" : last > 0 && data_[last - 1] == '\r' ? "\r\n" : "\n";
    lastLineOpen_ = data_.size() > bodyStart_ && !isBreak(data_.back());
}

bool IniText::isErased(std::string_view lowerName) const {
    return std::find(erased_.begin(), erased_.end(), lowerName) != erased_.end();
}

// Calls visit(header offset) for each section of the text named lowerName that is
// not erased, in file order, until visit returns true. A text too large for the
// index is searched header by header.
template <typename Visit> void IniText::forSections(std::string_view lowerName, Visit visit) const {
    if (isErased(lowerName)) return;
    if (data_.size() > std::numeric_limits<std::uint32_t>::max()) {
        std::string_view name;
        for (std::size_t pos = bodyStart_, h; (h = nextHeader(data_, pos, name)) != npos;)
            if (sameName(name, lowerName) && visit(h)) return;
        return;
    }
    std::string_view name;
    if (headers_.empty()) {
        // A vector grows into pages it has not touched yet, which take no memory: the
        // index takes four bytes a header.
        headers_.resize(std::clamp<std::size_t>(data_.size() / 64, 1, kMaxHashGroups));
        for (std::size_t pos = bodyStart_, h; (h = nextHeader(data_, pos, name)) != npos;)
            headers_[nameHash(name) % headers_.size()].push_back(static_cast<std::uint32_t>(h));
    }
    for (const std::uint32_t header : headers_[nameHash(lowerName) % headers_.size()])
        if (headerName(lineAt(data_, header), name) && sameName(name, lowerName) && visit(header))
            return;
}

std::size_t IniText::firstSection(std::string_view lowerName) const {
    std::size_t found = npos;
    forSections(lowerName, [&](std::size_t header) {
        found = header;
        return true;
    });
    return found;
}

std::size_t IniText::additionFor(std::string_view lowerName) const {
    for (std::size_t i = 0; i < additions_.size(); ++i)
        if (additions_[i].lowerName == lowerName) return i;
    return npos;
}

std::size_t IniText::keyLineIn(std::size_t header, std::string_view lowerKey) const {
    const std::size_t end = sectionEnd(data_, header);
    for (std::size_t pos = lineAfter(data_, header); pos < end;) {
        const std::string_view line = lineAt(data_, pos);
        if (isKeyLine(line, lowerKey)) return pos;
        pos = endOfLine(data_, pos + line.size());
    }
    return npos;
}

// The lines of each section in file order; the lines added to the first section
// follow its own lines, those of a new section come last.
IniText::KeyLine IniText::findKey(std::string_view lowerSection, std::string_view lowerKey) const {
    KeyLine found{npos, npos, additionFor(lowerSection)};
    const auto addedLine = [&] {
        if (found.addition == npos) return npos;
        const std::vector<std::string>& lines = additions_[found.addition].lines;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (isKeyLine(lines[i], lowerKey)) return i;
        return npos;
    };
    bool pastFirst = false;
    forSections(lowerSection, [&](std::size_t header) {
        found.at = keyLineIn(header, lowerKey);
        if (found.at == npos && !std::exchange(pastFirst, true)) found.line = addedLine();
        return found.at != npos || found.line != npos;
    });
    if (!pastFirst && found.at == npos) found.line = addedLine();
    return found;
}

std::string IniText::read(std::string_view section, std::string_view key,
                          std::string_view def) const {
    const KeyLine found = findKey(lowerName(section), lowerName(key));
    if (found.line != npos) return valueOf(additions_[found.addition].lines[found.line]);
    if (found.at == npos) return std::string(def);
    const auto it = replaced_.find(found.at);
    return valueOf(it == replaced_.end() ? lineAt(data_, found.at) : std::string_view(it->second));
}

// After the last non-blank line of the section that starts at header, so that
// blank lines before the next header stay there.
std::size_t IniText::insertionPoint(std::size_t header) const {
    const std::size_t end = sectionEnd(data_, header);
    std::size_t point = lineAfter(data_, header);
    for (std::size_t pos = point; pos < end; pos = lineAfter(data_, pos))
        if (!trimmed(lineAt(data_, pos)).empty()) point = lineAfter(data_, pos);
    return point;
}

void IniText::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string name = oneLine(section), keyText = oneLine(key);
    const std::string lowerSection = lowerName(name);
    std::string content = keyText + "=" + oneLine(value);
    changed_ = true;
    resultReady_ = false;

    // A replaced line keeps its key name, so the text's own line decides.
    const KeyLine found = findKey(lowerSection, lowerName(keyText));
    if (found.at != npos) {
        replaced_[found.at] = std::move(content);
    } else if (found.line != npos) {
        additions_[found.addition].lines[found.line] = std::move(content);
    } else if (found.addition != npos) {
        additions_[found.addition].lines.push_back(std::move(content));
    } else {
        const std::size_t first = firstSection(lowerSection);
        Addition added{lowerSection, first == npos ? npos : insertionPoint(first), {}};
        if (first == npos) added.lines.push_back("[" + name + "]");
        added.lines.push_back(std::move(content));
        const auto place =
            std::upper_bound(additions_.begin(), additions_.end(), added.at,
                             [](std::size_t at, const Addition& a) { return at < a.at; });
        additions_.insert(place, std::move(added));
    }
}

void IniText::eraseSection(std::string_view section) {
    const std::string lower = lowerName(oneLine(section));
    const bool inText = firstSection(lower) != npos;
    if (inText) erased_.push_back(lower);
    const std::size_t a = additionFor(lower);
    if (a != npos) additions_.erase(additions_.begin() + static_cast<std::ptrdiff_t>(a));
    if (inText || a != npos) {
        changed_ = true;
        resultReady_ = false;
    }
}

std::size_t IniText::nextErasedSection(std::size_t from) const {
    if (erased_.empty()) return npos;
    std::string_view name;
    for (std::size_t pos = from, h; (h = nextHeader(data_, pos, name)) != npos;)
        if (isErased(lowerName(name))) return h;
    return npos;
}

// The stretches of the text between erased sections, each with its replaced and
// added lines in place, then the new sections.
template <typename Sink> void IniText::produce(Sink& sink) const {
    Output<Sink> out(data_, lastLineOpen_, eol_, sink);
    auto replaced = replaced_.begin();
    auto addition = additions_.begin();
    for (std::size_t from = bodyStart_;;) {
        const std::size_t erased = nextErasedSection(from);
        const std::size_t stop = std::min(erased, data_.size());
        for (;;) {
            const bool replace = replaced != replaced_.end() && replaced->first < stop;
            const bool add = addition != additions_.end() && addition->at <= stop;
            if (replace && (!add || replaced->first < addition->at)) {
                out.copyTo(replaced->first);
                out.replaceLine((replaced++)->second);
            } else if (add) {
                out.copyTo(addition->at);
                for (const std::string& line : (addition++)->lines)
                    out.line(line);
            } else {
                break;
            }
        }
        out.copyTo(stop);
        if (erased == npos) break;
        from = sectionEnd(data_, erased);
        while (replaced != replaced_.end() && replaced->first < from)
            ++replaced;
        out.skipTo(from);
    }
    for (; addition != additions_.end(); ++addition)
        for (const std::string& line : addition->lines)
            out.line(line);
}

const std::string& IniText::bytes() const {
    if (!changed_) return data_;
    if (!resultReady_) {
        std::size_t size = 0;
        auto count = [&](std::string_view piece) { size += piece.size(); };
        produce(count);
        result_ = std::string();
        result_.reserve(size);
        auto append = [&](std::string_view piece) { result_.append(piece); };
        produce(append);
        resultReady_ = true;
    }
    return result_;
}

} // namespace qe
