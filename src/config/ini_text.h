// The bytes of one INI file, with the three profile operations applied in memory.
//
// File syntax as this class reads and writes it:
// - Lines end in CR LF, LF or a lone CR. Written lines use the ending of the file's
//   last line break ("\n" for a file without any), so that a file this class wrote,
//   whose written lines stand at its end, keeps that ending when written again.
//   Lines that no operation touches keep their bytes exactly, their own endings
//   included. A last line without an ending stays so unless a line is added after
//   it; then it gets the file's ending first.
// - A line whose first non-blank character is "[" and which holds a "]" after it
//   opens a section. Its name is the text between "[" and the first "]", blanks
//   trimmed. A line with "[" but no "]" opens nothing: it is an ordinary line of the
//   section above it. A UTF-8 byte order mark at the start of the file does not hide
//   a header on the first line, and it stays at the start of the file even when
//   that section is erased.
// - Inside a section, a line with "=" whose name (the text before the first "=",
//   blanks trimmed) is not empty is a key line, unless its first non-blank
//   character is "[", ";" or "#". Lines whose first non-blank character is ";" or
//   "#" are comments: never keys, always kept. Lines before the first section belong
//   to no section and are never read as keys.
// - Blanks are space and tab. Section and key names match without regard to the
//   case of ASCII letters; values are compared by nobody here. Bytes are bytes: no
//   character conversion anywhere, NUL is an ordinary byte.
// - Several sections of one name act as one: reads look through all of them in
//   file order. Of several lines of one key, the first one counts for reads and
//   writes.
//
// Cost: the text is kept once, as read. The only bookkeeping per line of the file is
// an index of six bytes for each section header (where it starts and a hash of its
// name), and a bit for each header once a section is erased; key lines are found by
// going through the lines of the wanted sections when a key is asked for. The index
// is let go while bytes() builds the result, so that a text, its index and its
// result together stay within three times the size of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
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
};

// Every line of text, in order, a byte order mark left out of the first.
std::vector<IniLine> iniLines(std::string_view text);

class IniText {
public:
    // The longest value a read returns, in bytes.
    static constexpr std::size_t kMaxValueLength = 2047;

    explicit IniText(std::string bytes = {});

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

    // The text as it was given, before any operation.
    const std::string& original() const { return data_; }

private:
    // Where each header line starts and a hash of its name, in file order. Kept in
    // blocks, so that the list grows without copying and holds at most one block
    // unused: six bytes a header while the text is under 4 GiB.
    class Headers {
    public:
        void add(std::size_t offset, std::uint16_t nameHash);
        std::size_t size() const { return size_; }
        std::size_t offset(std::size_t i) const;
        // Calls visit(i) for each header whose name hash is hash, in file order, until
        // visit returns true; returns whether one did.
        template <typename Visit> bool forHash(std::uint16_t hash, Visit visit) const {
            for (std::size_t b = 0; b < blocks_.size(); ++b) {
                const std::vector<std::uint16_t>& hashes = blocks_[b].hash;
                for (std::size_t j = 0; j < hashes.size(); ++j) {
                    // Eight at a time without a branch each, which the compiler
                    // turns into one vector compare.
                    while (j + 8 <= hashes.size()) {
                        bool any = false;
                        for (std::size_t k = 0; k < 8; ++k)
                            any |= hashes[j + k] == hash;
                        if (any) break;
                        j += 8;
                    }
                    if (j < hashes.size() && hashes[j] == hash && visit(b * kBlock + j))
                        return true;
                }
            }
            return false;
        }

    private:
        static constexpr std::size_t kBlock = 1 << 14;
        struct Block {
            std::vector<std::uint32_t> low;
            std::vector<std::uint16_t> high; // empty while every offset fits in 32 bits
            std::vector<std::uint16_t> hash;
        };
        std::vector<Block> blocks_;
        std::size_t size_ = 0;
    };

    // Lines added by writes to an existing section: they stand at offset, after the
    // last non-blank line of the section that starts at headers_.offset(header).
    struct Added {
        std::size_t header;
        std::size_t offset;
        std::vector<std::string> lines; // without line endings
    };
    // A section made by a write; lines[0] is its header line.
    struct NewSection {
        std::string lowerName;
        std::vector<std::string> lines;
    };
    // Where the line that a read of a key finds stands.
    struct KeyLine {
        enum class In { Nowhere, Text, Added, New } in = In::Nowhere;
        std::size_t at = 0; // In::Text: the line's offset; otherwise the index in added_/appended_
        std::size_t line = 0; // the index in that entry's lines
        std::string_view content;
    };

    // The index of the headers, made when first needed.
    const Headers& headers() const;
    std::size_t sectionEnd(std::size_t header) const;
    // Calls visit(header index) for each section named lowerName that is not erased,
    // in file order, until visit returns true; returns whether one did.
    template <typename Visit> bool forSections(std::string_view lowerName, Visit visit) const;
    KeyLine findKey(std::string_view lowerSection, std::string_view lowerKey) const;
    std::size_t insertionPoint(std::size_t header) const;
    template <typename Sink> void produce(Sink& out) const;

    std::string data_;
    std::size_t bodyStart_ = 0; // after a byte order mark
    mutable Headers headers_;
    mutable bool indexed_ = false;
    std::vector<bool> erased_;                    // by header; empty until the first erase
    std::map<std::size_t, std::string> replaced_; // key line offset -> its new content
    std::vector<Added> added_;                    // by header, ascending
    std::vector<NewSection> appended_;
    std::string eol_ = "\n";
    bool lastLineOpen_ = false; // the text ends in a line without a line ending
    bool changed_ = false;
    mutable bool dirty_ = false;
    mutable std::string cache_;
};

} // namespace qe
