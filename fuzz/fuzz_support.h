// What the fuzz targets share: the owned keys, a Host that answers nothing, and a
// check that stops the run with a readable reason.
#pragma once

#include "ui/form/host.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace qe::fuzz {

struct KeyName {
    const char* section;
    const char* key;
};

// Every key of the ten owned sections, and a few foreign ones a client may keep.
inline constexpr KeyName kKeys[] = {
    {"parameters", "id"},
    {"misc", "run-work-limit"},
    {"misc", "run-time-limit"},
    {"misc", "project-priority"},
    {"triggers", "restart-on-config-file-change"},
    {"triggers", "exit-flag-filename"},
    {"triggers", "pause-flag-filename"},
    {"triggers", "pause-watch-plist"},
    {"triggers", "pause-on-high-cpu-temp"},
    {"triggers", "cpu-temperature-thresholds"},
    {"triggers", "pause-on-no-mains-power"},
    {"display", "detached"},
    {"display", "progress-indicator"},
    {"processor-usage", "max-threads"},
    {"processor-usage", "priority"},
    {"rc5", "fetch-workunit-threshold"},
    {"rc5", "fetch-time-threshold"},
    {"rc5", "preferred-blocksize"},
    {"rc5", "core"},
    {"ogr", "fetch-workunit-threshold"},
    {"ogr", "core"},
    {"buffers", "buffer-only-in-memory"},
    {"buffers", "buffer-file-basename"},
    {"buffers", "output-file-basename"},
    {"buffers", "checkpoint-filename"},
    {"buffers", "allow-update-from-altbuffer"},
    {"buffers", "alternate-buffer-directory"},
    {"buffers", "frequent-threshold-checks"},
    {"buffers", "threshold-check-interval"},
    {"logging", "log-file-type"},
    {"logging", "log-file"},
    {"logging", "log-file-limit"},
    {"logging", "mail-log-max"},
    {"logging", "mail-log-from"},
    {"logging", "mail-log-dest"},
    {"logging", "mail-log-via"},
    {"networking", "disabled"},
    {"networking", "nettimeout"},
    {"networking", "dialup-watcher"},
    {"networking", "interfaces-to-watch"},
    {"networking", "enable-start-stop"},
    {"networking", "dialup-profile"},
    {"networking", "firewall-type"},
    {"networking", "firewall-host"},
    {"networking", "encoding"},
    {"networking", "autofindkeyserver"},
    {"networking", "nofallback"},
    {"networking", "keyserver"},
    {"networking", "firewall-auth"},
    {"client", "cputype"},
    {"client", "id"},
    {"rc5-64", "core"},
    {"", "key"},
};

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
    std::optional<std::string> chooseSaveFile(const std::string&) override { return {}; }
    std::optional<std::string> askID(const std::string&) override { return {}; }
    void showError(const std::string&) override {}
    bool focus(Control&) override { return true; }
};

} // namespace qe::fuzz
