// The spelled forms of the owned keys' values, one codec each: how a file's text
// becomes the state of the fields (load...), how the fields become that text again
// (...Text), and whether two texts mean the same to the editor (same...). The load
// (ReadINI), the save (WriteINI) and quenbyconf's judge go through these; the
// credential's codec is in credential.h.
#pragma once

#include "fields/fields.h"
#include "fields/keys.h"

#include <optional>
#include <string>
#include <string_view>

namespace qe {

// value split at its first ":"; without one, value is all first part and there
// is no second.
struct ColonParts {
    std::string_view first;
    std::optional<std::string_view> second;
};
ColonParts splitAtColon(std::string_view value);

// Whether both texts are whole numbers (parseInt) and the same one.
bool sameNumber(std::string_view a, std::string_view b);

// Flags and words. Whether value is one of k's words.
bool isWord(const Key& k, std::string_view value);
// What a save writes for item of a word key: its word, in double quotes when it
// holds a blank, which a read removes ("no limit").
std::string wordText(const Key& k, int item);
// Whether the word asked gives the state that readBack gives (false when asked is
// none of k's words).
bool sameFlag(const Key& k, std::string_view asked, std::string_view readBack);
bool sameWord(const Key& k, std::string_view asked, std::string_view readBack);

// Duration, "hours:minutes": both parts by the strict conversion, hours first;
// without a colon the hours part is empty, so the load stops there (ConfigError).
void loadDuration(std::string_view value, Control& hours, Control& minutes);
// The fields' texts as they stand, joined by ":"; nullopt when both are 0, which
// is what an absent key counts as.
std::optional<std::string> durationText(const Control& hours, const Control& minutes);
bool sameDuration(std::string_view a, std::string_view b);

// Address, "host" or "host:port": a value without a colon is all host, and its
// port field gets defaultPort.
void loadAddress(std::string_view value, std::string_view defaultPort, Control& host,
                 Control& port);
std::string addressText(std::string_view host, std::string_view port);

// Temperature thresholds, "pause:resume", each a number and a unit letter (K, R,
// C or F in either case). A part with a unit letter loads strictly; any other
// part, the empty one included, counts as Kelvin and loads leniently with 0 as
// fallback. A value without a colon is all pause part; the empty value loads
// nothing.
void loadThresholds(Fields& f, std::string_view value);
// The unit letters in capitals; no resume part when its field is empty.
std::string thresholdsText(const Fields& f);
// Same numbers and units, a part without a letter being Kelvin and an empty part
// Kelvin 0; a part whose number does not convert matches nothing. The empty value
// matches only itself.
bool sameThresholds(std::string_view a, std::string_view b);

// Project list, "RC5,OGR,DES=0,CSC=0": the order of RC5 and OGR sets the
// priorities, "=0" disables a project. A save writes RC5 and OGR in priority
// order and always DES and CSC disabled, so texts mean the same only when equal.
void loadProjectList(Fields& f, std::string_view list);
std::string projectListText(const Fields& f);

// Whether a (a value asked for) and b (one read back) mean the same for k; nullopt
// where that depends on more than the two texts: an address's port and a
// credential's parts follow other keys and the fields' rules, which only a save
// of each tells.
std::optional<bool> sameMeaning(const Key& k, std::string_view a, std::string_view b);

} // namespace qe
