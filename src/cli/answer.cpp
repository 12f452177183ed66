#include "answer.h"

#include "command_line.h"
#include "json.h"

#include "config/value_text.h"

namespace qe::cli {
namespace {

void writeEntries(json::Writer& w, const char* name, const std::vector<Entry>& entries) {
    w.key(name);
    w.beginArray();
    for (const Entry& e : entries) {
        w.beginObject();
        w.key("key");
        w.string(e.key);
        w.key("value");
        w.string(textOf(e.value));
        w.key("message");
        w.string(e.message);
        if (e.line) {
            w.key("line");
            w.number(static_cast<long long>(e.line));
        }
        w.endObject();
    }
    w.endArray();
}

} // namespace

int statusOf(const Outcome& outcome) {
    if (outcome.loadStopped) return kLoadStopped;
    return outcome.errors.empty() ? kDone : kRefused;
}

std::string entryLine(const Entry& e) {
    if (e.line) {
        const bool keyLine = e.key.find('.') != std::string::npos;
        const std::string where = keyLine ? e.key + "=" + e.value.substr(e.value.find('=') + 1)
                                          : "[" + e.key + "] " + e.value;
        return "line " + std::to_string(e.line) + ": " + where + ": " + e.message;
    }
    if (e.key.empty()) return e.message;
    return e.key + "=" + e.value + ": " + e.message;
}

std::vector<std::pair<std::string, std::string>>
pickValues(const std::vector<std::pair<std::string, std::string>>& values,
           const std::vector<std::string>& names, std::vector<Entry>& errors) {
    std::vector<std::pair<std::string, std::string>> picked;
    for (const std::string& name : names) {
        std::string reason;
        const Key* k = ownedKey(name, reason);
        if (!k) {
            errors.push_back({name, "", reason});
            continue;
        }
        for (const auto& value : values)
            if (value.first == dottedName(*k)) picked.push_back(value);
    }
    return picked;
}

std::string jsonAnswer(const Outcome& outcome, bool changed, bool showSecrets,
                       const std::string& backupFile) {
    std::string out;
    json::Writer w{out};
    w.beginObject();
    w.key("changed");
    w.boolean(changed);
    if (!backupFile.empty()) {
        w.key("backup_file");
        w.string(backupFile);
    }
    w.key("values");
    w.beginObject();
    for (const auto& [name, value] : outcome.values) {
        w.key(name);
        w.string(textOf(value));
    }
    w.endObject();
    w.key("latin1"); // the values shown as Latin-1, which apply takes back as such
    w.beginArray();
    for (const auto& [name, value] : outcome.values)
        if (formOf(value) == TextForm::Latin1) w.string(name);
    w.endArray();
    w.key("diff");
    w.beginObject();
    w.key("before");
    w.string(showSecrets ? outcome.before : maskSecrets(outcome.before));
    w.key("after");
    w.string(showSecrets ? outcome.after : maskSecrets(outcome.after, outcome.before));
    w.endObject();
    writeEntries(w, "warnings", outcome.warnings);
    writeEntries(w, "errors", outcome.errors);
    w.endObject();
    return out;
}

} // namespace qe::cli
