// A scripted Host: answers dialogs from queues and records what the form asked.
#pragma once

#include "ui/form/form.h"

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qe::test {

class FakeHost : public Host {
public:
    std::deque<std::optional<std::string>> openAnswers, saveAnswers, idAnswers;
    std::vector<std::string> openProposals, saveProposals, saveFolders, idPrompts, errors, focused;
    // Every request in the order it came: "askID <text>", "error", "focus <name>",
    // "open", "save", "overwrite <path>" (answered Cancel), "busy", "idle".
    std::vector<std::string> calls;
    // Controls that refuse the focus, as a field the window cannot show would.
    std::set<std::string> unfocusable;

    std::optional<std::string> chooseOpenFile(const std::string& last) override {
        openProposals.push_back(last);
        calls.push_back("open");
        return next(openAnswers);
    }
    std::optional<std::string> chooseSaveFile(const std::string& last,
                                              const std::string& folder) override {
        saveProposals.push_back(last);
        saveFolders.push_back(folder);
        calls.push_back("save");
        return next(saveAnswers);
    }
    bool confirmOverwrite(const ChangedFile& changed) override {
        calls.push_back("overwrite " + changed.path);
        return false;
    }
    void showBusy(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
    std::optional<std::string> askID(const std::string& text) override {
        idPrompts.push_back(text);
        calls.push_back("askID " + text);
        return next(idAnswers);
    }
    void showError(const std::string& message) override {
        errors.push_back(message);
        calls.push_back("error");
    }
    bool focus(Control& c) override {
        focused.push_back(c.name());
        calls.push_back("focus " + c.name());
        return unfocusable.count(c.name()) == 0;
    }

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& q) {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
};

} // namespace qe::test
