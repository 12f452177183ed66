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

void writeWords(json::Writer& w, std::string_view words) {
    w.key("words");
    w.beginArray();
    for (std::string_view word : wordsOf(words))
        w.string(word);
    w.endArray();
}

void writeField(json::Writer& w, const Control& c) {
    w.beginObject();
    w.key("name");
    w.string(c.name());
    w.key("kind");
    w.string(kindName(c.kind()));
    if (const std::string part = fieldPart(c); !part.empty()) {
        w.key("part");
        w.string(part);
    }
    if (c.kind() == Kind::Spin) {
        w.key("min");
        w.number(c.minValue());
        w.key("max");
        w.number(c.maxValue());
        if (*c.unit()) {
            w.key("unit");
            w.string(c.unit());
        }
    }
    if (c.kind() == Kind::Choice) {
        w.key("items");
        w.beginArray();
        for (const std::string& item : c.items())
            w.string(item);
        w.endArray();
    }
    w.endObject();
}

void writeDefault(json::Writer& w, const Key& k) {
    w.key("default");
    if (k.def) {
        w.string(k.def);
        return;
    }
    // The mail addresses default to the ID the file holds.
    w.null();
    w.key("default_from");
    w.string(std::string(key::id.section) + "." + key::id.name);
}

void writeKey(json::Writer& w, const Key& k, const Fields& fields) {
    w.beginObject();
    w.key("key");
    w.string(std::string(k.section) + "." + k.name);
    w.key("section");
    w.string(k.section);
    w.key("name");
    w.string(k.name);
    w.key("form");
    w.string(formName(k.form));
    if (k.form == ValueForm::Credential) {
        // Given and shown as the two fields hold it, never as the Base64 the file holds.
        w.key("given_as");
        w.string("user:password");
    }
    writeDefault(w, k);
    if (k.words) writeWords(w, k.words);
    if (k.port) {
        w.key("port");
        w.string(k.port);
    }
    w.key("fields");
    w.beginArray();
    for (std::string_view name : k.fieldNames())
        if (const Control* c = fields.find(name)) writeField(w, *c);
    w.endArray();
    w.endObject();
}

} // namespace

std::string schemaJson() {
    const Fields fields;
    std::string out;
    json::Writer w(out);
    w.beginObject();
    w.key("keys");
    w.beginArray();
    for (const Key* k : kOwnedKeys)
        writeKey(w, *k, fields);
    w.endArray();
    w.endObject();
    return out;
}

} // namespace qe::cli
