// What the fuzz targets share: the keys to try, a Host that answers nothing, and a
// check that stops the run with a readable reason.
#pragma once

#include "fields/keys.h"
#include "ui/form/host.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace qe::fuzz {

struct KeyName {
    const char* section;
    const char* key;
};

// A few keys of foreign sections that a client may keep.
inline constexpr KeyName kForeignKeys[] = {
    {"client", "cputype"},
    {"client", "id"},
    {"rc5-64", "core"},
    {"", "key"},
};

// Every key of the ten owned sections in the order of their table, then the
// foreign ones.
inline constexpr auto kKeys = [] {
    constexpr std::size_t owned = std::size(kOwnedKeys);
    std::array<KeyName, owned + std::size(kForeignKeys)> keys{};
    for (std::size_t i = 0; i < owned; ++i)
        keys[i] = {kOwnedKeys[i]->section, kOwnedKeys[i]->name};
    for (std::size_t i = 0; i < std::size(kForeignKeys); ++i)
        keys[owned + i] = kForeignKeys[i];
    return keys;
}();

// Stops the run with a message when an invariant does not hold; libFuzzer then
// keeps the input that broke it.
inline void require(bool holds, const char* what, std::string_view detail = {}) {
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    if (!detail.empty())
        std::fprintf(stderr, "  detail: '%.*s'\n", static_cast<int>(detail.size()), detail.data());
    std::abort();
}

// A Host whose dialogs are all cancelled; a load asks it nothing.
class SilentHost : public Host {
public:
    std::optional<std::string> chooseOpenFile(const std::string&) override { return {}; }
    std::optional<std::string> chooseSaveFile(const std::string&, const std::string&) override {
        return {};
    }
    bool confirmOverwrite(const ChangedFile&) override { return false; }
    std::optional<std::string> askID(const std::string&) override { return {}; }
    void showError(const std::string&) override {}
    bool focus(Control&) override { return true; }
};

} // namespace qe::fuzz
