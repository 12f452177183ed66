// The bytes of one INI file, with the three profile operations applied in memory.
//
// File syntax as this class reads and writes it:
// - Lines end in CR LF, LF or a lone CR. Written lines use the ending of the file's
//   first line ("\n" for a file without any line ending). Lines that no operation
//   touches keep their bytes exactly, their own endings included. A last line
//   without an ending stays so unless a line is added after it; then it gets the
//   file's ending first.
// - A line whose first non-blank character is "[" opens a section. Its name is the
//   text between "[" and the first "]" (the rest of the line when there is none),
//   blanks trimmed. A UTF-8 byte order mark at the start of the file does not hide
//   a header on the first line, and it stays at the start of the file even when
//   that section is erased.
// - Inside a section, a line with "=" whose name (the text before the first "=",
//   blanks trimmed) is not empty is a key line. Lines whose first non-blank
//   character is ";" or "#" are comments: never keys, always kept. Lines before the
//   first section belong to no section and are never read as keys.
// - Blanks are space and tab. Section and key names match without regard to the
//   case of ASCII letters; values are compared by nobody here. Bytes are bytes: no
//   character conversion anywhere, NUL is an ordinary byte.
// - Several sections of one name act as one: reads look through all of them in
//   file order. Of several lines of one key, the first one counts for reads and
//   writes.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qe {

class IniText {
public:
    // The longest value a read returns, in bytes.
    static constexpr std::size_t kMaxValueLength = 2047;

    explicit IniText(std::string bytes = {});
    IniText(const IniText& other);
    IniText& operator=(const IniText& other);
    IniText(IniText&&) noexcept;
    IniText& operator=(IniText&&) noexcept;
    ~IniText();

    // The value of key in section: the text after the first "=" of its line without
    // the blanks around it, one pair of enclosing double or single quotes removed,
    // cut to 2047 characters. Names match without regard to letter case. def when
    // the key or its section is absent; the empty text when the key is present with
    // an empty value.
    std::string read(std::string_view section, std::string_view key, std::string_view def) const;

    // Sets key to value: an existing key keeps its line, a new key goes to the end of
    // its section, a new section to the end of the text. An empty value leaves the
    // key present with nothing after "=".
    //
    // The line is written "key=value", without blanks around "=", with key as given.
    // The line that a read would return is the one replaced (keeping its line
    // ending); a new key goes after the last non-blank line of the first section of
    // that name, so blank lines before the next header stay there. A new section is
    // appended as a "[section]" line followed by the key, with no blank line added.
    // A CR or LF in section, key or value is written as a space, so that a value can
    // never break its line and inject lines of its own.
    void write(std::string_view section, std::string_view key, std::string_view value);

    // Removes the section's header line and every line of the section; an absent
    // section is no error. Every section of that name goes.
    void eraseSection(std::string_view section);

    // The text with every operation applied.
    const std::string& bytes() const;

private:
    enum class Kind : unsigned char { Other, Header, Key };
    struct Line {
        const char* data = nullptr;
        std::size_t size = 0;        // with the line ending
        std::size_t contentSize = 0; // without the line ending
        std::size_t nameBegin = 0;   // key lines: the key name within the content
        std::size_t nameSize = 0;
        Kind kind = Kind::Other;

        std::string_view content() const { return {data, contentSize}; }
        std::string_view text() const { return {data, size}; }
    };
    // One section: its lines are lines_[first, end) in file order, with the lines
    // added by writes standing after lines_[insertAfter]. A section made by a write
    // has no lines in lines_ (first == end) and keeps its header in added.
    struct Section {
        std::string lowerName;
        std::size_t first = 0;
        std::size_t end = 0;
        std::size_t insertAfter = 0;
        std::vector<Line> added;
        std::size_t nextSameName = kNone; // the next section of this name in file order
        bool erased = false;
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    struct SameName { // the first and last of the sections of one name
        std::size_t first;
        std::size_t last;
    };

    void parse();
    // Adds sections_[index] to the end of the list of sections of its name.
    void linkByName(std::size_t index);
    static Line classify(const char* data, std::size_t size, std::size_t contentSize);
    // The first line of key in the sections named lowerSection, or nullptr.
    const Line* findKey(const std::string& lowerSection, std::string_view lowerKey) const;
    Line makeLine(std::string content);
    void rebuild() const;

    std::unique_ptr<std::string> original_; // owns the bytes the parsed lines point into
    std::deque<std::string> store_;         // owns the bytes of written lines
    std::vector<Line> lines_;
    std::size_t preambleEnd_ = 0; // lines_[0, preambleEnd_) stand before the first section
    std::vector<Section> sections_;
    std::unordered_map<std::string, SameName> byName_; // lower-case name -> sections_
    std::string eol_ = "\n";
    bool changed_ = false;
    mutable bool dirty_ = false;
    mutable std::string cache_;
};

} // namespace qe
