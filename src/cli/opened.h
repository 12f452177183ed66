// A text opened and saved as the window does it, with a host that answers no
// prompt: what the check asked for is kept instead.
#pragma once

#include "config/ini_text.h"
#include "fields/keys.h"
#include "ui/form/form.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qe::cli {

// Every dialog is cancelled; the ID prompt and the error boxes are recorded.
class NoPromptHost : public Host {
public:
    struct Shown {
        std::string message;
        const Control* field; // the field the check then moved the focus to
    };

    std::optional<std::string> chooseOpenFile(const std::string&) override { return {}; }
    std::optional<std::string> chooseSaveFile(const std::string&, const std::string&) override {
        return {};
    }
    bool confirmOverwrite(const ChangedFile&) override { return false; }
    std::optional<std::string> askID(const std::string&) override;
    void showError(const std::string& message) override;
    bool focus(Control& control) override;

    bool idAsked = false;
    std::vector<Shown> errors;
};

// The fields after Open of text, the check, and the bytes of the save over target.
struct Opened {
    NoPromptHost host;
    Form form{host};
    bool checkPassed = false;
    std::string saved;
};

// Throws ConfigError when the load of text stops.
std::unique_ptr<Opened> openAndSave(const std::string& text, const std::string& target);

// The value of k in text as get shows it: the text's own, or what the client
// takes for an absent key; the credential decoded to user:password.
std::string shownValue(const IniText& text, const Key& k);
// Whether text holds a line of k.
bool holds(const IniText& text, const Key& k);
// The text a value given as get shows it takes in the file.
std::string fileValue(const Key& k, const std::string& shown);

} // namespace qe::cli
