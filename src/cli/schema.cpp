#include "schema.h"

#include "fields/fields.h"
#include "fields/keys.h"
#include "json.h"
#include "ui/form/tooltip.h"

namespace qe::cli {
namespace {

const char* formName(ValueForm form) {
    switch (form) {
    case ValueForm::Text:
        return "text";
    case ValueForm::IntegerText:
        return "integer-text";
    case ValueForm::Flag:
        return "flag";
    case ValueForm::Word:
        return "word";
    case ValueForm::Integer:
        return "integer";
    case ValueForm::LenientInteger:
        return "lenient-integer";
    case ValueForm::Duration:
        return "duration";
    case ValueForm::Address:
        return "address";
    case ValueForm::ProjectList:
        return "project-list";
    case ValueForm::Thresholds:
        return "thresholds";
    case ValueForm::LogFileLimit:
        return "log-file-limit";
    case ValueForm::Credential:
        return "credential";
    }
    return "";
}

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Text:
        return "text";
    case Kind::Spin:
        return "spin";
    case Kind::Check:
        return "check";
    case Kind::Radio:
        return "radio";
    case Kind::Choice:
        return "choice";
    default:
        return "other";
    }
}

json::Document words(std::string_view list) {
    json::Document array = json::Document::array();
    for (std::string_view word : wordsOf(list))
        array.push_back(word);
    return array;
}

json::Document field(const Control& c) {
    json::Document out{{"name", c.name()}, {"kind", kindName(c.kind())}};
    if (const std::string part = fieldPart(c); !part.empty()) out["part"] = part;
    if (c.kind() == Kind::Spin) {
        out["min"] = c.minValue();
        out["max"] = c.maxValue();
        if (*c.unit()) out["unit"] = c.unit();
    }
    if (c.kind() == Kind::Choice) out["items"] = c.items();
    return out;
}

void addDefault(json::Document& out, const Key& k) {
    if (k.def) {
        out["default"] = k.def;
        return;
    }
    // The mail addresses default to the ID the file holds.
    out["default"] = nullptr;
    out["default_from"] = std::string(key::id.section) + "." + key::id.name;
}

json::Document keyOf(const Key& k, const Fields& fields) {
    json::Document out{{"key", std::string(k.section) + "." + k.name},
                       {"section", k.section},
                       {"name", k.name},
                       {"form", formName(k.form)}};
    // Given and shown as the two fields hold it, never as the Base64 the file holds.
    if (k.form == ValueForm::Credential) out["given_as"] = "user:password";
    addDefault(out, k);
    if (k.words) out["words"] = words(k.words);
    if (k.port) out["port"] = k.port;
    json::Document list = json::Document::array();
    for (std::string_view name : k.fieldNames())
        if (const Control* c = fields.find(name)) list.push_back(field(*c));
    out["fields"] = std::move(list);
    return out;
}

} // namespace

std::string schemaJson() {
    const Fields fields;
    json::Document keys = json::Document::array();
    for (const Key* k : kOwnedKeys)
        keys.push_back(keyOf(*k, fields));
    return json::dump({{"keys", std::move(keys)}});
}

} // namespace qe::cli
