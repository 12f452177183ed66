#include "tooltip.h"

#include "fields/keys.h"

namespace qe {
namespace {

// The two parts of a value that two fields share, by the key's value form;
// nullptr for a key whose fields are not parts of one value.
struct Parts {
    const char* first;
    const char* second;
};

const Parts* partsOf(ValueForm form) {
    static const Parts kAddress{"the host before the ':'", "the port after the ':'"};
    static const Parts kDuration{"the hours before the ':'", "the minutes after the ':'"};
    static const Parts kCredential{"the user name, joined to the password and Base64-encoded",
                                   "the password, joined to the user name and Base64-encoded"};
    switch (form) {
    case ValueForm::Address:
        return &kAddress;
    case ValueForm::Duration:
        return &kDuration;
    case ValueForm::Credential:
        return &kCredential;
    default:
        return nullptr;
    }
}

} // namespace

std::string spinLimits(const Control& spin) {
    std::string limits = std::to_string(spin.minValue()) + " to " + std::to_string(spin.maxValue());
    if (*spin.unit()) limits += std::string(" ") + spin.unit();
    return limits;
}

std::string fieldPart(const Control& c) {
    const Key* k = keyOfField(c.name());
    const Parts* parts = k ? partsOf(k->form) : nullptr;
    if (!parts) return {};
    return k->fieldNames().front() == c.name() ? parts->first : parts->second;
}

std::string fieldTooltip(const Control& c) {
    const Key* k = keyOfField(c.name());
    if (!k) return {};
    std::string tip = std::string("[") + k->section + "] " + k->name;
    if (const std::string part = fieldPart(c); !part.empty()) tip += ", " + part;
    if (c.kind() == Kind::Spin) tip += ", " + spinLimits(c);
    return tip;
}

} // namespace qe
