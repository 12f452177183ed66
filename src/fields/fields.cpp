#include "fields.h"

#include "keys.h"

namespace qe {
namespace {

// Read right after the layout text is set, so Layout gives the layout value.
std::optional<int> blankValue(Blank blank, const Control& spin) {
    switch (blank) {
    case Blank::Min:
        return spin.minValue();
    case Blank::Layout:
        return spin.value();
    case Blank::Kept:
        break;
    }
    return std::nullopt;
}

} // namespace

Fields::Fields() {
    all_.push_back(&pgcMain);
#define QE_CONTROL(name, kind, parent, caption, flags) all_.push_back(&name);
#define QE_SPIN(name, parent, min, max, maxLength, text, blank, unit, flags)                       \
    all_.push_back(&name);                                                                         \
    name.setLimits(min, max, maxLength);                                                           \
    name.setText(text);                                                                            \
    name.setBlankValue(blankValue(Blank::blank, name));                                            \
    name.setUnit(unit);
#define QE_CHOICE(name, parent, flags, ...)                                                        \
    all_.push_back(&name);                                                                         \
    name.setItems({__VA_ARGS__});
#include "controls.def"
#undef QE_CONTROL
#undef QE_SPIN
#undef QE_CHOICE
    imgFont.setSize(10, 16);
    pgcMain.setIndex(0);
}

Control* Fields::find(std::string_view name) const {
    for (Control* c : all_)
        if (c->name() == name) return c;
    return nullptr;
}

bool Fields::activatePage(int index) {
    if (index < 0 || index >= pageCount() || !page(index).shown()) return false;
    pgcMain.setIndex(index);
    return true;
}

void CleanINI(Fields& f) {
    f.txtID.setText("");
    f.seWorkComplete.setText("0");
    f.seHours.setValue(0);
    f.seMinuts.setValue(0);
    f.cmbRC5.setIndex(0);
    f.cmbOGR.setIndex(1);
    f.chkRC5.setChecked(false);
    f.chkOGR.setChecked(false);
    f.chkRestart.setChecked(false);
    f.chkExitFile.setChecked(true);
    f.txtExitFile.setText(key::exitFlagFilename.def);
    f.txtPauseFile.setText("");
    f.txtPauseProgram.setText("");
    f.chkTemperature.setChecked(false);
    f.rbPausekelvin.select();
    f.sePauseTemp.setValue(0);
    f.rbResumeKelvin.select();
    f.seResumeTemp.setValue(0);
    f.chkBattery.setChecked(true);
    f.chkHideClient.setChecked(false);
    f.cmbProgress.setIndex(0);
    f.cmbSystem.setIndex(0);
    f.chkForceCPU.setChecked(false);
    f.sePriority.setValue(0);
    f.seRC5WorkFetch.setValue(0);
    f.seRC5Hours.setValue(0);
    f.cmbRC5BlockSize.setIndex(0);
    f.cmbRC5Core.setIndex(0);
    f.seOGRWorkFetch.setValue(0);
    f.cmbOGRCore.setIndex(0);
    f.chkBufferMem.setChecked(false);
    f.txtBufferIn.setText(key::bufferFileBasename.def);
    f.txtBufferOut.setText(key::outputFileBasename.def);
    f.txtBufferCheck.setText("");
    f.chkBufferRemote.setChecked(false);
    f.txtBufferRemote.setText("");
    f.cmbBufferLevel.setIndex(0);
    f.cmbBufferLevel.fire();
    f.seBufferHours.setValue(0);
    f.seBufferMinuts.setValue(0);
    f.cmbLogType.setIndex(0);
    f.cmbLogType.fire();
    f.txtLogFile.setText("");
    f.seLogSize.setValue(0);
    f.chkLogMail.setChecked(false);
    f.txtLogMailSender.setText(f.txtID.text());
    f.txtLogMailReceiver.setText(f.txtID.text());
    f.txtLogMailIP.setText("");
    f.txtLogMailPort.setText(key::mailLogVia.port);
    f.cmbNetwork.setIndex(0);
    f.cmbNetwork.fire();
    f.seTimeOut.setValue(key::nettimeout.number());
    f.cmbDialup.setIndex(0);
    f.cmbDialup.fire();
    f.txtInterfaces.setText("");
    f.chkDUN.setChecked(false);
    f.txtDUN.setText("");
    f.cmbProxyType.setIndex(0);
    f.cmbProxyType.fire();
    f.txtProxyIP.setText("");
    f.txtProxyPort.setText("");
    f.chkProxyUUE.setChecked(false);
    f.chkAutoFind.setChecked(true);
    f.chkFallback.setChecked(true);
    f.txtKeyserverIP.setText("");
    f.txtKeyserverPort.setText(key::keyserver.port);
    f.txtProxyUser.setText("");
    f.txtProxyPass.setText("");
}

} // namespace qe
