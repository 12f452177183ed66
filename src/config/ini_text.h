// The bytes of one INI file, with the three profile operations applied in memory.
//
// The file syntax is that of ini_syntax.h; as for writing it:
// - Written lines use the ending of the file's last line break ("\n" for a file
//   without any), so that a file this class wrote, whose written lines stand at its
//   end, keeps that ending when written again. Lines that no operation touches keep
//   their bytes exactly, their own endings included. A last line without an ending
//   stays so unless a line is added after it; then it gets the file's ending first.
// - A UTF-8 byte order mark stays at the start of the file even when the first
//   section is erased.
// - Several sections of one name act as one: reads look through all of them in
//   file order. Of several lines of one key, the first one counts for reads and
//   writes.
//
// Cost: the text is kept once, as read. The only bookkeeping per line of the file
// is four bytes for each section header (where its line starts), in one of 256
// groups by a hash of its name, so that a read compares the names of a few
// sections only; key lines are found by going through the lines of the wanted
// sections. Edits are kept beside the text and put into it by one pass when the
// result is asked for. A text, its index and the result of its edits together stay
// within three times the size of the file. A text of 4 GiB or more, whose offsets
// four bytes cannot hold, has no index: a read goes through its headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qe {

class IniText {
public:
    // The longest value a read returns, in bytes.
    static constexpr std::size_t kMaxValueLength = 2047;
    // The number of groups of the header index.
    static constexpr std::size_t kGroups = 256;

    explicit IniText(std::string bytes = {});

    // The value of key in section: the text after the first "=" of its line without
    // the blanks around it, one pair of enclosing double or single quotes removed,
    // cut to 2047 characters. Names match without regard to letter case. def when
    // the key or its section is absent; the empty text when the key is present with
    // an empty value.
    std::string read(std::string_view section, std::string_view key, std::string_view def) const;

    // Whether a read of key in section finds a line.
    bool has(std::string_view section, std::string_view key) const;

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
    // The lines that writes added to one section, without line endings: after the
    // last non-blank line of its first section in the text, or, for a section the
    // text lacks, at the end (at npos), its header line first.
    struct Addition {
        std::string name;
        std::size_t at;
        std::vector<std::string> lines;
    };
    // Where a read of a key finds its line: a line of the text at offset `at`, or
    // line `line` of additions_[addition]; npos for none. addition is the section's
    // entry in additions_ even when the key is elsewhere.
    struct KeyLine {
        std::size_t at, line, addition;
        bool found() const;
    };

    bool isErased(std::string_view section) const;
    // The entry of section in additions_, or npos.
    std::size_t additionFor(std::string_view section) const;
    // The offsets of the header lines whose names fall in section's group of the
    // index, in file order; the index is made by the first call.
    const std::vector<std::uint32_t>& groupOf(std::string_view section) const;
    // Where the header lines of the sections of that name start, in file order,
    // erased ones included.
    std::vector<std::size_t> headersOf(std::string_view section) const;
    // Where the first section of that name that is not erased starts, or npos.
    std::size_t firstSection(std::string_view section) const;
    // Where the first key line of key in the section at header starts, or npos.
    std::size_t keyLineIn(std::size_t header, std::string_view key) const;
    // The first line of key in additions_[addition], or npos.
    std::size_t addedKeyLine(std::size_t addition, std::string_view key) const;
    KeyLine findKey(std::string_view section, std::string_view key) const;
    // Where a new key of the section that starts at header goes.
    std::size_t insertionPoint(std::size_t header) const;
    // The text with every operation applied, made in one pass.
    std::string edited() const;

    std::string data_;
    std::size_t bodyStart_ = 0; // after a byte order mark
    std::string eol_ = "\n";
    // Where the header lines start, by groupOf; for a text under 4 GiB.
    mutable std::vector<std::vector<std::uint32_t>> groups_;
    std::vector<std::string> erased_;             // names of erased sections
    std::map<std::size_t, std::string> replaced_; // key line offset -> its new content
    std::vector<Addition> additions_;             // by where they go
    bool changed_ = false;
    mutable bool resultReady_ = false;
    mutable std::string result_;
};

} // namespace qe
