// The load: every key of the ten owned sections is read once, in a fixed order,
// and set into its field. Setting a check, radio or txtProxyIP runs its interlock
// at once; for the five choice fields with an interlock the load runs it itself.
#include "read_ini.h"

#include "base64.h"
#include "conversions.h"
#include "credential.h"

#include <climits>
#include <initializer_list>
#include <string>
#include <string_view>

namespace qe {
namespace {

// Reads of one section; an absent key gives the default it is passed.
class Section {
public:
    Section(const IniText& file, const char* name) : file_(file), name_(name) {}

    std::string get(std::string_view key, std::string_view def) const {
        return file_.read(name_, key, def);
    }
    // A flag: true when the value is exactly word.
    bool is(std::string_view key, std::string_view def, std::string_view word) const {
        return get(key, def) == word;
    }

private:
    const IniText& file_;
    const char* name_;
};

// The item a word names: 1 for the first of words, 2 for the second and so on,
// 0 for any other text.
int itemOfWord(std::string_view value, std::initializer_list<std::string_view> words) {
    int item = 1;
    for (std::string_view w : words) {
        if (value == w) return item;
        ++item;
    }
    return 0;
}

// The item of a core number: item n + 1 for core n, so -1 is "Auto Select". A
// number whose item would not fit in an int is outside the list anyway.
int itemOfCore(int core) {
    return core == INT_MAX ? -1 : core + 1;
}

// 1-based position of the first occurrence of name, 0 when it does not occur.
std::size_t positionOf(std::string_view list, std::string_view name) {
    const std::size_t at = list.find(name);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string_view beforeFirstColon(std::string_view value) {
    const std::size_t colon = value.find(':');
    return colon == std::string_view::npos ? std::string_view{} : value.substr(0, colon);
}

std::string_view afterFirstColon(std::string_view value) {
    const std::size_t colon = value.find(':');
    return colon == std::string_view::npos ? value : value.substr(colon + 1);
}

// "hours:minutes", both strict. Without a colon the hours part is empty and
// fails, so the load stops there.
void loadDuration(std::string_view value, Control& hours, Control& minutes) {
    hours.setValue(strictInt(beforeFirstColon(value)));
    minutes.setValue(strictInt(afterFirstColon(value)));
}

// "host" or "host:port"; a value without a colon is all host and gets the key's
// default port.
void loadAddress(std::string_view value, std::string_view defaultPort, Control& host,
                 Control& port) {
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos) {
        host.setText(value);
        port.setText(defaultPort);
    } else {
        host.setText(value.substr(0, colon));
        port.setText(value.substr(colon + 1));
    }
}

void loadProjectPriority(Fields& f, std::string_view list) {
    const bool rc5First = positionOf(list, "RC5") < positionOf(list, "OGR");
    f.cmbRC5.setIndex(rc5First ? 0 : 1);
    f.cmbOGR.setIndex(rc5First ? 1 : 0);
    // Each box unchecks the other through its interlock, so with both texts
    // present OGR ends up disabled.
    if (list.find("RC5=0") != std::string_view::npos) f.chkRC5.setChecked(true);
    if (list.find("OGR=0") != std::string_view::npos) f.chkOGR.setChecked(true);
}

// The radio fields of one temperature, by unit.
struct UnitRadios {
    Control& kelvin;
    Control& rankine;
    Control& celsius;
    Control& fahrenheit;
};

Control* radioOfUnit(char letter, const UnitRadios& units) {
    switch (letter) {
    case 'K':
    case 'k':
        return &units.kelvin;
    case 'R':
    case 'r':
        return &units.rankine;
    case 'C':
    case 'c':
        return &units.celsius;
    case 'F':
    case 'f':
        return &units.fahrenheit;
    default:
        return nullptr;
    }
}

// One part of the thresholds: a number with a unit letter is read strictly;
// anything else, the empty part included, counts as Kelvin and is read
// leniently with 0 as fallback, so an empty part loads as Kelvin 0.
void loadTemperature(std::string_view part, const UnitRadios& units, Control& temperature) {
    Control* unit = part.empty() ? nullptr : radioOfUnit(part.back(), units);
    if (unit) {
        unit->select();
        temperature.setValue(strictInt(part.substr(0, part.size() - 1)));
    } else {
        units.kelvin.select();
        temperature.setValue(lenientInt(part, 0));
    }
}

// "pause:resume"; a value without a colon is all pause part, with an empty
// resume part. The empty value loads nothing.
void loadThresholds(Fields& f, std::string_view value) {
    if (value.empty()) return;
    const std::size_t colon = value.find(':');
    const std::string_view pause = value.substr(0, colon);
    const std::string_view resume =
        colon == std::string_view::npos ? std::string_view{} : value.substr(colon + 1);
    loadTemperature(pause,
                    {f.rbPausekelvin, f.rbPauseRankine, f.rbPauseCelcius, f.rbPauseFahrenheit},
                    f.sePauseTemp);
    loadTemperature(resume,
                    {f.rbResumeKelvin, f.rbResumeRankine, f.rbResumeCelcius, f.rbResumeFahrenheit},
                    f.seResumeTemp);
}

void loadMaxThreads(Fields& f, int threads) {
    if (threads == -1) {
        f.cmbSystem.setIndex(0);
    } else if (threads == 0) {
        f.cmbSystem.setIndex(1);
        f.chkForceCPU.setChecked(true);
    } else if (threads == 1) {
        f.cmbSystem.setIndex(1);
    } else {
        f.cmbSystem.setIndex(2);
        f.seCPU.setValue(threads);
    }
}

void loadBlockSize(Control& blockSize, int size) {
    if (size == -1) blockSize.setIndex(0);
    if (size >= 28 && size <= 33) blockSize.setIndex(size - 27);
}

// A rotating log keeps either a number of days or a period word.
void loadRotateLimit(Fields& f, std::string_view value) {
    const int days = lenientInt(value, -1);
    const int period = itemOfWord(value, {"daily", "weekly", "monthly"}) - 1;
    if (days != -1) {
        f.rbLogNumber.select();
        f.seLogNumber.setValue(days);
    } else if (period >= 0) {
        f.rbLogPeriod.select();
        f.cmbLogPeriod.setIndex(period);
    } else {
        f.rbLogNumber.select();
        f.seLogNumber.setValue(0);
    }
}

void loadLogFileLimit(Fields& f, std::string_view value) {
    switch (f.cmbLogType.index()) {
    case 2: // restart
    case 3: // fifo
        f.seLogSize.setText(value);
        break;
    case 4: // rotate
        loadRotateLimit(f, value);
        break;
    default:
        break;
    }
}

void loadMailLogMax(Fields& f, std::string_view value) {
    if (lenientInt(value, 0) <= 0) return;
    f.chkLogMail.setChecked(true);
    f.seLogMailSize.setValue(strictInt(value));
}

// A part the credential does not hold leaves its field as it is.
void loadCredential(Fields& f, std::string_view encoded) {
    const CredentialParts parts = splitCredential(base64Decode(encoded));
    if (parts.user) f.txtProxyUser.setText(*parts.user);
    if (parts.password) f.txtProxyPass.setText(*parts.password);
}

void readParameters(Fields& f, const Section& s) {
    f.txtID.setText(s.get("id", kDefaultID));
}

void readMisc(Fields& f, const Section& s) {
    f.seWorkComplete.setText(s.get("run-work-limit", "0"));
    loadDuration(s.get("run-time-limit", "0:00"), f.seHours, f.seMinuts);
    loadProjectPriority(f, s.get("project-priority", "RC5,OGR,DES,CSC"));
}

void readTriggers(Fields& f, const Section& s) {
    f.chkRestart.setChecked(s.is("restart-on-config-file-change", "no", "yes"));
    const std::string exitFile = s.get("exit-flag-filename", "ExitRC5.now");
    f.chkExitFile.setChecked(!exitFile.empty());
    if (!exitFile.empty()) f.txtExitFile.setText(exitFile);
    f.txtPauseFile.setText(s.get("pause-flag-filename", ""));
    f.txtPauseProgram.setText(s.get("pause-watch-plist", ""));
    f.chkTemperature.setChecked(s.is("pause-on-high-cpu-temp", "no", "yes"));
    loadThresholds(f, s.get("cpu-temperature-thresholds", ""));
    if (s.is("pause-on-no-mains-power", "yes", "no")) f.chkBattery.setChecked(false);
}

void readDisplay(Fields& f, const Section& s) {
    if (s.is("detached", "no", "yes")) f.chkHideClient.setChecked(true);
    f.cmbProgress.setIndex(itemOfWord(s.get("progress-indicator", "auto-sense"),
                                      {"disabled", "absolute", "relative", "live-rate"}));
}

void readProcessorUsage(Fields& f, const Section& s) {
    loadMaxThreads(f, strictInt(s.get("max-threads", "-1")));
    f.sePriority.setValue(strictInt(s.get("priority", "0")));
}

void readRc5(Fields& f, const Section& s) {
    f.seRC5WorkFetch.setValue(strictInt(s.get("fetch-workunit-threshold", "0")));
    f.seRC5Hours.setValue(strictInt(s.get("fetch-time-threshold", "0")));
    loadBlockSize(f.cmbRC5BlockSize, strictInt(s.get("preferred-blocksize", "-1")));
    f.cmbRC5Core.setIndex(itemOfCore(strictInt(s.get("core", "-1"))));
}

void readOgr(Fields& f, const Section& s) {
    f.seOGRWorkFetch.setValue(strictInt(s.get("fetch-workunit-threshold", "0")));
    f.cmbOGRCore.setIndex(itemOfCore(strictInt(s.get("core", "-1"))));
}

void readBuffers(Fields& f, const Section& s) {
    if (s.is("buffer-only-in-memory", "no", "yes")) f.chkBufferMem.setChecked(true);
    f.txtBufferIn.setText(s.get("buffer-file-basename", "buff-in"));
    f.txtBufferOut.setText(s.get("output-file-basename", "buff-out"));
    f.txtBufferCheck.setText(s.get("checkpoint-filename", ""));
    if (s.is("allow-update-from-altbuffer", "no", "yes")) f.chkBufferRemote.setChecked(true);
    f.txtBufferRemote.setText(s.get("alternate-buffer-directory", ""));
    f.cmbBufferLevel.setIndex(strictInt(s.get("frequent-threshold-checks", "0")));
    f.cmbBufferLevel.fire();
    loadDuration(s.get("threshold-check-interval", "0:00"), f.seBufferHours, f.seBufferMinuts);
}

void readLogging(Fields& f, const Section& s) {
    f.cmbLogType.setIndex(
        itemOfWord(s.get("log-file-type", "none"), {"no limit", "restart", "fifo", "rotate"}));
    f.cmbLogType.fire();
    f.txtLogFile.setText(s.get("log-file", ""));
    loadLogFileLimit(f, s.get("log-file-limit", "0"));
    loadMailLogMax(f, s.get("mail-log-max", "0"));
    f.txtLogMailSender.setText(s.get("mail-log-from", f.txtID.text()));
    f.txtLogMailReceiver.setText(s.get("mail-log-dest", f.txtID.text()));
    loadAddress(s.get("mail-log-via", ""), "25", f.txtLogMailIP, f.txtLogMailPort);
}

// Every key is loaded even when the first one disables networking.
void readNetworking(Fields& f, const Section& s) {
    f.cmbNetwork.setIndex(s.is("disabled", "no", "no") ? 0 : 1);
    f.cmbNetwork.fire();
    f.seTimeOut.setValue(lenientInt(s.get("nettimeout", "60"), 60));
    f.cmbDialup.setIndex(itemOfWord(s.get("dialup-watcher", "disabled"), {"active", "passive"}));
    f.cmbDialup.fire();
    f.txtInterfaces.setText(s.get("interfaces-to-watch", ""));
    f.chkDUN.setChecked(s.is("enable-start-stop", "no", "yes"));
    f.txtDUN.setText(s.get("dialup-profile", ""));
    f.cmbProxyType.setIndex(itemOfWord(s.get("firewall-type", ""), {"http", "socks4", "socks5"}));
    f.cmbProxyType.fire();
    loadAddress(s.get("firewall-host", ""), f.cmbProxyType.index() == 1 ? "8080" : "1080",
                f.txtProxyIP, f.txtProxyPort);
    const std::string encoding = s.get("encoding", "");
    f.chkProxyUUE.setChecked(encoding == "uue" || encoding == "UUE");
    f.chkAutoFind.setChecked(s.is("autofindkeyserver", "yes", "yes"));
    f.chkFallback.setChecked(!s.is("nofallback", "false", "true"));
    loadAddress(s.get("keyserver", ""), "2064", f.txtKeyserverIP, f.txtKeyserverPort);
    loadCredential(f, s.get("firewall-auth", ""));
}

} // namespace

void ReadINI(Fields& f, const IniText& file) {
    readParameters(f, {file, "parameters"});
    readMisc(f, {file, "misc"});
    readTriggers(f, {file, "triggers"});
    readDisplay(f, {file, "display"});
    readProcessorUsage(f, {file, "processor-usage"});
    readRc5(f, {file, "rc5"});
    readOgr(f, {file, "ogr"});
    readBuffers(f, {file, "buffers"});
    readLogging(f, {file, "logging"});
    readNetworking(f, {file, "networking"});
}

} // namespace qe
