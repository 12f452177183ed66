#include "tooltip.h"

#include "fields/keys.h"

#include <string_view>
#include <vector>

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

std::string fieldTooltip(const Control& c) {
    const Key* k = keyOfField(c.name());
    if (!k) return {};
    std::string tip = std::string("[") + k->section + "] " + k->name;
    if (const Parts* parts = partsOf(k->form)) {
        const std::vector<std::string_view> names = k->fieldNames();
        tip += ", ";
        tip += names.front() == c.name() ? parts->first : parts->second;
    }
    if (c.kind() == Kind::Spin) {
        tip += ", " + std::to_string(c.minValue()) + " to " + std::to_string(c.maxValue());
        if (*c.unit()) tip += std::string(" ") + c.unit();
    }
    return tip;
}

} // namespace qe
