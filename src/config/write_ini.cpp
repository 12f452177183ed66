// The save: the ten owned sections are erased and their keys written again in a
// fixed order. A key is written only when its field differs from what the client
// assumes for an absent key, so an absent key stands for the client's default.
#include "write_ini.h"

#include "credential.h"
#include "fields/text.h"
#include "value_forms.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace qe {
namespace {

// Writes of the owned keys.
class Writer {
public:
    explicit Writer(IniText& file) : file_(file) {}

    void put(const Key& k, std::string_view value) { file_.write(k.section, k.name, value); }
    // A flag set to the state other than its default.
    void putFlag(const Key& k) { put(k, k.setWord()); }
    // A text, unless it is what an absent key counts as.
    void putUnlessDefault(const Key& k, const std::string& text) {
        if (text != k.def) put(k, text);
    }
    // A spin field's text, unless its value is the key's default number.
    void putUnlessDefault(const Key& k, const Control& spin) {
        if (spin.value() != k.number()) put(k, spin.text());
    }
    // The word of a choice field's item, unless it is the first item's.
    void putWord(const Key& k, int item) {
        if (item != 0) put(k, wordText(k, item));
    }
    // The duration of the two spin fields, unless both are 0.
    void putDuration(const Key& k, const Control& hours, const Control& minutes) {
        if (const std::optional<std::string> text = durationText(hours, minutes)) put(k, *text);
    }

private:
    IniText& file_;
};

// The item of a choice field whose items stand for key values. A field with no
// item saves as its first item, so its key stays absent and the client uses its
// own default. A load leaves cmbRC5Core, cmbOGRCore and cmbBufferLevel with no
// item when the file holds a number outside their lists; writing index - 1 or the
// index itself would then give the client -2, -1 or "-1", none of which it knows.
int itemOrFirst(const Control& choice) {
    return std::max(choice.index(), 0);
}

std::string maxThreads(const Fields& f) {
    if (f.chkForceCPU.checked()) return "0";
    if (f.cmbSystem.index() == kSystemSingle) return "1";
    return f.seCPU.text();
}

std::string rotatePeriod(const Control& period) {
    return std::string(wordAt(kLogPeriodWords, itemOrFirst(period)));
}

// A host with its port, or with the default port in place of a blank one.
std::string proxyAddress(const Fields& f) {
    const std::string& port = f.txtProxyPort.text();
    return addressText(f.txtProxyIP.text(), isSpaceAndControls(port)
                                                ? proxyPort(itemOrFirst(f.cmbProxyType))
                                                : std::string_view(port));
}

// A host with its port, or with the default port in place of an empty one.
std::string keyserverAddress(const Fields& f) {
    const std::string& port = f.txtKeyserverPort.text();
    return addressText(f.txtKeyserverIP.text(),
                       port.empty() ? key::keyserver.port : std::string_view(port));
}

// The sender or receiver of mailed logs, when it is not the ID the client uses
// anyway.
bool isOtherThanID(const Fields& f, const Control& address) {
    return !address.text().empty() && address.text() != f.txtID.text();
}

void writeMisc(const Fields& f, Writer& w) {
    w.putUnlessDefault(key::runWorkLimit, f.seWorkComplete);
    w.putDuration(key::runTimeLimit, f.seHours, f.seMinuts);
    w.put(key::projectPriority, projectListText(f));
}

// An unchecked exit file is written empty, which switches it off; the checked
// default name is left out, which the client reads as that name.
void writeTriggers(const Fields& f, Writer& w) {
    if (f.chkRestart.checked()) w.putFlag(key::restartOnConfigFileChange);
    if (!f.chkExitFile.checked())
        w.put(key::exitFlagFilename, "");
    else
        w.putUnlessDefault(key::exitFlagFilename, f.txtExitFile.text());
    w.putUnlessDefault(key::pauseFlagFilename, f.txtPauseFile.text());
    w.putUnlessDefault(key::pauseWatchPlist, f.txtPauseProgram.text());
    if (f.chkTemperature.checked()) {
        w.putFlag(key::pauseOnHighCpuTemp);
        w.put(key::cpuTemperatureThresholds, thresholdsText(f));
    }
    if (!f.chkBattery.checked()) w.putFlag(key::pauseOnNoMainsPower);
}

void writeDisplay(const Fields& f, Writer& w) {
    if (f.chkHideClient.checked()) w.putFlag(key::detached);
    w.putWord(key::progressIndicator, itemOrFirst(f.cmbProgress));
}

void writeProcessorUsage(const Fields& f, Writer& w) {
    if (f.cmbSystem.index() != kSystemAuto) w.put(key::maxThreads, maxThreads(f));
    w.putUnlessDefault(key::priority, f.sePriority);
}

void writeRc5(const Fields& f, Writer& w) {
    w.putUnlessDefault(key::rc5FetchWorkunitThreshold, f.seRC5WorkFetch);
    w.putUnlessDefault(key::rc5FetchTimeThreshold, f.seRC5Hours);
    if (const int item = itemOrFirst(f.cmbRC5BlockSize); item != 0)
        w.put(key::rc5PreferredBlocksize, std::to_string(blockSizeOfItem(item)));
    if (const int item = itemOrFirst(f.cmbRC5Core); item != 0)
        w.put(key::rc5Core, std::to_string(coreOfItem(item)));
}

void writeOgr(const Fields& f, Writer& w) {
    w.putUnlessDefault(key::ogrFetchWorkunitThreshold, f.seOGRWorkFetch);
    if (const int item = itemOrFirst(f.cmbOGRCore); item != 0)
        w.put(key::ogrCore, std::to_string(coreOfItem(item)));
}

// Buffers kept only in memory need no file names.
void writeBuffers(const Fields& f, Writer& w) {
    if (f.chkBufferMem.checked()) {
        w.putFlag(key::bufferOnlyInMemory);
    } else {
        w.putUnlessDefault(key::bufferFileBasename, f.txtBufferIn.text());
        w.putUnlessDefault(key::outputFileBasename, f.txtBufferOut.text());
        w.putUnlessDefault(key::checkpointFilename, f.txtBufferCheck.text());
    }
    if (f.chkBufferRemote.checked()) {
        w.putFlag(key::allowUpdateFromAltbuffer);
        w.putUnlessDefault(key::alternateBufferDirectory, f.txtBufferRemote.text());
    }
    if (const int level = itemOrFirst(f.cmbBufferLevel); level != 0) {
        w.put(key::frequentThresholdChecks, std::to_string(level));
        w.putDuration(key::thresholdCheckInterval, f.seBufferHours, f.seBufferMinuts);
    }
}

void writeLogFile(const Fields& f, Writer& w) {
    const int type = itemOrFirst(f.cmbLogType);
    if (type == 0) return;
    w.putWord(key::logFileType, type);
    w.put(key::logFile, f.txtLogFile.text());
    if (type == kLogRestart || type == kLogFifo) {
        w.put(key::logFileLimit, f.seLogSize.text());
    } else if (type == kLogRotate) {
        if (f.rbLogNumber.checked())
            w.put(key::logFileLimit, f.seLogNumber.text());
        else if (f.rbLogPeriod.checked())
            w.put(key::logFileLimit, rotatePeriod(f.cmbLogPeriod));
    }
}

void writeMailLog(const Fields& f, Writer& w) {
    if (!f.chkLogMail.checked()) return;
    w.put(key::mailLogMax, f.seLogMailSize.text());
    if (isOtherThanID(f, f.txtLogMailSender)) w.put(key::mailLogFrom, f.txtLogMailSender.text());
    if (isOtherThanID(f, f.txtLogMailReceiver))
        w.put(key::mailLogDest, f.txtLogMailReceiver.text());
    w.put(key::mailLogVia, addressText(f.txtLogMailIP.text(), f.txtLogMailPort.text()));
}

void writeDialup(const Fields& f, Writer& w) {
    const int watcher = itemOrFirst(f.cmbDialup);
    if (watcher == 0) return;
    w.putWord(key::dialupWatcher, watcher);
    w.putUnlessDefault(key::interfacesToWatch, f.txtInterfaces.text());
    if (f.chkDUN.checked()) {
        w.putFlag(key::enableStartStop);
        w.putUnlessDefault(key::dialupProfile, f.txtDUN.text());
    }
}

// The password counts also when the proxy type hides its field; the UUE box
// counts only while it is shown.
void writeProxy(const Fields& f, Writer& w) {
    const int type = itemOrFirst(f.cmbProxyType);
    if (type != kProxyNone) {
        w.putWord(key::firewallType, type);
        if (!isSpaceAndControls(f.txtProxyIP.text())) w.put(key::firewallHost, proxyAddress(f));
    }
    if (f.chkProxyUUE.checked() && f.chkProxyUUE.shown()) w.putFlag(key::encoding);
}

void writeKeyserver(const Fields& f, Writer& w) {
    if (f.chkAutoFind.checked()) return;
    w.putFlag(key::autofindkeyserver);
    if (!f.chkFallback.checked()) w.putFlag(key::nofallback);
    w.put(key::keyserver, keyserverAddress(f));
}

void writeCredential(const Fields& f, Writer& w) {
    if (itemOrFirst(f.cmbProxyType) == kProxyNone) return;
    const std::string credential = credentialText(f.txtProxyUser.text(), f.txtProxyPass.text());
    if (!credential.empty()) w.put(key::firewallAuth, credential);
}

// A disabled network writes nothing else of its section.
void writeNetworking(const Fields& f, Writer& w) {
    if (f.cmbNetwork.index() != 0) {
        w.putFlag(key::disabled);
        return;
    }
    w.putUnlessDefault(key::nettimeout, f.seTimeOut);
    writeDialup(f, w);
    writeProxy(f, w);
    writeKeyserver(f, w);
    writeCredential(f, w);
}

} // namespace

void WriteINI(const Fields& f, IniText& target) {
    for (const char* section : kOwnedSections)
        target.eraseSection(section);
    Writer w{target};
    w.put(key::id, f.txtID.text());
    writeMisc(f, w);
    writeTriggers(f, w);
    writeDisplay(f, w);
    writeProcessorUsage(f, w);
    writeRc5(f, w);
    writeOgr(f, w);
    writeBuffers(f, w);
    writeLogFile(f, w);
    writeMailLog(f, w);
    writeNetworking(f, w);
}

} // namespace qe
