// The save: the ten owned sections are erased and their keys written again in a
// fixed order. A key is written only when its field differs from what the client
// assumes for an absent key, so an absent key stands for the client's default.
#include "write_ini.h"

#include "base64.h"
#include "credential.h"
#include "fields/text.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace qe {
namespace {

// Writes into one section.
class Section {
public:
    Section(IniText& file, const char* name) : file_(file), name_(name) {}
    void put(std::string_view key, std::string_view value) { file_.write(name_, key, value); }

private:
    IniText& file_;
    const char* name_;
};

// The item of a choice field whose items stand for key values. A field with no
// item saves as its first item, so its key stays absent and the client uses its
// own default. A load leaves cmbRC5Core, cmbOGRCore and cmbBufferLevel with no
// item when the file holds a number outside their lists; writing index - 1 or the
// index itself would then give the client -2, -1 or "-1", none of which it knows.
int itemOrFirst(const Control& choice) {
    return std::max(choice.index(), 0);
}

// "hours:minutes" from the two spin fields' texts, as they stand.
std::string duration(const Control& hours, const Control& minutes) {
    return hours.text() + ":" + minutes.text();
}

// A project, with "=0" when disabled.
std::string project(const char* name, const Control& disable) {
    return disable.checked() ? std::string(name) + "=0" : std::string(name);
}

// Priority 1 first; DES and CSC are always written disabled.
std::string projectList(const Fields& f) {
    const std::string rc5 = project("RC5", f.chkRC5);
    const std::string ogr = project("OGR", f.chkOGR);
    return (f.cmbRC5.index() == 0 ? rc5 + "," + ogr : ogr + "," + rc5) + ",DES=0,CSC=0";
}

// The letter of the selected unit, tested Kelvin, Rankine, Celsius, Fahrenheit.
const char* unitLetter(const Control& kelvin, const Control& rankine, const Control& celsius,
                       const Control& fahrenheit) {
    if (kelvin.checked()) return "K";
    if (rankine.checked()) return "R";
    if (celsius.checked()) return "C";
    if (fahrenheit.checked()) return "F";
    return "";
}

// "pause:resume", each a number and a unit letter; no resume part when its
// field is empty.
std::string thresholds(const Fields& f) {
    std::string value = f.sePauseTemp.text() + unitLetter(f.rbPausekelvin, f.rbPauseRankine,
                                                          f.rbPauseCelcius, f.rbPauseFahrenheit);
    if (!f.seResumeTemp.text().empty())
        value += ":" + f.seResumeTemp.text() +
                 unitLetter(f.rbResumeKelvin, f.rbResumeRankine, f.rbResumeCelcius,
                            f.rbResumeFahrenheit);
    return value;
}

std::string maxThreads(const Fields& f) {
    if (f.chkForceCPU.checked()) return "0";
    if (f.cmbSystem.index() == 1) return "1";
    return f.seCPU.text();
}

std::string rotatePeriod(const Control& period) {
    switch (period.index()) {
    case 1:
        return "weekly";
    case 2:
        return "monthly";
    default:
        return "daily";
    }
}

// A host with its port, or with the default port in place of a blank one.
std::string proxyAddress(const Fields& f) {
    const std::string& port = f.txtProxyPort.text();
    if (!isBlank(port)) return f.txtProxyIP.text() + ":" + port;
    return f.txtProxyIP.text() + (itemOrFirst(f.cmbProxyType) == 1 ? ":8080" : ":1080");
}

std::string keyserverAddress(const Fields& f) {
    const std::string& port = f.txtKeyserverPort.text();
    return f.txtKeyserverIP.text() + ":" + (port.empty() ? "2064" : port);
}

// The sender or receiver of mailed logs, when it is not the ID the client uses
// anyway.
bool isOtherThanID(const Fields& f, const Control& address) {
    return !address.text().empty() && address.text() != f.txtID.text();
}

void writeMisc(const Fields& f, Section s) {
    if (f.seWorkComplete.value() != 0) s.put("run-work-limit", f.seWorkComplete.text());
    if (f.seHours.value() != 0 || f.seMinuts.value() != 0)
        s.put("run-time-limit", duration(f.seHours, f.seMinuts));
    s.put("project-priority", projectList(f));
}

// An unchecked exit file is written empty, which switches it off; the checked
// default name is left out, which the client reads as that name.
void writeTriggers(const Fields& f, Section s) {
    if (f.chkRestart.checked()) s.put("restart-on-config-file-change", "yes");
    if (!f.chkExitFile.checked())
        s.put("exit-flag-filename", "");
    else if (f.txtExitFile.text() != "ExitRC5.now")
        s.put("exit-flag-filename", f.txtExitFile.text());
    if (!f.txtPauseFile.text().empty()) s.put("pause-flag-filename", f.txtPauseFile.text());
    if (!f.txtPauseProgram.text().empty()) s.put("pause-watch-plist", f.txtPauseProgram.text());
    if (f.chkTemperature.checked()) {
        s.put("pause-on-high-cpu-temp", "yes");
        s.put("cpu-temperature-thresholds", thresholds(f));
    }
    if (!f.chkBattery.checked()) s.put("pause-on-no-mains-power", "no");
}

void writeDisplay(const Fields& f, Section s) {
    static const char* const kProgressWords[] = {"", "disabled", "absolute", "relative",
                                                 "live-rate"};
    if (f.chkHideClient.checked()) s.put("detached", "yes");
    if (const int item = itemOrFirst(f.cmbProgress); item != 0)
        s.put("progress-indicator", kProgressWords[item]);
}

void writeProcessorUsage(const Fields& f, Section s) {
    if (f.cmbSystem.index() != 0) s.put("max-threads", maxThreads(f));
    if (f.sePriority.value() != 0) s.put("priority", f.sePriority.text());
}

void writeRc5(const Fields& f, Section s) {
    if (f.seRC5WorkFetch.value() != 0) s.put("fetch-workunit-threshold", f.seRC5WorkFetch.text());
    if (f.seRC5Hours.value() != 0) s.put("fetch-time-threshold", f.seRC5Hours.text());
    if (const int item = itemOrFirst(f.cmbRC5BlockSize); item != 0)
        s.put("preferred-blocksize", std::to_string(item + 27));
    if (const int item = itemOrFirst(f.cmbRC5Core); item != 0)
        s.put("core", std::to_string(item - 1));
}

void writeOgr(const Fields& f, Section s) {
    if (f.seOGRWorkFetch.value() != 0) s.put("fetch-workunit-threshold", f.seOGRWorkFetch.text());
    if (const int item = itemOrFirst(f.cmbOGRCore); item != 0)
        s.put("core", std::to_string(item - 1));
}

// Buffers kept only in memory need no file names.
void writeBuffers(const Fields& f, Section s) {
    if (f.chkBufferMem.checked()) {
        s.put("buffer-only-in-memory", "yes");
    } else {
        if (f.txtBufferIn.text() != "buff-in") s.put("buffer-file-basename", f.txtBufferIn.text());
        if (f.txtBufferOut.text() != "buff-out")
            s.put("output-file-basename", f.txtBufferOut.text());
        if (!f.txtBufferCheck.text().empty()) s.put("checkpoint-filename", f.txtBufferCheck.text());
    }
    if (f.chkBufferRemote.checked()) {
        s.put("allow-update-from-altbuffer", "yes");
        if (!f.txtBufferRemote.text().empty())
            s.put("alternate-buffer-directory", f.txtBufferRemote.text());
    }
    if (const int level = itemOrFirst(f.cmbBufferLevel); level != 0) {
        s.put("frequent-threshold-checks", std::to_string(level));
        if (f.seBufferHours.value() != 0 || f.seBufferMinuts.value() != 0)
            s.put("threshold-check-interval", duration(f.seBufferHours, f.seBufferMinuts));
    }
}

// The quotes around "no limit" keep the blank inside the value; a read removes them.
void writeLogFile(const Fields& f, Section s) {
    static const char* const kLogTypeWords[] = {"", "\"no limit\"", "restart", "fifo", "rotate"};
    const int type = itemOrFirst(f.cmbLogType);
    if (type == 0) return;
    s.put("log-file-type", kLogTypeWords[type]);
    s.put("log-file", f.txtLogFile.text());
    if (type == 2 || type == 3) {
        s.put("log-file-limit", f.seLogSize.text());
    } else if (type == 4) {
        if (f.rbLogNumber.checked())
            s.put("log-file-limit", f.seLogNumber.text());
        else if (f.rbLogPeriod.checked())
            s.put("log-file-limit", rotatePeriod(f.cmbLogPeriod));
    }
}

void writeMailLog(const Fields& f, Section s) {
    if (!f.chkLogMail.checked()) return;
    s.put("mail-log-max", f.seLogMailSize.text());
    if (isOtherThanID(f, f.txtLogMailSender)) s.put("mail-log-from", f.txtLogMailSender.text());
    if (isOtherThanID(f, f.txtLogMailReceiver)) s.put("mail-log-dest", f.txtLogMailReceiver.text());
    s.put("mail-log-via", f.txtLogMailIP.text() + ":" + f.txtLogMailPort.text());
}

void writeDialup(const Fields& f, Section s) {
    if (f.cmbDialup.index() == 0) return;
    s.put("dialup-watcher", f.cmbDialup.index() == 1 ? "active" : "passive");
    if (!f.txtInterfaces.text().empty()) s.put("interfaces-to-watch", f.txtInterfaces.text());
    if (f.chkDUN.checked()) {
        s.put("enable-start-stop", "yes");
        if (!f.txtDUN.text().empty()) s.put("dialup-profile", f.txtDUN.text());
    }
}

// The password counts also when the proxy type hides its field; the UUE box
// counts only while it is shown.
void writeProxy(const Fields& f, Section s) {
    static const char* const kProxyWords[] = {"", "http", "socks4", "socks5"};
    const int type = itemOrFirst(f.cmbProxyType);
    if (type != 0) {
        s.put("firewall-type", kProxyWords[type]);
        if (!isBlank(f.txtProxyIP.text())) s.put("firewall-host", proxyAddress(f));
    }
    if (f.chkProxyUUE.checked() && f.chkProxyUUE.shown()) s.put("encoding", "UUE");
}

void writeKeyserver(const Fields& f, Section s) {
    if (f.chkAutoFind.checked()) return;
    s.put("autofindkeyserver", "no");
    if (!f.chkFallback.checked()) s.put("nofallback", "true");
    s.put("keyserver", keyserverAddress(f));
}

void writeCredential(const Fields& f, Section s) {
    if (itemOrFirst(f.cmbProxyType) == 0) return;
    const std::string credential = joinCredential(f.txtProxyUser.text(), f.txtProxyPass.text());
    if (!credential.empty()) s.put("firewall-auth", base64Encode(credential));
}

// A disabled network writes nothing else of its section.
void writeNetworking(const Fields& f, Section s) {
    if (f.cmbNetwork.index() != 0) {
        s.put("disabled", "yes");
        return;
    }
    if (f.seTimeOut.value() != 60) s.put("nettimeout", f.seTimeOut.text());
    writeDialup(f, s);
    writeProxy(f, s);
    writeKeyserver(f, s);
    writeCredential(f, s);
}

} // namespace

void WriteINI(const Fields& f, IniText& target) {
    for (const char* section : kOwnedSections)
        target.eraseSection(section);
    Section{target, "parameters"}.put("id", f.txtID.text());
    writeMisc(f, {target, "misc"});
    writeTriggers(f, {target, "triggers"});
    writeDisplay(f, {target, "display"});
    writeProcessorUsage(f, {target, "processor-usage"});
    writeRc5(f, {target, "rc5"});
    writeOgr(f, {target, "ogr"});
    writeBuffers(f, {target, "buffers"});
    writeLogFile(f, {target, "logging"});
    writeMailLog(f, {target, "logging"});
    writeNetworking(f, {target, "networking"});
}

} // namespace qe
