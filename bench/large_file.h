// The benchmarks' configuration files: every owned key set, and a large file of
// about 1 MiB where the owned sections lie spread among 10,000 foreign ones.
#pragma once

#include "ui/form/host.h"

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace qe::bench {

inline constexpr const char* kID = "someone@example.net";
inline constexpr int kForeignSections = 10000;

// The ten owned sections with every key set.
inline const char* const kOwnedText = R"([parameters]
id=someone@example.net
[misc]
run-work-limit=25
run-time-limit=12:30
project-priority=OGR,RC5=0,DES=0,CSC=0
[triggers]
restart-on-config-file-change=yes
exit-flag-filename=stop.now
pause-flag-filename=/var/run/client.pause
pause-watch-plist=game|video
pause-on-high-cpu-temp=yes
cpu-temperature-thresholds=90C:80C
pause-on-no-mains-power=no
[display]
detached=yes
progress-indicator=live-rate
[processor-usage]
max-threads=4
priority=3
[rc5]
fetch-workunit-threshold=100
fetch-time-threshold=24
preferred-blocksize=31
core=2
[ogr]
fetch-workunit-threshold=50
core=1
[buffers]
buffer-file-basename=in
output-file-basename=out
checkpoint-filename=ckpt
allow-update-from-altbuffer=yes
alternate-buffer-directory=/mnt/buffers
frequent-threshold-checks=3
threshold-check-interval=1:15
[logging]
log-file-type=rotate
log-file=/var/log/client.log
log-file-limit=weekly
mail-log-max=4096
mail-log-from=from@example.net
mail-log-dest=to@example.net
mail-log-via=smtp.example.net:587
[networking]
nettimeout=120
dialup-watcher=active
interfaces-to-watch=ppp0:eth1
enable-start-stop=yes
dialup-profile=isp
firewall-type=http
firewall-host=proxy.example.net:3128
encoding=uue
autofindkeyserver=no
keyserver=keys.example.net:2064
firewall-auth=dXNlcjpwYXNz
)";

inline std::string foreignSection(int number) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "[project-%05d]\nname=Project number %d\nlast-result=2024-01-01 12:00:00\n"
                  "weight=%d\nnote=kept byte for byte\n\n",
                  number, number, number * 7 % 1000);
    return text;
}

// The owned sections spread among the foreign ones, about 1 MiB in all.
inline std::string largeText() {
    std::vector<std::string> owned;
    std::istringstream in(kOwnedText);
    std::string line;
    while (std::getline(in, line))
        if (line.front() == '[')
            owned.push_back(line + "\n");
        else
            owned.back() += line + "\n";
    std::string text;
    text.reserve(1 << 20);
    for (int i = 0; i < kForeignSections; ++i) {
        if (i % (kForeignSections / 10) == 0) text += owned[i / (kForeignSections / 10)];
        text += foreignSection(i);
    }
    return text;
}

// A Host whose dialogs are all cancelled; a load and a save ask it nothing.
class SilentHost : public qe::Host {
public:
    std::optional<std::string> chooseOpenFile(const std::string&) override { return {}; }
    std::optional<std::string> chooseSaveFile(const std::string&, const std::string&) override {
        return {};
    }
    bool confirmOverwrite(const qe::ChangedFile&) override { return false; }
    std::optional<std::string> askID(const std::string&) override { return {}; }
    void showError(const std::string&) override {}
    bool focus(qe::Control&) override { return true; }
};

} // namespace qe::bench
