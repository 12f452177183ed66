// The bytes of one INI file, with the three profile operations applied in memory.
#pragma once

#include <string>
#include <string_view>

namespace qe {

class IniText {
public:
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
    void write(std::string_view section, std::string_view key, std::string_view value);

    // Removes the section's header line and every line of the section; an absent
    // section is no error.
    void eraseSection(std::string_view section);

    const std::string& bytes() const;
};

} // namespace qe
