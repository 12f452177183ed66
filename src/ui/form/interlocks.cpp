// The interlocks: each sets the state of the controls its field governs outright
// from the field's current value, so running one twice is harmless.
#include "form.h"

#include "fields/keys.h"
#include "fields/text.h"

namespace qe {

void Form::installInterlocks() {
    auto on = [this](Control& c, void (Form::*handler)()) {
        c.onEvent([this, handler] { (this->*handler)(); });
    };
    on(f_.chkTemperature, &Form::chkTemperatureClick);
    on(f_.chkExitFile, &Form::chkExitFileClick);
    on(f_.chkRC5, &Form::chkRC5Click);
    on(f_.chkOGR, &Form::chkOGRClick);
    on(f_.cmbRC5, &Form::cmbRC5Change);
    on(f_.cmbOGR, &Form::cmbOGRChange);
    on(f_.cmbSystem, &Form::cmbSystemChange);
    on(f_.chkForceCPU, &Form::chkForceCPUClick);
    on(f_.chkBufferMem, &Form::chkBufferMemClick);
    on(f_.chkBufferRemote, &Form::chkBufferRemoteClick);
    on(f_.cmbBufferLevel, &Form::cmbBufferLevelChange);
    on(f_.cmbLogType, &Form::cmbLogTypeChange);
    on(f_.rbLogNumber, &Form::rbLogNumberClick);
    on(f_.rbLogPeriod, &Form::rbLogPeriodClick);
    on(f_.chkLogMail, &Form::chkLogMailClick);
    on(f_.cmbNetwork, &Form::cmbNetworkChange);
    on(f_.cmbDialup, &Form::cmbDialupChange);
    on(f_.chkDUN, &Form::chkDUNClick);
    on(f_.cmbProxyType, &Form::cmbProxyTypeChange);
    on(f_.txtProxyIP, &Form::txtProxyIPChange);
    on(f_.chkAutoFind, &Form::chkAutoFindClick);
    on(f_.seFontX, &Form::seFontXChange);
    on(f_.seFontY, &Form::seFontYChange);
    on(f_.btnFont, &Form::btnFontClick);
}

void Form::chkTemperatureClick() {
    f_.pnlTemp.setShown(f_.chkTemperature.checked());
}

void Form::chkExitFileClick() {
    f_.txtExitFile.setShown(f_.chkExitFile.checked());
}

// At most one project is disabled: disabling one brings the other back.
void Form::chkRC5Click() {
    const bool disabled = f_.chkRC5.checked();
    f_.cmbRC5.setEnabled(!disabled);
    f_.lblRC5.setEnabled(!disabled);
    f_.tabRC5.setShown(!disabled);
    if (disabled) f_.chkOGR.setChecked(false);
}

void Form::chkOGRClick() {
    const bool disabled = f_.chkOGR.checked();
    f_.cmbOGR.setEnabled(!disabled);
    f_.lblOGR.setEnabled(!disabled);
    f_.tabOGR.setShown(!disabled);
    if (disabled) f_.chkRC5.setChecked(false);
}

// The two priority choices always hold one "1" and one "2".
void Form::cmbRC5Change() {
    if (f_.cmbRC5.index() >= 0) f_.cmbOGR.setIndex(1 - f_.cmbRC5.index());
}

void Form::cmbOGRChange() {
    if (f_.cmbOGR.index() >= 0) f_.cmbRC5.setIndex(1 - f_.cmbOGR.index());
}

void Form::cmbSystemChange() {
    const int item = f_.cmbSystem.index();
    if (item < 0) return;
    f_.pnlCPU.setShown(item == kSystemMulti);
    if (item != kSystemSingle) f_.chkForceCPU.setChecked(false);
}

void Form::chkForceCPUClick() {
    if (!f_.chkForceCPU.checked()) return;
    f_.cmbSystem.setIndex(kSystemSingle);
    f_.pnlCPU.setShown(false);
}

void Form::syncCpuPanel() {
    f_.pnlCPU.setShown(f_.cmbSystem.index() == kSystemMulti);
}

void Form::chkBufferMemClick() {
    f_.pnlBuffer.setShown(!f_.chkBufferMem.checked());
}

void Form::chkBufferRemoteClick() {
    f_.pnlBufferRemote.setShown(f_.chkBufferRemote.checked());
}

void Form::cmbBufferLevelChange() {
    f_.pnlBufferLevel.setShown(f_.cmbBufferLevel.index() != 0);
}

void Form::cmbLogTypeChange() {
    const int item = f_.cmbLogType.index();
    if (item < 0) return;
    f_.pnlLogOptions.setShown(item != 0);
    f_.pnlLogFile.setShown(item != 0);
    f_.pnlLogInterval.setShown(item == kLogRotate);
    f_.pnlLogSize.setShown(item == kLogRestart || item == kLogFifo);
}

void Form::rbLogNumberClick() {
    f_.cmbLogPeriod.setEnabled(false);
    f_.seLogNumber.setEnabled(true);
}

void Form::rbLogPeriodClick() {
    f_.cmbLogPeriod.setEnabled(true);
    f_.seLogNumber.setEnabled(false);
}

void Form::chkLogMailClick() {
    f_.pnlLogMail.setShown(f_.chkLogMail.checked());
    f_.grbLogMailServer.setShown(f_.chkLogMail.checked());
}

void Form::cmbNetworkChange() {
    const bool enabled = f_.cmbNetwork.index() == 0;
    f_.pnlTimeOut.setShown(enabled);
    f_.grbDialup.setShown(enabled);
    f_.tabProxy.setShown(enabled);
    f_.tabKeyserver.setShown(enabled);
    updateDunPanel();
}

void Form::cmbDialupChange() {
    if (f_.cmbDialup.index() == 0) {
        f_.pnlDialup.setShown(false);
        f_.chkDUN.setChecked(false);
    } else {
        f_.pnlDialup.setShown(true);
    }
    updateDunPanel();
}

void Form::chkDUNClick() {
    updateDunPanel();
}

// The profile row is drawn over the dial-up group, so it is shown only while the
// row it belongs to is: chkDUN checked, and the dial-up group and panel shown.
void Form::updateDunPanel() {
    f_.pnlDUN.setShown(f_.chkDUN.checked() && f_.pnlDialup.shown() && f_.grbDialup.shown());
}

void Form::cmbProxyTypeChange() {
    const int item = f_.cmbProxyType.index();
    if (item < 0) return;
    f_.chkProxyUUE.setShown(item == kProxyNone || item == kProxyHttp);
    f_.pnlProxyServer.setShown(item != kProxyNone);
    f_.grbAuthorize.setShown(item != kProxyNone);
    f_.pnlProxyPass.setShown(item == kProxyHttp || item == kProxySocks5);
    if (item != kProxyNone && isSpaceAndControls(f_.txtProxyPort.text()))
        f_.txtProxyPort.setText(proxyPort(item));
}

void Form::txtProxyIPChange() {
    const bool host = !isSpaceAndControls(f_.txtProxyIP.text());
    for (Control* c : {&f_.lblProxyUser, &f_.lblProxyPass, &f_.txtProxyUser, &f_.txtProxyPass})
        c->setEnabled(host);
}

void Form::chkAutoFindClick() {
    f_.pnlKeyserverOther.setShown(!f_.chkAutoFind.checked());
}

namespace {

bool withinLimits(const Control& spin) {
    return spin.value() >= spin.minValue() && spin.value() <= spin.maxValue();
}

} // namespace

void Form::seFontXChange() {
    if (withinLimits(f_.seFontX)) f_.imgFont.setSize(f_.seFontX.value(), f_.imgFont.height());
}

void Form::seFontYChange() {
    if (withinLimits(f_.seFontY)) f_.imgFont.setSize(f_.imgFont.width(), f_.seFontY.value());
}

void Form::btnFontClick() {
    f_.chkClientMinimize.reset();
    f_.seFontX.reset();
    f_.seFontY.reset();
}

} // namespace qe
