// The load: every key of the ten owned sections is read once, in a fixed order,
// and set into its field. Setting a check, radio or txtProxyIP runs its interlock
// at once; for the five choice fields with an interlock the load runs it itself.
#include "read_ini.h"

#include "conversions.h"
#include "credential.h"
#include "value_forms.h"

#include <optional>
#include <string>
#include <string_view>

namespace qe {
namespace {

// Reads of the owned keys; an absent key gives the key's default.
class Reader {
public:
    explicit Reader(const IniText& file) : file_(file) {}

    std::string get(const Key& k) const { return file_.read(k.section, k.name, k.def); }
    // Keys whose default is not fixed (the mail addresses default to the ID).
    std::string get(const Key& k, std::string_view def) const {
        return file_.read(k.section, k.name, def);
    }
    // A flag: true when the value stands for the state other than the default.
    bool flag(const Key& k) const { return k.isFlagSet(get(k)); }
    // A word key: the item its word names, 0 for any other text.
    int item(const Key& k) const { return k.item(get(k)); }

private:
    const IniText& file_;
};

void loadMaxThreads(Fields& f, int threads) {
    if (threads == -1) {
        f.cmbSystem.setIndex(kSystemAuto);
    } else if (threads == 0) {
        f.cmbSystem.setIndex(kSystemSingle);
        f.chkForceCPU.setChecked(true);
    } else if (threads == 1) {
        f.cmbSystem.setIndex(kSystemSingle);
    } else {
        f.cmbSystem.setIndex(kSystemMulti);
        f.seCPU.setValue(threads);
    }
}

// A size outside the list leaves the field as it is.
void loadBlockSize(Control& blockSize, int size) {
    if (const std::optional<int> item = itemOfBlockSize(size)) blockSize.setIndex(*item);
}

// A rotating log keeps either a number of days or a period word.
void loadRotateLimit(Fields& f, std::string_view value) {
    const int days = lenientInt(value, -1);
    const int period = indexOfWord(kLogPeriodWords, value);
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
    case kLogRestart:
    case kLogFifo:
        f.seLogSize.setText(value);
        break;
    case kLogRotate:
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

void readParameters(Fields& f, const Reader& r) {
    f.txtID.setText(r.get(key::id));
}

void readMisc(Fields& f, const Reader& r) {
    f.seWorkComplete.setText(r.get(key::runWorkLimit));
    loadDuration(r.get(key::runTimeLimit), f.seHours, f.seMinuts);
    loadProjectList(f, r.get(key::projectPriority));
}

void readTriggers(Fields& f, const Reader& r) {
    f.chkRestart.setChecked(r.flag(key::restartOnConfigFileChange));
    const std::string exitFile = r.get(key::exitFlagFilename);
    f.chkExitFile.setChecked(!exitFile.empty());
    if (!exitFile.empty()) f.txtExitFile.setText(exitFile);
    f.txtPauseFile.setText(r.get(key::pauseFlagFilename));
    f.txtPauseProgram.setText(r.get(key::pauseWatchPlist));
    f.chkTemperature.setChecked(r.flag(key::pauseOnHighCpuTemp));
    loadThresholds(f, r.get(key::cpuTemperatureThresholds));
    if (r.flag(key::pauseOnNoMainsPower)) f.chkBattery.setChecked(false);
}

void readDisplay(Fields& f, const Reader& r) {
    if (r.flag(key::detached)) f.chkHideClient.setChecked(true);
    f.cmbProgress.setIndex(r.item(key::progressIndicator));
}

void readProcessorUsage(Fields& f, const Reader& r) {
    loadMaxThreads(f, strictInt(r.get(key::maxThreads)));
    f.sePriority.setValue(strictInt(r.get(key::priority)));
}

void readRc5(Fields& f, const Reader& r) {
    f.seRC5WorkFetch.setValue(strictInt(r.get(key::rc5FetchWorkunitThreshold)));
    f.seRC5Hours.setValue(strictInt(r.get(key::rc5FetchTimeThreshold)));
    loadBlockSize(f.cmbRC5BlockSize, strictInt(r.get(key::rc5PreferredBlocksize)));
    f.cmbRC5Core.setIndex(itemOfCore(strictInt(r.get(key::rc5Core))));
}

void readOgr(Fields& f, const Reader& r) {
    f.seOGRWorkFetch.setValue(strictInt(r.get(key::ogrFetchWorkunitThreshold)));
    f.cmbOGRCore.setIndex(itemOfCore(strictInt(r.get(key::ogrCore))));
}

void readBuffers(Fields& f, const Reader& r) {
    if (r.flag(key::bufferOnlyInMemory)) f.chkBufferMem.setChecked(true);
    f.txtBufferIn.setText(r.get(key::bufferFileBasename));
    f.txtBufferOut.setText(r.get(key::outputFileBasename));
    f.txtBufferCheck.setText(r.get(key::checkpointFilename));
    if (r.flag(key::allowUpdateFromAltbuffer)) f.chkBufferRemote.setChecked(true);
    f.txtBufferRemote.setText(r.get(key::alternateBufferDirectory));
    f.cmbBufferLevel.setIndex(strictInt(r.get(key::frequentThresholdChecks)));
    f.cmbBufferLevel.fire();
    loadDuration(r.get(key::thresholdCheckInterval), f.seBufferHours, f.seBufferMinuts);
}

void readLogging(Fields& f, const Reader& r) {
    f.cmbLogType.setIndex(r.item(key::logFileType));
    f.cmbLogType.fire();
    f.txtLogFile.setText(r.get(key::logFile));
    loadLogFileLimit(f, r.get(key::logFileLimit));
    loadMailLogMax(f, r.get(key::mailLogMax));
    f.txtLogMailSender.setText(r.get(key::mailLogFrom, f.txtID.text()));
    f.txtLogMailReceiver.setText(r.get(key::mailLogDest, f.txtID.text()));
    loadAddress(r.get(key::mailLogVia), key::mailLogVia.port, f.txtLogMailIP, f.txtLogMailPort);
}

// Every key is loaded even when the first one disables networking.
void readNetworking(Fields& f, const Reader& r) {
    f.cmbNetwork.setIndex(r.flag(key::disabled) ? 1 : 0);
    f.cmbNetwork.fire();
    f.seTimeOut.setValue(lenientInt(r.get(key::nettimeout), key::nettimeout.number()));
    f.cmbDialup.setIndex(r.item(key::dialupWatcher));
    f.cmbDialup.fire();
    f.txtInterfaces.setText(r.get(key::interfacesToWatch));
    f.chkDUN.setChecked(r.flag(key::enableStartStop));
    f.txtDUN.setText(r.get(key::dialupProfile));
    f.cmbProxyType.setIndex(r.item(key::firewallType));
    f.cmbProxyType.fire();
    loadAddress(r.get(key::firewallHost), proxyPort(f.cmbProxyType.index()), f.txtProxyIP,
                f.txtProxyPort);
    f.chkProxyUUE.setChecked(r.flag(key::encoding));
    f.chkAutoFind.setChecked(!r.flag(key::autofindkeyserver));
    f.chkFallback.setChecked(!r.flag(key::nofallback));
    loadAddress(r.get(key::keyserver), key::keyserver.port, f.txtKeyserverIP, f.txtKeyserverPort);
    loadCredential(r.get(key::firewallAuth), f.txtProxyUser, f.txtProxyPass);
}

} // namespace

void ReadINI(Fields& f, const IniText& file) {
    const Reader r{file};
    readParameters(f, r);
    readMisc(f, r);
    readTriggers(f, r);
    readDisplay(f, r);
    readProcessorUsage(f, r);
    readRc5(f, r);
    readOgr(f, r);
    readBuffers(f, r);
    readLogging(f, r);
    readNetworking(f, r);
}

} // namespace qe
