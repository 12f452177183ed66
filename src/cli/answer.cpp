#include "answer.h"

#include "command_line.h"
#include "json.h"

#include "config/value_text.h"

namespace qe::cli {
namespace {

json::Document entries(const std::vector<Entry>& list) {
    json::Document array = json::Document::array();
    for (const Entry& e : list) {
        json::Document entry{{"key", json::text(e.key)},
                             {"value", json::text(textOf(e.value))},
                             {"message", json::text(e.message)}};
        if (e.line) entry["line"] = e.line;
        array.push_back(std::move(entry));
    }
    return array;
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
    json::Document answer{{"changed", changed}};
    if (!backupFile.empty()) answer["backup_file"] = json::text(backupFile);
    json::Document values = json::Document::object();
    json::Document latin1 = json::Document::array(); // the values shown as Latin-1, which
                                                     // apply takes back as such
    for (const auto& [name, value] : outcome.values) {
        values[name] = json::text(textOf(value));
        if (formOf(value) == TextForm::Latin1) latin1.push_back(name);
    }
    answer["values"] = std::move(values);
    answer["latin1"] = std::move(latin1);
    answer["diff"] = {
        {"before", json::text(showSecrets ? outcome.before : maskSecrets(outcome.before))},
        {"after",
         json::text(showSecrets ? outcome.after : maskSecrets(outcome.after, outcome.before))}};
    answer["warnings"] = entries(outcome.warnings);
    answer["errors"] = entries(outcome.errors);
    return json::dump(answer);
}

} // namespace qe::cli
