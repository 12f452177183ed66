// The keys of the configuration file that the editor owns, declared once in
// keys.def: section, name, value form, the default an absent key counts as, and
// the fields each fills. The load, the save, the reset, the check and the
// interlocks take these defaults from here.
#pragma once

#include <cstddef>
#include <optional>
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
    const char* ports;  // Address keys whose port follows firewall-type: the port of
                        // each of its items, "|" between them
    const char* fields; // the control names of the fields it fills, blank-separated
    // Flag keys: a load knows the default's word alone, and any other text, the
    // empty one included, means the state other than the default. Otherwise a load
    // knows the first word and the other spellings, and any other text means the
    // default.
    bool knowsDefaultWord;

    // The default as a number (Integer, LenientInteger and IntegerText keys).
    int number() const;
    // Word keys: the word of item, "" for an item outside the list.
    std::string_view word(int item) const;
    // Word keys: the item whose word value is, 0 for any other text.
    int item(std::string_view value) const;
    // Flag keys: whether a load takes value for the state other than the default.
    bool isFlagSet(std::string_view value) const;
    // Flag keys: the word a save writes for the state other than the default.
    std::string_view setWord() const { return word(0); }
    // Address keys: the port of a value without one when firewall-type is at item
    // (the first item's port for an item outside the list).
    std::string_view defaultPort(int item) const;
    // The control names of the fields, in order.
    std::vector<std::string_view> fieldNames() const;
};

// A row of keys.def as a Key, every column by position.
constexpr Key makeKey(const char* section, const char* name, ValueForm form, const char* def,
                      const char* words, const char* port, const char* ports, const char* fields,
                      bool knowsDefaultWord) {
    return Key{section, name, form, def, words, port, ports, fields, knowsDefaultWord};
}

namespace key {
#define QE_KEY(id, section, name, form, def, fields)                                               \
    inline constexpr Key id =                                                                      \
        makeKey(section, name, ValueForm::form, def, nullptr, nullptr, nullptr, fields, false);
#define QE_WORD_KEY(id, section, name, def, words, fields)                                         \
    inline constexpr Key id =                                                                      \
        makeKey(section, name, ValueForm::Word, def, words, nullptr, nullptr, fields, false);
#define QE_FLAG_KEY(id, section, name, def, words, fields)                                         \
    inline constexpr Key id =                                                                      \
        makeKey(section, name, ValueForm::Flag, def, words, nullptr, nullptr, fields, false);
#define QE_DEFAULT_WORD_FLAG_KEY(id, section, name, def, words, fields)                            \
    inline constexpr Key id =                                                                      \
        makeKey(section, name, ValueForm::Flag, def, words, nullptr, nullptr, fields, true);
#define QE_ADDRESS_KEY(id, section, name, port, fields)                                            \
    inline constexpr Key id =                                                                      \
        makeKey(section, name, ValueForm::Address, "", nullptr, port, nullptr, fields, false);
#define QE_TYPED_ADDRESS_KEY(id, section, name, ports, fields)                                     \
    inline constexpr Key id =                                                                      \
        makeKey(section, name, ValueForm::Address, "", nullptr, "", ports, fields, false);
#include "keys.def"
#undef QE_KEY
#undef QE_WORD_KEY
#undef QE_FLAG_KEY
#undef QE_DEFAULT_WORD_FLAG_KEY
#undef QE_ADDRESS_KEY
#undef QE_TYPED_ADDRESS_KEY
} // namespace key

// Every owned key, in the order of keys.def.
inline constexpr const Key* kOwnedKeys[] = {
#define QE_KEY(id, ...) &key::id,
#define QE_WORD_KEY(id, ...) &key::id,
#define QE_FLAG_KEY(id, ...) &key::id,
#define QE_DEFAULT_WORD_FLAG_KEY(id, ...) &key::id,
#define QE_ADDRESS_KEY(id, ...) &key::id,
#define QE_TYPED_ADDRESS_KEY(id, ...) &key::id,
#include "keys.def"
#undef QE_KEY
#undef QE_WORD_KEY
#undef QE_FLAG_KEY
#undef QE_DEFAULT_WORD_FLAG_KEY
#undef QE_ADDRESS_KEY
#undef QE_TYPED_ADDRESS_KEY
};

// The key that fills the field of that control name, or nullptr.
const Key* keyOfField(std::string_view controlName);

// The port a firewall-host value without one loads as, and that a save puts in
// place of a blank port; cmbProxyTypeChange fills an empty port with it too.
inline std::string_view proxyPort(int proxyType) {
    return key::firewallHost.defaultPort(proxyType);
}

// The words of cmbLogPeriod's items in a rotating log's limit.
inline constexpr const char* kLogPeriodWords = "daily|weekly|monthly";

// A list of words with "|" between them, the one place such lists are split: the
// word that starts at begin; moves begin to the next word, or to npos after the
// last.
constexpr std::string_view nextWord(std::string_view words, std::size_t& begin) {
    const std::size_t bar = words.find('|', begin);
    const std::string_view word = words.substr(begin, bar - begin);
    begin = bar == std::string_view::npos ? bar : bar + 1;
    return word;
}

// Every word of words ("|" between them), in order; one empty word for "".
std::vector<std::string_view> wordsOf(std::string_view words);

// The item whose word value is within words ("|" between them): 0 for the first,
// -1 for a value that is none of them.
constexpr int indexOfWord(std::string_view words, std::string_view value) {
    int item = 0;
    for (std::size_t begin = 0; begin != std::string_view::npos; ++item)
        if (nextWord(words, begin) == value) return item;
    return -1;
}
// The word of item within words, "" for an item outside them.
std::string_view wordAt(std::string_view words, int item);

// The items of cmbLogType whose limit the log options hold, by their words.
inline constexpr int kLogRestart = indexOfWord(key::logFileType.words, "restart");
inline constexpr int kLogFifo = indexOfWord(key::logFileType.words, "fifo");
inline constexpr int kLogRotate = indexOfWord(key::logFileType.words, "rotate");

// The items of cmbProxyType, by their words in firewall-type.
inline constexpr int kProxyNone = indexOfWord(key::firewallType.words, "");
inline constexpr int kProxyHttp = indexOfWord(key::firewallType.words, "http");
inline constexpr int kProxySocks4 = indexOfWord(key::firewallType.words, "socks4");
inline constexpr int kProxySocks5 = indexOfWord(key::firewallType.words, "socks5");

// cmbSystem's items, which max-threads stands for: -1 the first, 1 the second, a
// number of processes the third (0 is the second with chkForceCPU checked).
#define QE_SYSTEM_ITEMS "Auto Select", "Single-Threaded", "Multi-Threaded"
inline constexpr std::string_view kSystemItems[] = {QE_SYSTEM_ITEMS};
// The item of that caption among items; -1 for none.
template <std::size_t N>
constexpr int itemOfCaption(const std::string_view (&items)[N], std::string_view caption) {
    for (std::size_t i = 0; i < N; ++i)
        if (items[i] == caption) return static_cast<int>(i);
    return -1;
}
inline constexpr int kSystemAuto = itemOfCaption(kSystemItems, "Auto Select");
inline constexpr int kSystemSingle = itemOfCaption(kSystemItems, "Single-Threaded");
inline constexpr int kSystemMulti = itemOfCaption(kSystemItems, "Multi-Threaded");

// preferred-blocksize and cmbRC5BlockSize: item 0 is automatic (-1), items 1 to 6
// the block sizes 28 to 33.
int blockSizeOfItem(int item);
// The item of a block size; nullopt for a size outside the list.
std::optional<int> itemOfBlockSize(int size);

// core in rc5 and ogr, cmbRC5Core and cmbOGRCore: item n stands for core n - 1, so
// item 0 is automatic (-1).
int coreOfItem(int item);
// The item of a core number, which may lie outside the list; a number whose item
// would not fit in an int gives -1, outside every list.
int itemOfCore(int core);

} // namespace qe
