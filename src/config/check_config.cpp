// The pre-save check: it corrects what it can, asks for the ID when it must, and
// refuses file names the client could not use. Its corrections stay in the fields
// whether it passes or not.
#include "check_config.h"

#include "fields/keys.h"
#include "fields/text.h"

#include <vector>

namespace qe {

const char* const kFileNameMessage =
    "The following symbols are not allowed to be used in filenames:\r\n\t* ? \" < > |";

bool satisfiesIdRule(std::string_view id) {
    if (isSpaceAndControls(id)) return false;
    const std::size_t at = id.find('@');
    if (at == std::string_view::npos) return false;
    // At least one character between the first "@" and the first "." after it.
    const std::size_t dot = id.find('.', at + 1);
    return dot != std::string_view::npos && dot > at + 1;
}

bool ValidStr(std::string_view text, CheckHost& host) {
    if (text.find_first_of("*?\"<>|") == std::string_view::npos) return true;
    host.showError(kFileNameMessage);
    return false;
}

namespace {

// The ID prompt, only when the ID breaks the rule. OK takes the entered text as
// it is, blanks included; Cancel keeps the old ID and fails the check.
bool askForValidId(Fields& f, CheckHost& host) {
    if (satisfiesIdRule(f.txtID.text())) return true;
    const std::optional<std::string> answer = host.askID(f.txtID.text());
    if (!answer) return false;
    f.txtID.setText(*answer);
    return true;
}

void fillIfBlank(Control& field, std::string_view text) {
    if (isSpaceAndControls(field.text())) field.setText(text);
}

// Blank mail-logging fields take the ID, whether mail logging is on or not, so
// that a later switch-on has sensible values.
void fillMailLogging(Fields& f) {
    const std::string id = f.txtID.text();
    const std::size_t at = id.find('@');
    fillIfBlank(f.txtLogMailSender, id);
    fillIfBlank(f.txtLogMailReceiver, id);
    fillIfBlank(f.txtLogMailIP, at == std::string::npos ? id : id.substr(at + 1));
    fillIfBlank(f.txtLogMailPort, key::mailLogVia.port);
}

// The spin fields marked CheckMax, each brought down to its MaxValue; values below
// MinValue and text that does not convert are left for the client to judge. None
// of them has a handler, so the order does not matter.
void bringDownToLimits(Fields& f) {
    for (Control* c : f.all())
        if (c->has(CheckMax) && c->value() > c->maxValue()) c->setValue(c->maxValue());
}

// The fields marked NamesFile, in the order the check has always tested them:
// the pages from the last to the first, each page's fields in focus order. The
// focus ends on the last bad one.
std::vector<Control*> fileNameFields(const Fields& f) {
    std::vector<Control*> fields;
    for (int page = f.pageCount() - 1; page >= 0; --page)
        for (Control* c : f.all())
            if (c->has(NamesFile) && c->page() == &f.page(page)) fields.push_back(c);
    return fields;
}

// Every field is tested, shown or not. The focus request may be refused by the
// window (see CheckHost::focus); the message and the failure stand either way.
bool checkFileNames(Fields& f, CheckHost& host) {
    bool pass = true;
    for (Control* c : fileNameFields(f)) {
        if (ValidStr(c->text(), host)) continue;
        host.focus(*c);
        pass = false;
    }
    return pass;
}

} // namespace

bool CheckConfig(Fields& f, CheckHost& host) {
    bool pass = askForValidId(f, host);
    fillMailLogging(f);
    if (isSpaceAndControls(f.txtKeyserverIP.text())) f.chkAutoFind.setChecked(true);
    bringDownToLimits(f);
    if (!checkFileNames(f, host)) pass = false;
    return pass;
}

} // namespace qe
