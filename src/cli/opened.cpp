#include "opened.h"

#include "config/base64.h"
#include "config/check_config.h"
#include "config/error.h"
#include "config/write_ini.h"

namespace qe::cli {

std::optional<std::string> NoPromptHost::askID(const std::string&) {
    idAsked = true;
    return std::nullopt;
}

void NoPromptHost::showError(const std::string& message) {
    errors.push_back({message, nullptr});
}

bool NoPromptHost::focus(Control& control) {
    if (!errors.empty() && !errors.back().field) errors.back().field = &control;
    return true;
}

std::unique_ptr<Opened> openAndSave(const std::string& text, const std::string& target) {
    auto opened = std::make_unique<Opened>();
    opened->form.load(IniText{text});
    opened->checkPassed = CheckConfig(opened->form.fields(), opened->host);
    IniText out{target};
    WriteINI(opened->form.fields(), out);
    opened->saved = out.bytes();
    return opened;
}

namespace {

// The mail addresses an absent key leaves to the client default to the ID.
std::string absentValue(const IniText& text, const Key& k) {
    if (k.def) return k.def;
    return text.read(key::id.section, key::id.name, key::id.def);
}

} // namespace

std::string shownValue(const IniText& text, const Key& k) {
    std::string value = text.read(k.section, k.name, absentValue(text, k));
    if (k.form != ValueForm::Credential) return value;
    try {
        return base64Decode(value);
    } catch (const ConfigError&) {
        return value; // not Base64: the load stops on it, so it is shown as it stands
    }
}

bool holds(const IniText& text, const Key& k) {
    return text.has(k.section, k.name);
}

std::string fileValue(const Key& k, const std::string& shown) {
    return k.form == ValueForm::Credential ? base64Encode(shown) : shown;
}

} // namespace qe::cli
