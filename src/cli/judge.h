// Whether a key was saved as it was asked for and, when not, why: the facts the
// tooltips give (limits, words), or the other key whose state leaves it out.
#pragma once

#include "fields/fields.h"
#include "fields/keys.h"

#include <string>

namespace qe::cli {

// The call being judged: the file's bytes, and the text that holds the new values
// (what the load read).
struct Asked {
    const std::string& bytes;
    const std::string& withValues;
};

// True when the value read back after the save is the one asked for, or the
// editor's own spelling of the same state: a flag's or a word's other spelling, a
// number with other digits ("007"), a host without the port the load gives it.
bool sameValue(const Key& k, const std::string& asked, const std::string& readBack,
               const Asked& call);

// Why k is not saved as value: the blanks or quotes at its ends that the client's
// read takes off, the words it takes, the limits of its fields, or
// "not saved while <other key> is <its value>"; empty when none of these tells.
// loaded: the fields after the load of the text with the new values.
std::string whyNotSaved(const Key& k, const std::string& value, const Fields& loaded,
                        const Asked& call);

// "a save writes X", or for a key that a save leaves out, what the client then uses.
std::string whatASaveDoes(const std::string& readBack, bool written);

} // namespace qe::cli
