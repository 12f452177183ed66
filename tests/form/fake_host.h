// A scripted Host: answers dialogs from queues and records what the form asked.
#pragma once

#include "ui/form/form.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace qe::test {

class FakeHost : public Host {
public:
    std::deque<std::optional<std::string>> openAnswers, saveAnswers, idAnswers;
    std::vector<std::string> openProposals, saveProposals, idPrompts, errors, focused;

    std::optional<std::string> chooseOpenFile(const std::string& last) override {
        openProposals.push_back(last);
        return next(openAnswers);
    }
    std::optional<std::string> chooseSaveFile(const std::string& last) override {
        saveProposals.push_back(last);
        return next(saveAnswers);
    }
    std::optional<std::string> askID(const std::string& text) override {
        idPrompts.push_back(text);
        return next(idAnswers);
    }
    void showError(const std::string& message) override { errors.push_back(message); }
    bool focus(Control& c) override {
        focused.push_back(c.name());
        return true;
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
