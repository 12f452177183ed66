// Loading: what each key puts into its fields, the interlocks a load runs, and
// what the fields hold when a load stops.
#include "load_save_fixture.h"

#include <ostream>
#include <string>
#include <vector>

using namespace qe;
using namespace qe::test;

namespace {

using Member = Control Fields::*;

std::string oneKey(const std::string& section, const std::string& key, const std::string& value) {
    return "[" + section + "]\n" + key + "=" + value + "\n";
}

class Load : public LoadSave {};

// Every editor field's value, to compare two field states.
struct Snapshot {
    std::string name, text;
    bool checked;
    int index;
    bool operator==(const Snapshot& o) const {
        return name == o.name && text == o.text && checked == o.checked && index == o.index;
    }
};

std::vector<Snapshot> snapshot(const Fields& f) {
    std::vector<Snapshot> all;
    for (const Control* c : f.all())
        if (c->isEditorField()) all.push_back({c->name(), c->text(), c->checked(), c->index()});
    return all;
}

void PrintTo(const Snapshot& s, std::ostream* os) {
    *os << s.name << " text=\"" << s.text << "\" checked=" << s.checked << " index=" << s.index;
}

} // namespace

TEST_F(Load, AbsentSectionsGiveTheLoadDefaults) {
    Fields reset;
    CleanINI(reset);
    reset.txtID.setText(key::id.def);
    reset.txtLogMailSender.setText(key::id.def);
    reset.txtLogMailReceiver.setText(key::id.def);
    reset.txtProxyPort.setText("1080");
    for (const char* file : {"", "[client]\nid=someone@example.org\nmax-threads=abc\n"}) {
        load(file);
        EXPECT_EQ(snapshot(f), snapshot(reset)) << file;
    }
}

TEST_F(Load, ProjectPriority) {
    struct Row {
        const char* value;
        int rc5Item, ogrItem;
        bool rc5Off, ogrOff;
    } rows[] = {
        {"RC5,OGR,DES,CSC", 0, 1, false, false},
        {"OGR,RC5", 1, 0, false, false},
        {"OGR,DES", 0, 1, false, false}, // a missing name stands before every other
        {"RC5,DES", 1, 0, false, false},
        {"DES,CSC", 1, 0, false, false},
        {"rc5,ogr", 1, 0, false, false},
        {"OGR,RC5=0", 1, 0, true, false},
        {"RC5,OGR=0,DES=0", 0, 1, false, true},
        {"RC5=0,OGR=0", 0, 1, false, true}, // disabling OGR brings RC5 back
    };
    for (const Row& r : rows) {
        load(oneKey("misc", "project-priority", r.value));
        EXPECT_EQ(f.cmbRC5.index(), r.rc5Item) << r.value;
        EXPECT_EQ(f.cmbOGR.index(), r.ogrItem) << r.value;
        EXPECT_EQ(f.chkRC5.checked(), r.rc5Off) << r.value;
        EXPECT_EQ(f.chkOGR.checked(), r.ogrOff) << r.value;
        EXPECT_EQ(f.tabRC5.shown(), !r.rc5Off) << r.value;
        EXPECT_EQ(f.tabOGR.shown(), !r.ogrOff) << r.value;
        EXPECT_EQ(f.cmbRC5.enabled(), !r.rc5Off) << r.value;
    }
}

TEST_F(Load, NumbersGoIntoSpinFieldsClamped) {
    struct Row {
        const char *section, *key, *value;
        Member field;
        const char* text;
    } rows[] = {
        {"processor-usage", "priority", "12", &Fields::sePriority, "9"},
        {"processor-usage", "priority", "-3", &Fields::sePriority, "0"},
        {"processor-usage", "priority", "$5", &Fields::sePriority, "5"},
        {"rc5", "fetch-workunit-threshold", "20000", &Fields::seRC5WorkFetch, "16000"},
        {"rc5", "fetch-time-threshold", "0x10", &Fields::seRC5Hours, "16"},
        {"ogr", "fetch-workunit-threshold", "600", &Fields::seOGRWorkFetch, "500"},
        {"networking", "nettimeout", "2", &Fields::seTimeOut, "5"},
        {"networking", "nettimeout", "abc", &Fields::seTimeOut, "60"},
        {"networking", "nettimeout", "", &Fields::seTimeOut, "60"},
        {"networking", "nettimeout", "301", &Fields::seTimeOut, "300"},
        {"networking", "nettimeout", "90", &Fields::seTimeOut, "90"},
        // these two are taken as text, neither converted nor clamped
        {"misc", "run-work-limit", "20000", &Fields::seWorkComplete, "20000"},
        {"misc", "run-work-limit", "abc", &Fields::seWorkComplete, "abc"},
    };
    for (const Row& r : rows) {
        load(oneKey(r.section, r.key, r.value));
        EXPECT_EQ((f.*r.field).text(), r.text) << r.key << '=' << r.value;
    }
}

TEST_F(Load, NumbersSelectChoiceItems) {
    struct Row {
        const char *section, *key, *value;
        Member field;
        int item;
    } rows[] = {
        {"rc5", "core", "-1", &Fields::cmbRC5Core, 0},
        {"rc5", "core", "0", &Fields::cmbRC5Core, 1},
        {"rc5", "core", "9", &Fields::cmbRC5Core, 10},
        {"rc5", "core", "20", &Fields::cmbRC5Core, -1},
        {"rc5", "core", "2147483647", &Fields::cmbRC5Core, -1},
        {"rc5", "core", "-2147483648", &Fields::cmbRC5Core, -1},
        {"ogr", "core", "1", &Fields::cmbOGRCore, 2},
        {"ogr", "core", "2", &Fields::cmbOGRCore, -1},
        {"rc5", "preferred-blocksize", "-1", &Fields::cmbRC5BlockSize, 0},
        {"rc5", "preferred-blocksize", "27", &Fields::cmbRC5BlockSize, 0},
        {"rc5", "preferred-blocksize", "28", &Fields::cmbRC5BlockSize, 1},
        {"rc5", "preferred-blocksize", "33", &Fields::cmbRC5BlockSize, 6},
        {"rc5", "preferred-blocksize", "34", &Fields::cmbRC5BlockSize, 0},
        {"buffers", "frequent-threshold-checks", "4", &Fields::cmbBufferLevel, 4},
        {"buffers", "frequent-threshold-checks", "5", &Fields::cmbBufferLevel, -1},
    };
    for (const Row& r : rows) {
        load(oneKey(r.section, r.key, r.value));
        EXPECT_EQ((f.*r.field).index(), r.item) << r.key << '=' << r.value;
    }
}

TEST_F(Load, MaxThreads) {
    struct Row {
        const char* value;
        int item;
        bool forced;
        const char* cpu;
    } rows[] = {
        {"-1", 0, false, "7"}, {"0", 1, true, "7"},    {"1", 1, false, "7"},
        {"4", 2, false, "4"},  {"40", 2, false, "32"}, {"-5", 2, false, "2"},
    };
    for (const Row& r : rows) {
        f.seCPU.setValue(7); // not reset; only "Multi-Threaded" loads it
        load(oneKey("processor-usage", "max-threads", r.value));
        EXPECT_EQ(f.cmbSystem.index(), r.item) << r.value;
        EXPECT_EQ(f.chkForceCPU.checked(), r.forced) << r.value;
        EXPECT_EQ(f.seCPU.text(), r.cpu) << r.value;
    }
}

TEST_F(Load, WordsSelectChoiceItems) {
    struct Row {
        const char *section, *key, *value;
        Member field;
        int item;
    } rows[] = {
        {"display", "progress-indicator", "live-rate", &Fields::cmbProgress, 4},
        {"display", "progress-indicator", "Disabled", &Fields::cmbProgress, 0},
        {"logging", "log-file-type", "\"no limit\"", &Fields::cmbLogType, 1},
        {"logging", "log-file-type", "'no limit'", &Fields::cmbLogType, 1},
        {"logging", "log-file-type", "no limit", &Fields::cmbLogType, 1},
        {"logging", "log-file-type", "fifo", &Fields::cmbLogType, 3},
        {"logging", "log-file-type", "Rotate", &Fields::cmbLogType, 0},
        {"networking", "dialup-watcher", "passive", &Fields::cmbDialup, 2},
        {"networking", "firewall-type", "socks5", &Fields::cmbProxyType, 3},
        {"networking", "firewall-type", "HTTP", &Fields::cmbProxyType, 0},
        {"networking", "disabled", "no", &Fields::cmbNetwork, 0},
        {"networking", "disabled", "", &Fields::cmbNetwork, 1},
        {"networking", "disabled", "NO", &Fields::cmbNetwork, 1},
        {"networking", "disabled", "yes", &Fields::cmbNetwork, 1},
    };
    for (const Row& r : rows) {
        load(oneKey(r.section, r.key, r.value));
        EXPECT_EQ((f.*r.field).index(), r.item) << r.key << '=' << r.value;
    }
}

TEST_F(Load, Flags) {
    struct Row {
        const char *section, *key, *value;
        Member field;
        bool checked;
    } rows[] = {
        {"triggers", "restart-on-config-file-change", "yes", &Fields::chkRestart, true},
        {"triggers", "restart-on-config-file-change", "YES", &Fields::chkRestart, false},
        {"triggers", "pause-on-high-cpu-temp", "yes", &Fields::chkTemperature, true},
        {"triggers", "pause-on-no-mains-power", "no", &Fields::chkBattery, false},
        {"triggers", "pause-on-no-mains-power", "No", &Fields::chkBattery, true},
        {"triggers", "pause-on-no-mains-power", "", &Fields::chkBattery, true},
        {"display", "detached", "yes", &Fields::chkHideClient, true},
        {"buffers", "buffer-only-in-memory", "yes", &Fields::chkBufferMem, true},
        {"buffers", "allow-update-from-altbuffer", "yes", &Fields::chkBufferRemote, true},
        {"networking", "encoding", "uue", &Fields::chkProxyUUE, true},
        {"networking", "encoding", "UUE", &Fields::chkProxyUUE, true},
        {"networking", "encoding", "Uue", &Fields::chkProxyUUE, false},
        {"networking", "autofindkeyserver", "yes", &Fields::chkAutoFind, true},
        {"networking", "autofindkeyserver", "YES", &Fields::chkAutoFind, false},
        {"networking", "autofindkeyserver", "", &Fields::chkAutoFind, false},
        {"networking", "nofallback", "true", &Fields::chkFallback, false},
        {"networking", "nofallback", "TRUE", &Fields::chkFallback, true},
        {"networking", "enable-start-stop", "yes", &Fields::chkDUN, true},
    };
    for (const Row& r : rows) {
        load(oneKey(r.section, r.key, r.value));
        EXPECT_EQ((f.*r.field).checked(), r.checked) << r.key << '=' << r.value;
    }
}

TEST_F(Load, ExitFile) {
    load(oneKey("triggers", "exit-flag-filename", ""));
    EXPECT_FALSE(f.chkExitFile.checked());
    EXPECT_FALSE(f.txtExitFile.shown());
    EXPECT_EQ(f.txtExitFile.text(), "ExitRC5.now");
    load(oneKey("triggers", "exit-flag-filename", "stop.now"));
    EXPECT_TRUE(f.chkExitFile.checked());
    EXPECT_TRUE(f.txtExitFile.shown());
    EXPECT_EQ(f.txtExitFile.text(), "stop.now");
    load("");
    EXPECT_TRUE(f.chkExitFile.checked());
    EXPECT_EQ(f.txtExitFile.text(), "ExitRC5.now");
}

TEST_F(Load, Durations) {
    struct Row {
        const char* value;
        const char *hours, *minutes;
    } rows[] = {
        {"2:05", "2", "5"}, {"2:5", "2", "5"}, {"10000:70", "9999", "59"}, {"0:30", "0", "30"}};
    for (const Row& r : rows) {
        load(oneKey("misc", "run-time-limit", r.value) +
             oneKey("buffers", "threshold-check-interval", r.value));
        EXPECT_EQ(f.seHours.text(), r.hours) << r.value;
        EXPECT_EQ(f.seMinuts.text(), r.minutes) << r.value;
        EXPECT_EQ(f.seBufferHours.text(), r.hours) << r.value;
        EXPECT_EQ(f.seBufferMinuts.text(), r.minutes) << r.value;
    }
}

TEST_F(Load, DurationThatDoesNotConvertStops) {
    struct Row {
        const char *value, *message;
    } rows[] = {
        {"2", "'' is not a valid integer value"}, // no colon: the hours part is empty
        {":5", "'' is not a valid integer value"},
        {"2:", "'' is not a valid integer value"},
        {"2:x", "'x' is not a valid integer value"},
        {"1.5:0", "'1.5' is not a valid integer value"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(loadError(oneKey("misc", "run-time-limit", r.value)), r.message) << r.value;
        EXPECT_EQ(loadError(oneKey("buffers", "threshold-check-interval", r.value)), r.message)
            << r.value;
    }
}

TEST_F(Load, TemperatureThresholds) {
    struct Row {
        const char* value;
        Member pauseUnit;
        const char* pause;
        Member resumeUnit;
        const char* resume;
    } rows[] = {
        {"90C:80C", &Fields::rbPauseCelcius, "90", &Fields::rbResumeCelcius, "80"},
        {"300r:100f", &Fields::rbPauseRankine, "300", &Fields::rbResumeFahrenheit, "100"},
        {"600K:1k", &Fields::rbPausekelvin, "512", &Fields::rbResumeKelvin, "1"},
        {"70", &Fields::rbPausekelvin, "70", &Fields::rbResumeKelvin, "0"},
        {"5x:3K", &Fields::rbPausekelvin, "0", &Fields::rbResumeKelvin, "3"},
        {"60F:9z", &Fields::rbPauseFahrenheit, "60", &Fields::rbResumeKelvin, "0"},
        // an empty part loads as Kelvin 0
        {"60C", &Fields::rbPauseCelcius, "60", &Fields::rbResumeKelvin, "0"},
        {"60C:", &Fields::rbPauseCelcius, "60", &Fields::rbResumeKelvin, "0"},
        {":50F", &Fields::rbPausekelvin, "0", &Fields::rbResumeFahrenheit, "50"},
        {":", &Fields::rbPausekelvin, "0", &Fields::rbResumeKelvin, "0"},
    };
    for (const Row& r : rows) {
        f.sePauseTemp.setValue(9); // the load must set every part it reads
        load(oneKey("triggers", "cpu-temperature-thresholds", r.value));
        EXPECT_TRUE((f.*r.pauseUnit).checked()) << r.value;
        EXPECT_EQ(f.sePauseTemp.text(), r.pause) << r.value;
        EXPECT_TRUE((f.*r.resumeUnit).checked()) << r.value;
        EXPECT_EQ(f.seResumeTemp.text(), r.resume) << r.value;
    }
    EXPECT_FALSE(f.chkTemperature.checked()); // read whatever the flag says
}

TEST_F(Load, ThresholdWithUnitLetterIsStrict) {
    EXPECT_EQ(loadError(oneKey("triggers", "cpu-temperature-thresholds", "C:50C")),
              "'' is not a valid integer value");
    EXPECT_EQ(loadError(oneKey("triggers", "cpu-temperature-thresholds", "60C:5xC")),
              "'5x' is not a valid integer value");
    EXPECT_EQ(f.sePauseTemp.text(), "60");
}

TEST_F(Load, LogFileLimitFollowsTheLoadedType) {
    struct Row {
        const char *type, *limit, *size;
        bool byNumber;
        const char* days;
        int period;
    } rows[] = {
        {"restart", "50", "50", true, "1", -1}, // below the range, left to the leave rule
        {"fifo", "abc", "abc", true, "1", -1},        {"none", "50", "100", true, "1", -1},
        {"\"no limit\"", "50", "100", true, "1", -1}, {"rotate", "30", "100", true, "30", -1},
        {"rotate", "0", "100", true, "1", -1},        {"rotate", "2000", "100", true, "999", -1},
        {"rotate", "weekly", "100", false, "1", 1},   {"rotate", "monthly", "100", false, "1", 2},
        {"rotate", "-1", "100", true, "1", -1},       {"rotate", "abc", "100", true, "1", -1},
        {"rotate", "Weekly", "100", true, "1", -1},
    };
    for (const Row& r : rows) {
        f.rbLogNumber.select();
        f.seLogNumber.setValue(1);
        f.cmbLogPeriod.setIndex(-1);
        load("[logging]\nlog-file-type=" + std::string(r.type) + "\nlog-file-limit=" + r.limit +
             "\n");
        const std::string row = std::string(r.type) + " " + r.limit;
        EXPECT_EQ(f.seLogSize.text(), r.size) << row;
        EXPECT_EQ(f.rbLogNumber.checked(), r.byNumber) << row;
        EXPECT_EQ(f.rbLogPeriod.checked(), !r.byNumber) << row;
        EXPECT_EQ(f.seLogNumber.enabled(), r.byNumber) << row;
        EXPECT_EQ(f.seLogNumber.text(), r.days) << row;
        EXPECT_EQ(f.cmbLogPeriod.index(), r.period) << row;
    }
}

TEST_F(Load, MailLogging) {
    struct Row {
        const char* max;
        bool on;
        const char* size;
    } rows[] = {{"0", false, "4000"},   {"abc", false, "4000"}, {"-5", false, "4000"},
                {"5000", true, "5000"}, {"100", true, "2048"},  {"200000", true, "130000"},
                {"$1000", true, "4096"}};
    for (const Row& r : rows) {
        f.seLogMailSize.setValue(4000); // not reset
        load(oneKey("logging", "mail-log-max", r.max));
        EXPECT_EQ(f.chkLogMail.checked(), r.on) << r.max;
        EXPECT_EQ(f.pnlLogMail.shown(), r.on) << r.max;
        EXPECT_EQ(f.seLogMailSize.text(), r.size) << r.max;
    }
}

TEST_F(Load, MailAddressesDefaultToTheLoadedID) {
    load("[parameters]\nid=me@example.org\n");
    EXPECT_EQ(f.txtLogMailSender.text(), "me@example.org");
    EXPECT_EQ(f.txtLogMailReceiver.text(), "me@example.org");
    load("[parameters]\nid=me@example.org\n[logging]\nmail-log-from=\nmail-log-dest=you@x.org\n");
    EXPECT_EQ(f.txtLogMailSender.text(), "");
    EXPECT_EQ(f.txtLogMailReceiver.text(), "you@x.org");
}

TEST_F(Load, Addresses) {
    struct Row {
        std::string file;
        Member host, port;
        const char *hostText, *portText;
    } rows[] = {
        {oneKey("logging", "mail-log-via", "smtp"), &Fields::txtLogMailIP, &Fields::txtLogMailPort,
         "smtp", "25"},
        {oneKey("logging", "mail-log-via", "smtp:2525"), &Fields::txtLogMailIP,
         &Fields::txtLogMailPort, "smtp", "2525"},
        {oneKey("logging", "mail-log-via", ":"), &Fields::txtLogMailIP, &Fields::txtLogMailPort, "",
         ""},
        {oneKey("networking", "keyserver", "ks"), &Fields::txtKeyserverIP,
         &Fields::txtKeyserverPort, "ks", "2064"},
        {oneKey("networking", "keyserver", "ks:"), &Fields::txtKeyserverIP,
         &Fields::txtKeyserverPort, "ks", ""},
        {oneKey("networking", "keyserver", "ks:1:2"), &Fields::txtKeyserverIP,
         &Fields::txtKeyserverPort, "ks", "1:2"},
        {"[networking]\nfirewall-type=socks4\nfirewall-host=proxy\n", &Fields::txtProxyIP,
         &Fields::txtProxyPort, "proxy", "1080"},
        {"[networking]\nfirewall-type=socks4\nfirewall-host=proxy:3128\n", &Fields::txtProxyIP,
         &Fields::txtProxyPort, "proxy", "3128"},
        {"[networking]\nfirewall-type=http\nfirewall-host=proxy\n", &Fields::txtProxyIP,
         &Fields::txtProxyPort, "proxy", "8080"},
        {"[networking]\nfirewall-type=socks5\nfirewall-host=proxy\n", &Fields::txtProxyIP,
         &Fields::txtProxyPort, "proxy", "1080"},
        {"[networking]\nfirewall-type=socks5\n", &Fields::txtProxyIP, &Fields::txtProxyPort, "",
         "1080"},
    };
    for (const Row& r : rows) {
        load(r.file);
        EXPECT_EQ((f.*r.host).text(), r.hostText) << r.file;
        EXPECT_EQ((f.*r.port).text(), r.portText) << r.file;
    }
}

TEST_F(Load, ProxyHostEnablesTheCredentialFields) {
    load("[networking]\nfirewall-type=http\nfirewall-host=proxy\n");
    EXPECT_TRUE(f.pnlProxyServer.shown());
    EXPECT_TRUE(f.txtProxyUser.enabled());
    EXPECT_TRUE(f.txtProxyPass.enabled());
    load("[networking]\nfirewall-type=http\nfirewall-host=:8000\n");
    EXPECT_FALSE(f.txtProxyUser.enabled());
}

TEST_F(Load, Credential) {
    struct Row {
        const char *encoded, *user, *password;
    } rows[] = {
        {"dXNlcjpwYTpzcw==", "user", "pa:ss"}, // user:pa:ss
        {"dXNlcg==", "user", ""},              // user
        {"dXNlcg", "user", ""},                // padding may be missing
        {"OnBhc3M=", "", "pass"},              // :pass
        {"Og==", "", ""},                      // :
        {"", "", ""},
    };
    for (const Row& r : rows) {
        load(oneKey("networking", "firewall-auth", r.encoded));
        EXPECT_EQ(f.txtProxyUser.text(), r.user) << r.encoded;
        EXPECT_EQ(f.txtProxyPass.text(), r.password) << r.encoded;
    }
}

TEST_F(Load, NetworkDisabledStillLoadsTheOtherKeys) {
    load("[networking]\ndisabled=yes\nnettimeout=100\ndialup-watcher=active\n"
         "firewall-type=http\nfirewall-host=proxy:3\nautofindkeyserver=no\nkeyserver=ks:7\n");
    EXPECT_EQ(f.cmbNetwork.index(), 1);
    EXPECT_FALSE(f.pnlTimeOut.shown());
    EXPECT_FALSE(f.tabProxy.shown());
    EXPECT_FALSE(f.tabKeyserver.shown());
    EXPECT_EQ(f.seTimeOut.text(), "100");
    EXPECT_EQ(f.cmbDialup.index(), 1);
    EXPECT_EQ(f.cmbProxyType.index(), 1);
    EXPECT_EQ(f.txtProxyIP.text(), "proxy");
    EXPECT_EQ(f.txtProxyPort.text(), "3");
    EXPECT_FALSE(f.chkAutoFind.checked());
    EXPECT_EQ(f.txtKeyserverIP.text(), "ks");
}

TEST_F(Load, DunProfileAfterTheWatcherIsOff) {
    load("[networking]\ndialup-watcher=disabled\nenable-start-stop=yes\ndialup-profile=home\n");
    EXPECT_EQ(f.cmbDialup.index(), 0);
    EXPECT_FALSE(f.pnlDialup.shown());
    EXPECT_TRUE(f.chkDUN.checked());
    EXPECT_EQ(f.txtDUN.text(), "home");
}

TEST_F(Load, RunsTheInterlocksOfWhatItLoads) {
    load("[triggers]\npause-on-high-cpu-temp=yes\n"
         "[buffers]\nbuffer-only-in-memory=yes\nallow-update-from-altbuffer=yes\n"
         "frequent-threshold-checks=2\n"
         "[logging]\nlog-file-type=rotate\nlog-file-limit=weekly\nmail-log-max=3000\n"
         "[networking]\ndialup-watcher=active\nfirewall-type=socks4\nautofindkeyserver=no\n");
    EXPECT_TRUE(f.pnlTemp.shown());
    EXPECT_FALSE(f.pnlBuffer.shown());
    EXPECT_TRUE(f.pnlBufferRemote.shown());
    EXPECT_TRUE(f.pnlBufferLevel.shown());
    EXPECT_TRUE(f.pnlLogOptions.shown());
    EXPECT_TRUE(f.pnlLogInterval.shown());
    EXPECT_FALSE(f.pnlLogSize.shown());
    EXPECT_TRUE(f.cmbLogPeriod.enabled());
    EXPECT_TRUE(f.grbLogMailServer.shown());
    EXPECT_TRUE(f.pnlDialup.shown());
    EXPECT_FALSE(f.chkProxyUUE.shown());
    EXPECT_FALSE(f.pnlProxyPass.shown());
    EXPECT_TRUE(f.pnlKeyserverOther.shown());
}

TEST_F(Load, NamesMatchWithoutRegardToCase) {
    load("[NETWORKING]\nKeyServer=ks:7\nAutoFindKeyServer=no\n[Parameters]\nID=me@example.org\n");
    EXPECT_EQ(f.txtKeyserverIP.text(), "ks");
    EXPECT_EQ(f.txtKeyserverPort.text(), "7");
    EXPECT_FALSE(f.chkAutoFind.checked());
    EXPECT_EQ(f.txtID.text(), "me@example.org");
}

TEST_F(Load, StopsAtTheFirstValueThatDoesNotConvert) {
    f.seLogMailSize.setValue(4000); // not reset, and its key comes after the stop
    const std::string error = loadError("[parameters]\nid=me@example.org\n"
                                        "[misc]\nrun-time-limit=3:4\nproject-priority=RC5=0,OGR\n"
                                        "[processor-usage]\nmax-threads=4\npriority=abc\n"
                                        "[rc5]\nfetch-workunit-threshold=7\n"
                                        "[buffers]\nfrequent-threshold-checks=2\n"
                                        "[logging]\nlog-file-type=rotate\nmail-log-max=3000\n"
                                        "[networking]\ndisabled=yes\n");
    EXPECT_EQ(error, "'abc' is not a valid integer value");
    // earlier keys loaded, with their interlocks
    EXPECT_EQ(f.txtID.text(), "me@example.org");
    EXPECT_EQ(f.seHours.text(), "3");
    EXPECT_TRUE(f.chkRC5.checked());
    EXPECT_FALSE(f.tabRC5.shown());
    EXPECT_EQ(f.cmbSystem.index(), 2);
    EXPECT_EQ(f.seCPU.text(), "4");
    // later keys as reset, their interlocks not run
    EXPECT_EQ(f.sePriority.text(), "0");
    EXPECT_EQ(f.seRC5WorkFetch.text(), "0");
    EXPECT_EQ(f.cmbBufferLevel.index(), 0);
    EXPECT_FALSE(f.pnlBufferLevel.shown());
    EXPECT_EQ(f.cmbLogType.index(), 0);
    EXPECT_FALSE(f.pnlLogOptions.shown());
    EXPECT_FALSE(f.chkLogMail.checked());
    EXPECT_EQ(f.seLogMailSize.text(), "4000");
    EXPECT_EQ(f.txtLogMailSender.text(), "");
    EXPECT_EQ(f.cmbNetwork.index(), 0);
    EXPECT_TRUE(f.tabProxy.shown());
    EXPECT_EQ(f.txtKeyserverPort.text(), "2064");
}

TEST_F(Load, PresentButEmptyStrictValueStops) {
    EXPECT_EQ(loadError(oneKey("processor-usage", "priority", "")),
              "'' is not a valid integer value");
    EXPECT_EQ(loadError(oneKey("ogr", "core", " ")), "'' is not a valid integer value");
}

TEST_F(Load, BadCredentialStopsAndTheNextLoadDecodesNormally) {
    EXPECT_EQ(loadError("[networking]\nkeyserver=ks:7\nfirewall-auth=dXNl*cg==\n"),
              "Coding table entry not found.");
    EXPECT_EQ(f.txtKeyserverIP.text(), "ks");
    EXPECT_EQ(f.txtProxyUser.text(), "");
    EXPECT_EQ(f.txtProxyPass.text(), "");
    EXPECT_EQ(loadError(oneKey("networking", "firewall-auth", "Ym9iOnNlY3JldA==")), "");
    EXPECT_EQ(f.txtProxyUser.text(), "bob");
    EXPECT_EQ(f.txtProxyPass.text(), "secret");
}
