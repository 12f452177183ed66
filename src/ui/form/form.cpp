#include "form.h"

#include "config/save_target.h"
#include "fields/text.h"

namespace qe {

Form::Form(Host& host) : host_(host), lockWait_(TargetOptions{}.lockWait) {
    installInterlocks();
}

void Form::create() {
    f_.activatePage(6);
    f_.activatePage(0);
    cleanINI();
}

void Form::cleanINI() {
    CleanINI(f_);
    syncCpuPanel();
}

void Form::type(Control& c, std::string_view text) {
    if (c.kind() == Kind::Spin && c.maxLength() > 0)
        text = startWithin(text, static_cast<std::size_t>(c.maxLength()));
    c.setText(text);
}

void Form::click(Control& c) {
    switch (c.kind()) {
    case Kind::Check:
        c.setChecked(!c.checked());
        break;
    case Kind::Radio:
        c.select();
        break;
    case Kind::Button:
        c.fire();
        break;
    default:
        break;
    }
}

void Form::pick(Control& c, int index) {
    c.setIndex(index);
    c.fire();
}

void Form::step(Control& c, int delta) {
    c.setValue(c.value() + delta);
}

} // namespace qe
