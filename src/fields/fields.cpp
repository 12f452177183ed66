#include "fields.h"

#include "keys.h"

#include <initializer_list>

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
#define QE_TEXT(name, parent, flags, reset)                                                        \
    all_.push_back(&name);                                                                         \
    name.setResetText(reset);
#define QE_SPIN(name, parent, min, max, maxLength, text, blank, unit, flags)                       \
    all_.push_back(&name);                                                                         \
    name.setLimits(min, max, maxLength);                                                           \
    name.setText(text);                                                                            \
    name.setResetNumber(name.value());                                                             \
    name.setBlankValue(blankValue(Blank::blank, name));                                            \
    name.setUnit(unit);
#define QE_CHOICE(name, parent, flags, reset, ...)                                                 \
    all_.push_back(&name);                                                                         \
    name.setItems({__VA_ARGS__});                                                                  \
    name.setResetNumber(reset);
#include "controls.def"
#undef QE_CONTROL
#undef QE_TEXT
#undef QE_SPIN
#undef QE_CHOICE
    // The preview shows one character at the font size the two spin fields give.
    imgFont.setSize(seFontX.value(), seFontY.value());
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

namespace {

void reset(std::initializer_list<Control*> fields) {
    for (Control* c : fields)
        c->reset();
}

} // namespace

void CleanINI(Fields& f) {
    reset({&f.txtID,           &f.seWorkComplete, &f.seHours,         &f.seMinuts,
           &f.cmbRC5,          &f.cmbOGR,         &f.chkRC5,          &f.chkOGR,
           &f.chkRestart,      &f.chkExitFile,    &f.txtExitFile,     &f.txtPauseFile,
           &f.txtPauseProgram, &f.chkTemperature, &f.rbPausekelvin,   &f.sePauseTemp,
           &f.rbResumeKelvin,  &f.seResumeTemp,   &f.chkBattery,      &f.chkHideClient,
           &f.cmbProgress,     &f.cmbSystem,      &f.chkForceCPU,     &f.sePriority,
           &f.seRC5WorkFetch,  &f.seRC5Hours,     &f.cmbRC5BlockSize, &f.cmbRC5Core,
           &f.seOGRWorkFetch,  &f.cmbOGRCore,     &f.chkBufferMem,    &f.txtBufferIn,
           &f.txtBufferOut,    &f.txtBufferCheck, &f.chkBufferRemote, &f.txtBufferRemote,
           &f.cmbBufferLevel});
    f.cmbBufferLevel.fire();
    reset({&f.seBufferHours, &f.seBufferMinuts, &f.cmbLogType});
    f.cmbLogType.fire();
    reset({&f.txtLogFile, &f.seLogSize, &f.chkLogMail});
    // The mail addresses default to the ID, which is empty by now.
    f.txtLogMailSender.setText(f.txtID.text());
    f.txtLogMailReceiver.setText(f.txtID.text());
    reset({&f.txtLogMailIP, &f.txtLogMailPort, &f.cmbNetwork});
    f.cmbNetwork.fire();
    reset({&f.seTimeOut, &f.cmbDialup});
    f.cmbDialup.fire();
    reset({&f.txtInterfaces, &f.chkDUN, &f.txtDUN, &f.cmbProxyType});
    f.cmbProxyType.fire();
    reset({&f.txtProxyIP, &f.txtProxyPort, &f.chkProxyUUE, &f.chkAutoFind, &f.chkFallback,
           &f.txtKeyserverIP, &f.txtKeyserverPort, &f.txtProxyUser, &f.txtProxyPass});
}

} // namespace qe
