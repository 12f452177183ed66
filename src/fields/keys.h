// The keys of the configuration file that the editor owns, declared once in
// keys.def: section, name, value form, the default an absent key counts as, and
// the fields each fills. The load, the save, the reset, the check and the
// interlocks take these defaults from here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qe {

// The ten sections the editor owns, in the order a save writes them.
inline constexpr const char* kOwnedSections[] = {
    "parameters", "misc", "triggers", "display", "processor-usage",
    "rc5",        "ogr",  "buffers",  "logging", "networking"};

// How a key's value is spelled. The last four have rules of their own, kept as
// code beside the load and the save: projectList, thresholds, the log file limit
// by log type, and the Base64 credential.
enum class ValueForm {
    Text,           // any text, read and written unchanged
    IntegerText,    // a number kept as its text: loaded into a spin field unconverted
    Flag,           // one recognised word; any other text means the opposite
    Word,           // one word per item of a choice field
    Integer,        // read by the strict integer conversion
    LenientInteger, // read by the lenient one, with the default as fallback
    Duration,       // hours ":" minutes, both strict
    Address,        // host, or host ":" port
    ProjectList,
    Thresholds,
    LogFileLimit,
    Credential,
};

struct Key {
    const char* section;
    const char* name;
    ValueForm form;
    const char* def;    // what an absent key counts as; nullptr: the current ID
    const char* words;  // Word keys: each item's word; Flag keys: the word a save writes
                        // for the state other than the default, then the default's
                        // word, then other spellings a load takes for the first; "|"
                        // between them
    const char* port;   // Address keys: the port of a value without one
    const char* fields; // the control names of the fields it fills, blank-separated

    // The default as a number (Integer, LenientInteger and IntegerText keys).
    int number() const;
    // Word keys: the word of item, "" for an item outside the list.
    std::string_view word(int item) const;
    // Word keys: the item whose word value is, 0 for any other text.
    int item(std::string_view value) const;
    // The control names of the fields, in order.
    std::vector<std::string_view> fieldNames() const;
};

namespace key {
#define QE_KEY(id, section, name, form, def, fields)                                               \
    inline constexpr Key id{section, name, ValueForm::form, def, nullptr, nullptr, fields};
#define QE_WORD_KEY(id, section, name, def, words, fields)                                         \
    inline constexpr Key id{section, name, ValueForm::Word, def, words, nullptr, fields};
#define QE_FLAG_KEY(id, section, name, def, words, fields)                                         \
    inline constexpr Key id{section, name, ValueForm::Flag, def, words, nullptr, fields};
#define QE_ADDRESS_KEY(id, section, name, port, fields)                                            \
    inline constexpr Key id{section, name, ValueForm::Address, "", nullptr, port, fields};
#include "keys.def"
#undef QE_KEY
#undef QE_WORD_KEY
#undef QE_FLAG_KEY
#undef QE_ADDRESS_KEY
} // namespace key

// Every owned key, in the order of keys.def.
inline constexpr const Key* kOwnedKeys[] = {
#define QE_KEY(id, ...) &key::id,
#define QE_WORD_KEY(id, ...) &key::id,
#define QE_FLAG_KEY(id, ...) &key::id,
#define QE_ADDRESS_KEY(id, ...) &key::id,
#include "keys.def"
#undef QE_KEY
#undef QE_WORD_KEY
#undef QE_FLAG_KEY
#undef QE_ADDRESS_KEY
};

// The key that fills the field of that control name, or nullptr.
const Key* keyOfField(std::string_view controlName);

// The port a firewall-host value without one loads as, and that a save puts in
// place of a blank port; cmbProxyTypeChange fills an empty port with it too.
const char* proxyPort(int proxyType);

// The words of cmbLogPeriod's items in a rotating log's limit.
inline constexpr const char* kLogPeriodWords = "daily|weekly|monthly";

// The item whose word value is within words ("|" between them): 0 for the first,
// -1 for a value that is none of them.
int indexOfWord(std::string_view words, std::string_view value);
// The word of item within words, "" for an item outside them.
std::string_view wordAt(std::string_view words, int item);

} // namespace qe
