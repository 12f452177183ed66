#include "request.h"

#include "json.h"

#include "config/ini_syntax.h"
#include "config/value_text.h"

#include <algorithm>
#include <set>

namespace qe::cli {
namespace {

using json::Value;

bool flagOption(const Value& request, const char* name, bool& into, std::string& fault) {
    const Value* v = request.find(name);
    if (!v) return true;
    if (v->type() != Value::Type::Bool) {
        fault = std::string("\"") + name + "\" must be true or false";
        return false;
    }
    into = v->boolean();
    return true;
}

bool waitOption(const Value& v, ApplyRequest& into, std::string& fault) {
    if (v.type() == Value::Type::Number) into.wait = waitOf(v.text());
    if (into.wait) return true;
    fault = "\"wait\" must be a whole number of seconds, 0 or more";
    return false;
}

// One value of a section's mapping.
bool settingOf(const std::string& name, const Value& v, ApplyRequest& into, std::string& fault) {
    switch (v.type()) {
    case Value::Type::String:
    case Value::Type::Number:
        into.settings.push_back({name, v.text(), false});
        return true;
    case Value::Type::Bool:
        into.settings.push_back({name, v.boolean() ? "true" : "false", true});
        return true;
    case Value::Type::Null:
        into.settings.push_back({name, std::nullopt, false});
        return true;
    default:
        fault = "the value of " + name + " must be a string, a number, a boolean or null";
        return false;
    }
}

bool settingsOf(const Value& settings, ApplyRequest& into, std::string& fault) {
    if (settings.type() != Value::Type::Object) {
        fault = "\"settings\" must map sections to mappings of keys to values";
        return false;
    }
    for (const auto& [section, keys] : settings.members()) {
        if (keys.type() != Value::Type::Object) {
            fault = "\"settings\": section " + section + " must map keys to values";
            return false;
        }
        for (const auto& [name, value] : keys.members())
            if (!settingOf(section + "." + name, value, into, fault)) return false;
    }
    return true;
}

bool absentOf(const Value& absent, ApplyRequest& into, std::string& fault) {
    if (absent.type() != Value::Type::Array) {
        fault = "\"absent\" must be a list of section.key";
        return false;
    }
    for (const Value& name : absent.items()) {
        if (name.type() != Value::Type::String) {
            fault = "\"absent\" must be a list of section.key";
            return false;
        }
        into.settings.push_back({name.text(), std::nullopt, false});
    }
    return true;
}

// The texts of the settings named in "latin1" as Latin-1 bytes. A name the request
// does not set to a text, or a text with a character above U+00FF, is a fault.
bool takeLatin1(const Value& names, ApplyRequest& into, std::string& fault) {
    std::set<std::string> marked;
    const auto isName = [](const Value& name) { return name.type() == Value::Type::String; };
    if (names.type() != Value::Type::Array ||
        !std::all_of(names.items().begin(), names.items().end(), isName)) {
        fault = "\"latin1\" must be a list of section.key";
        return false;
    }
    for (const Value& name : names.items())
        marked.insert(lowerName(name.text()));
    for (Setting& s : into.settings) {
        if (!s.value || s.boolean || marked.count(lowerName(s.key)) == 0) continue;
        const std::optional<std::string> bytes = qe::latin1Of(*s.value);
        if (!bytes) {
            fault = s.key + " is marked latin1 but holds a character above U+00FF";
            return false;
        }
        s.value = *bytes;
        marked.erase(lowerName(s.key));
    }
    if (marked.empty()) return true;
    fault = "\"latin1\" marks " + *marked.begin() + ", which the request does not set to a text";
    return false;
}

} // namespace

std::optional<ApplyRequest> parseRequest(const std::string& text, std::string& fault) {
    Value request;
    try {
        request = json::parse(text);
    } catch (const json::ParseError& e) {
        fault = e.what();
        return std::nullopt;
    }
    if (request.type() != Value::Type::Object) {
        fault = "the request must be a JSON object";
        return std::nullopt;
    }
    ApplyRequest r;
    for (const auto& [name, value] : request.members()) {
        bool known = true;
        if (name == "latin1")
            continue; // once the settings are known
        else if (name == "settings")
            known = settingsOf(value, r, fault);
        else if (name == "absent")
            known = absentOf(value, r, fault);
        else if (name == "check_mode")
            known = flagOption(request, "check_mode", r.checkMode, fault);
        else if (name == "create")
            known = flagOption(request, "create", r.create, fault);
        else if (name == "strict")
            known = flagOption(request, "strict", r.strict, fault);
        else if (name == "show_secrets")
            known = flagOption(request, "show_secrets", r.showSecrets, fault);
        else if (name == "backup")
            known = flagOption(request, "backup", r.backup, fault);
        else if (name == "wait")
            known = waitOption(value, r, fault);
        else
            fault = "unknown member \"" + name + "\"", known = false;
        if (!known) return std::nullopt;
    }
    if (const Value* latin1 = request.find("latin1"); latin1 && !takeLatin1(*latin1, r, fault))
        return std::nullopt;
    return r;
}

std::optional<std::chrono::seconds> waitOf(std::string_view text) {
    constexpr std::size_t kMaxDigits = 9;
    if (text.empty() || text.size() > kMaxDigits ||
        text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return std::chrono::seconds(std::stoll(std::string(text)));
}

std::optional<std::vector<Setting>> settingsOf(const std::vector<std::string>& operands,
                                               bool withValues, std::string& fault) {
    if (operands.empty()) {
        fault = withValues ? "give at least one KEY=VALUE" : "give at least one KEY";
        return std::nullopt;
    }
    std::vector<Setting> settings;
    for (const std::string& operand : operands) {
        const std::size_t equals = withValues ? operand.find('=') : std::string::npos;
        if (!withValues)
            settings.push_back({operand, std::nullopt, false});
        else if (equals != std::string::npos)
            settings.push_back({operand.substr(0, equals), operand.substr(equals + 1), false});
        else {
            fault = "not KEY=VALUE: " + operand;
            return std::nullopt;
        }
    }
    return settings;
}

} // namespace qe::cli
