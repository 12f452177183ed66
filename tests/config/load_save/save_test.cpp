// Saving: which keys a field state writes, with which values, and what happens to
// the rest of the target file.
#include "load_save_fixture.h"

#include <functional>
#include <string>
#include <vector>

using namespace qe;
using namespace qe::test;

namespace {

const std::string kID = "me@example.org";
const std::string kProjects = "RC5,OGR,DES=0,CSC=0";

class Save : public LoadSave {
protected:
    void SetUp() override {
        LoadSave::SetUp();
        f.txtID.setText(kID);
    }
};

struct Case {
    const char* name;
    std::function<void()> set; // on the fixture's form, after a reset
    std::vector<KeyLine> keys; // besides id and project-priority
};

void expectSaves(Form& form, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        Fields& f = form.fields();
        form.cleanINI();
        f.txtID.setText(kID);
        c.set();
        IniText target;
        WriteINI(f, target);
        EXPECT_EQ(target.bytes(), savedFile(kID, kProjects, c.keys)) << c.name;
    }
}

} // namespace

TEST_F(Save, AfterTheResetOnlyIdAndProjects) {
    EXPECT_EQ(save(), fileOf({{"parameters", "id", kID}, {"misc", "project-priority", kProjects}}));
}

TEST_F(Save, ProjectLists) {
    struct Row {
        int rc5Item;
        bool rc5Off, ogrOff;
        const char* value;
    } rows[] = {
        {0, false, false, "RC5,OGR,DES=0,CSC=0"},  {0, true, false, "RC5=0,OGR,DES=0,CSC=0"},
        {0, false, true, "RC5,OGR=0,DES=0,CSC=0"}, {0, true, true, "RC5=0,OGR=0,DES=0,CSC=0"},
        {1, false, false, "OGR,RC5,DES=0,CSC=0"},  {1, true, false, "OGR,RC5=0,DES=0,CSC=0"},
        {1, false, true, "OGR=0,RC5,DES=0,CSC=0"}, {1, true, true, "OGR=0,RC5=0,DES=0,CSC=0"},
    };
    // Bare fields, without the interlocks that keep one box unchecked.
    Fields bare;
    CleanINI(bare);
    for (const Row& r : rows) {
        bare.cmbRC5.setIndex(r.rc5Item);
        bare.cmbOGR.setIndex(1 - r.rc5Item);
        bare.chkRC5.setChecked(r.rc5Off);
        bare.chkOGR.setChecked(r.ogrOff);
        IniText target;
        WriteINI(bare, target);
        EXPECT_EQ(target.read("misc", "project-priority", kAbsent), r.value);
    }
}

TEST_F(Save, MiscTriggersDisplayAndProcessor) {
    expectSaves(
        form,
        {
            {"hours only", [&] { f.seHours.setValue(2); }, {{"misc", "run-time-limit", "2:0"}}},
            {"minutes only",
             [&] { f.seMinuts.setValue(30); },
             {{"misc", "run-time-limit", "0:30"}}},
            {"work limit as typed",
             [&] { f.seWorkComplete.setText("20000"); },
             {{"misc", "run-work-limit", "20000"}}},
            {"exit file off",
             [&] { form.click(f.chkExitFile); },
             {{"triggers", "exit-flag-filename", ""}}},
            {"exit file renamed",
             [&] { f.txtExitFile.setText("stop.now"); },
             {{"triggers", "exit-flag-filename", "stop.now"}}},
            {"exit file emptied",
             [&] { f.txtExitFile.setText(""); },
             {{"triggers", "exit-flag-filename", ""}}},
            {"temperature",
             [&] {
                 form.click(f.chkTemperature);
                 f.sePauseTemp.setValue(60);
                 form.click(f.rbPauseCelcius);
                 f.seResumeTemp.setValue(50);
                 form.click(f.rbResumeRankine);
             },
             {{"triggers", "pause-on-high-cpu-temp", "yes"},
              {"triggers", "cpu-temperature-thresholds", "60C:50R"}}},
            {"temperature without resume",
             [&] {
                 form.click(f.chkTemperature);
                 form.click(f.rbPauseFahrenheit);
                 f.seResumeTemp.setText("");
             },
             {{"triggers", "pause-on-high-cpu-temp", "yes"},
              {"triggers", "cpu-temperature-thresholds", "0F"}}},
            {"thresholds only with the flag", [&] { f.sePauseTemp.setValue(9); }, {}},
            {"battery and restart",
             [&] {
                 form.click(f.chkBattery);
                 form.click(f.chkRestart);
                 f.txtPauseFile.setText("p");
             },
             {{"triggers", "restart-on-config-file-change", "yes"},
              {"triggers", "pause-flag-filename", "p"},
              {"triggers", "pause-on-no-mains-power", "no"}}},
            {"pause file of one blank as it stands",
             [&] { f.txtPauseFile.setText(" "); },
             {{"triggers", "pause-flag-filename", " "}}},
            {"display",
             [&] {
                 form.click(f.chkHideClient);
                 form.pick(f.cmbProgress, 4);
             },
             {{"display", "detached", "yes"}, {"display", "progress-indicator", "live-rate"}}},
            {"single",
             [&] { form.pick(f.cmbSystem, 1); },
             {{"processor-usage", "max-threads", "1"}}},
            {"forced single",
             [&] { form.click(f.chkForceCPU); },
             {{"processor-usage", "max-threads", "0"}}},
            {"multi",
             [&] {
                 form.pick(f.cmbSystem, 2);
                 f.seCPU.setValue(4);
                 f.sePriority.setValue(3);
             },
             {{"processor-usage", "max-threads", "4"}, {"processor-usage", "priority", "3"}}},
        });
}

TEST_F(Save, ProjectsAndBuffers) {
    expectSaves(form,
                {
                    {"rc5",
                     [&] {
                         f.seRC5WorkFetch.setValue(5);
                         f.seRC5Hours.setValue(6);
                         form.pick(f.cmbRC5BlockSize, 6);
                         form.pick(f.cmbRC5Core, 10);
                     },
                     {{"rc5", "fetch-workunit-threshold", "5"},
                      {"rc5", "fetch-time-threshold", "6"},
                      {"rc5", "preferred-blocksize", "33"},
                      {"rc5", "core", "9"}}},
                    {"ogr",
                     [&] {
                         f.seOGRWorkFetch.setValue(7);
                         form.pick(f.cmbOGRCore, 1);
                     },
                     {{"ogr", "fetch-workunit-threshold", "7"}, {"ogr", "core", "0"}}},
                    {"choices with no item save as their first item",
                     [&] {
                         f.cmbRC5Core.setIndex(-1);
                         f.cmbOGRCore.setIndex(-1);
                         f.cmbBufferLevel.setIndex(-1);
                         f.seBufferHours.setValue(1);
                     },
                     {}},
                    {"buffer names",
                     [&] {
                         f.txtBufferIn.setText("");
                         f.txtBufferOut.setText("out");
                         f.txtBufferCheck.setText("ck");
                     },
                     {{"buffers", "buffer-file-basename", ""},
                      {"buffers", "output-file-basename", "out"},
                      {"buffers", "checkpoint-filename", "ck"}}},
                    {"memory only",
                     [&] {
                         form.click(f.chkBufferMem);
                         f.txtBufferIn.setText("in");
                         f.txtBufferCheck.setText("ck");
                     },
                     {{"buffers", "buffer-only-in-memory", "yes"}}},
                    {"remote",
                     [&] {
                         form.click(f.chkBufferRemote);
                         f.txtBufferRemote.setText("/r");
                     },
                     {{"buffers", "allow-update-from-altbuffer", "yes"},
                      {"buffers", "alternate-buffer-directory", "/r"}}},
                    {"remote path only when checked", [&] { f.txtBufferRemote.setText("/r"); }, {}},
                    {"level with interval",
                     [&] {
                         form.pick(f.cmbBufferLevel, 3);
                         f.seBufferMinuts.setValue(15);
                     },
                     {{"buffers", "frequent-threshold-checks", "3"},
                      {"buffers", "threshold-check-interval", "0:15"}}},
                    {"level without interval",
                     [&] { form.pick(f.cmbBufferLevel, 1); },
                     {{"buffers", "frequent-threshold-checks", "1"}}},
                });
}

TEST_F(Save, Logging) {
    expectSaves(form,
                {
                    {"no limit",
                     [&] { form.pick(f.cmbLogType, 1); },
                     {{"logging", "log-file-type", "\"no limit\""}, {"logging", "log-file", ""}}},
                    {"restart",
                     [&] {
                         form.pick(f.cmbLogType, 2);
                         f.txtLogFile.setText("c.log");
                         f.seLogSize.setText("50");
                     },
                     {{"logging", "log-file-type", "restart"},
                      {"logging", "log-file", "c.log"},
                      {"logging", "log-file-limit", "50"}}},
                    {"fifo",
                     [&] { form.pick(f.cmbLogType, 3); },
                     {{"logging", "log-file-type", "fifo"},
                      {"logging", "log-file", ""},
                      {"logging", "log-file-limit", "100"}}},
                    {"rotate by days",
                     [&] {
                         form.pick(f.cmbLogType, 4);
                         form.click(f.rbLogNumber);
                         f.seLogNumber.setValue(30);
                     },
                     {{"logging", "log-file-type", "rotate"},
                      {"logging", "log-file", ""},
                      {"logging", "log-file-limit", "30"}}},
                    {"rotate weekly",
                     [&] {
                         form.pick(f.cmbLogType, 4);
                         form.click(f.rbLogPeriod);
                         form.pick(f.cmbLogPeriod, 1);
                     },
                     {{"logging", "log-file-type", "rotate"},
                      {"logging", "log-file", ""},
                      {"logging", "log-file-limit", "weekly"}}},
                    {"rotate by a period with no item",
                     [&] {
                         form.pick(f.cmbLogType, 4);
                         form.click(f.rbLogPeriod);
                         f.cmbLogPeriod.setIndex(-1);
                     },
                     {{"logging", "log-file-type", "rotate"},
                      {"logging", "log-file", ""},
                      {"logging", "log-file-limit", "daily"}}},
                    {"rotate with neither radio",
                     [&] {
                         form.pick(f.cmbLogType, 4);
                         f.rbLogNumber.setChecked(false);
                         f.rbLogPeriod.setChecked(false);
                     },
                     {{"logging", "log-file-type", "rotate"}, {"logging", "log-file", ""}}},
                    {"mail to the ID",
                     [&] {
                         form.click(f.chkLogMail);
                         f.txtLogMailSender.setText(kID);
                         f.txtLogMailReceiver.setText("");
                     },
                     {{"logging", "mail-log-max", "2048"}, {"logging", "mail-log-via", ":25"}}},
                    {"mail from an address differing in case",
                     [&] {
                         form.click(f.chkLogMail);
                         f.txtLogMailSender.setText("Me@example.org");
                         f.txtLogMailReceiver.setText("you@example.org");
                         f.txtLogMailIP.setText("smtp");
                         f.txtLogMailPort.setText("");
                     },
                     {{"logging", "mail-log-max", "2048"},
                      {"logging", "mail-log-from", "Me@example.org"},
                      {"logging", "mail-log-dest", "you@example.org"},
                      {"logging", "mail-log-via", "smtp:"}}},
                    {"mail fields only when mailing", [&] { f.txtLogMailIP.setText("s"); }, {}},
                });
}

TEST_F(Save, Networking) {
    expectSaves(
        form,
        {
            {"disabled writes nothing else",
             [&] {
                 f.seTimeOut.setValue(100);
                 form.pick(f.cmbDialup, 1);
                 form.pick(f.cmbProxyType, 1);
                 form.type(f.txtProxyIP, "proxy");
                 form.click(f.chkAutoFind);
                 f.txtProxyUser.setText("bob");
                 form.pick(f.cmbNetwork, 1);
             },
             {{"networking", "disabled", "yes"}}},
            {"timeout 60 is not written", [&] { f.seTimeOut.setValue(60); }, {}},
            {"timeout", [&] { f.seTimeOut.setValue(61); }, {{"networking", "nettimeout", "61"}}},
            {"dialup",
             [&] {
                 form.pick(f.cmbDialup, 2);
                 f.txtInterfaces.setText("ppp0");
                 form.click(f.chkDUN);
                 f.txtDUN.setText("home");
             },
             {{"networking", "dialup-watcher", "passive"},
              {"networking", "interfaces-to-watch", "ppp0"},
              {"networking", "enable-start-stop", "yes"},
              {"networking", "dialup-profile", "home"}}},
            {"dialup off", [&] { f.txtInterfaces.setText("ppp0"); }, {}},
            {"uue without a proxy",
             [&] { form.click(f.chkProxyUUE); },
             {{"networking", "encoding", "UUE"}}},
            {"uue with http",
             [&] {
                 form.click(f.chkProxyUUE);
                 form.pick(f.cmbProxyType, 1);
             },
             {{"networking", "firewall-type", "http"}, {"networking", "encoding", "UUE"}}},
            {"uue hidden with socks4",
             [&] {
                 form.click(f.chkProxyUUE);
                 form.pick(f.cmbProxyType, 2);
             },
             {{"networking", "firewall-type", "socks4"}}},
            {"uue hidden with socks5",
             [&] {
                 form.click(f.chkProxyUUE);
                 form.pick(f.cmbProxyType, 3);
             },
             {{"networking", "firewall-type", "socks5"}}},
            {"socks4 keeps the hidden password",
             [&] {
                 form.pick(f.cmbProxyType, 2);
                 form.type(f.txtProxyIP, "proxy");
                 form.type(f.txtProxyUser, "bob");
                 f.txtProxyPass.setText("secret");
             },
             {{"networking", "firewall-type", "socks4"},
              {"networking", "firewall-host", "proxy:1080"},
              {"networking", "firewall-auth", "Ym9iOnNlY3JldA=="}}},
            {"blank host, user given",
             [&] {
                 form.pick(f.cmbProxyType, 1);
                 form.type(f.txtProxyIP, "  ");
                 f.txtProxyUser.setText(" bob ");
             },
             {{"networking", "firewall-type", "http"}, {"networking", "firewall-auth", "Ym9i"}}},
            {"blank port gives the type's port",
             [&] {
                 form.pick(f.cmbProxyType, 1);
                 form.type(f.txtProxyIP, "proxy");
                 form.type(f.txtProxyPort, " ");
             },
             {{"networking", "firewall-type", "http"},
              {"networking", "firewall-host", "proxy:8080"}}},
            {"port as it stands",
             [&] {
                 form.pick(f.cmbProxyType, 3);
                 form.type(f.txtProxyIP, "proxy");
                 form.type(f.txtProxyPort, "3128");
                 f.txtProxyUser.setText(" ");
                 f.txtProxyPass.setText("\t");
             },
             {{"networking", "firewall-type", "socks5"},
              {"networking", "firewall-host", "proxy:3128"}}},
            {"no proxy writes no proxy keys",
             [&] {
                 form.type(f.txtProxyIP, "proxy");
                 form.type(f.txtProxyPort, "3128");
                 f.txtProxyUser.setText("bob");
             },
             {}},
            {"keyserver",
             [&] {
                 form.click(f.chkAutoFind);
                 form.click(f.chkFallback);
                 f.txtKeyserverIP.setText("ks");
                 f.txtKeyserverPort.setText("");
             },
             {{"networking", "autofindkeyserver", "no"},
              {"networking", "nofallback", "true"},
              {"networking", "keyserver", "ks:2064"}}},
            {"keyserver port as it stands",
             [&] {
                 form.click(f.chkAutoFind);
                 f.txtKeyserverIP.setText("ks");
                 f.txtKeyserverPort.setText(" ");
             },
             {{"networking", "autofindkeyserver", "no"}, {"networking", "keyserver", "ks: "}}},
            {"keyserver with fallback and no host",
             [&] { form.click(f.chkAutoFind); },
             {{"networking", "autofindkeyserver", "no"}, {"networking", "keyserver", ":2064"}}},
            {"fallback only counts without the official keyserver",
             [&] { form.click(f.chkFallback); },
             {}},
        });
}

TEST_F(Save, KeepsOtherSectionsAndDropsUnknownOwnedKeys) {
    const std::string foreignBefore = "; written by hand\n[client]\nfoo = 1\n; note\n";
    const std::string foreignAfter = "[Other]\nbar=\"2\"\n";
    const std::string existing = foreignBefore +
                                 "[MISC]\nunknown=1\nproject-priority=OGR\n"
                                 "[networking]\nmystery=yes\nnettimeout=99\n" +
                                 foreignAfter;
    const std::string saved = save(existing);
    EXPECT_EQ(saved, savedFile(kID, kProjects, {}, foreignBefore + foreignAfter));
    EXPECT_EQ(saved.substr(0, foreignBefore.size() + foreignAfter.size()),
              foreignBefore + foreignAfter);
}
