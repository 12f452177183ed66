#include "editor.h"

#include "screen_text.h"

#include "config/check_config.h"
#include "fields/version.h"
#include "ui/form/changed_file.h"
#include "ui/form/page_keys.h"
#include "ui/form/tooltip.h"

#include <curses.h>
#include <sys/stat.h>

#include <algorithm>
#include <cwctype>

namespace qe::tui {
namespace {

constexpr wchar_t ctrl(char letter) {
    return static_cast<wchar_t>(letter - 'A' + 1);
}

bool existsAsTyped(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0;
}

// What the spin field lets be typed, as the window's filters it: digits, signs
// and the decimal point, and nothing once MaxLength characters stand there.
bool spinAccepts(const Control& spin, const std::wstring& text, wchar_t c) {
    if (spin.maxLength() > 0 && static_cast<int>(text.size()) >= spin.maxLength()) return false;
    return std::iswdigit(static_cast<wint_t>(c)) || c == L'+' || c == L'-' || c == L'.';
}

bool isField(const Control& c) {
    switch (c.kind()) {
    case Kind::Text:
    case Kind::Spin:
    case Kind::Check:
    case Kind::Radio:
    case Kind::Choice:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string appTitle() {
    return std::string("QuenbyEditor ") + kVersion;
}

Editor::Editor(Terminal& terminal)
    : terminal_(terminal), modal_{terminal, [this] { draw(); }}, form_(*this) {
    run([this] { form_.create(); });
}

void Editor::start(const std::string& file) {
    if (!file.empty()) run([&] { form_.openFile(file); });
}

void Editor::run(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        showAppError(e);
    }
    fixFocus();
}

void Editor::showAppError(const std::exception& e) {
    ask(appTitle(), errorBoxText(e), {"OK"}, 0, 0);
}

int Editor::ask(const std::string& title, const std::string& text,
                const std::vector<std::string>& buttons, int defaultButton, int escapeButton) {
    draw();
    return askButtons(modal_, title, toScreen(text), buttons, defaultButton, escapeButton);
}

bool Editor::handle(const Key& key) {
    if (key.kind == Key::Kind::Resize) return true;
    if (isChar(key, ctrl('C'))) return false;
    if (tooSmall()) return true;
    if (!handleCommandKey(key)) handleFieldKey(key);
    return !closing_;
}

// The keys that work wherever the focus is: menus, commands, pages, Tab.
bool Editor::handleCommandKey(const Key& key) {
    Fields& f = form_.fields();
    const bool letter =
        key.kind == Key::Kind::Char && std::iswalpha(static_cast<wint_t>(key.ch)) && key.ch < 128;
    const bool takesNoTyping =
        focus_ && (focus_->kind() == Kind::Check || focus_->kind() == Kind::Radio ||
                   focus_->kind() == Kind::Button);
    if (key.kind == Key::Kind::Click)
        handleClick(key);
    else if (isChar(key, ctrl('O')))
        run([this] { form_.open(); });
    else if (isChar(key, ctrl('S')))
        run([this] { form_.save(); });
    else if (isSpecial(key, KEY_F(10)) || (key.alt && (key.ch == L'f' || key.ch == L'F')))
        openMenu(0);
    else if (key.alt && (key.ch == L'h' || key.ch == L'H'))
        openMenu(1);
    else if (isSpecial(key, KEY_F(1)))
        showTooltip();
    else if (isSpecial(key, kNextPage))
        switchPage(steppedPage(f, 1));
    else if (isSpecial(key, kPreviousPage))
        switchPage(steppedPage(f, -1));
    else if (letter && (key.alt || takesNoTyping)) {
        const int page = pageOfAccelerator(f, static_cast<char>(key.ch));
        if (page < 0) return key.alt;
        switchPage(page);
    } else if (isChar(key, L'\t'))
        moveFocus(1);
    else if (isSpecial(key, KEY_BTAB))
        moveFocus(-1);
    else
        return false;
    return true;
}

void Editor::handleFieldKey(const Key& key) {
    if (!focus_) return;
    Control& c = *focus_;
    const bool press = isChar(key, L' ') || isEnter(key);
    switch (c.kind()) {
    case Kind::Spin:
        if (isSpecial(key, KEY_UP) || isSpecial(key, KEY_DOWN)) {
            run([&] { form_.step(c, isSpecial(key, KEY_UP) ? 1 : -1); });
            return;
        }
        [[fallthrough]];
    case Kind::Text:
        if (editLine(c, key)) return;
        break;
    case Kind::Radio:
        if (isSpecial(key, KEY_LEFT) || isSpecial(key, KEY_UP) || isSpecial(key, KEY_RIGHT) ||
            isSpecial(key, KEY_DOWN)) {
            const bool back = isSpecial(key, KEY_LEFT) || isSpecial(key, KEY_UP);
            return stepRadio(c, back ? -1 : 1);
        }
        [[fallthrough]];
    case Kind::Check:
    case Kind::Button:
        if (isChar(key, L' ') || (c.kind() == Kind::Button && isEnter(key))) {
            run([&] { form_.click(c); });
            return;
        }
        break;
    case Kind::Choice:
        if (press) {
            openChoiceList(c);
            return;
        }
        break;
    default:
        break;
    }
    if (isSpecial(key, KEY_DOWN)) moveFocus(1);
    if (isSpecial(key, KEY_UP)) moveFocus(-1);
}

// Typing in a text or spin field: the whole new text goes to the form, which may
// cut it; the field then shows what the form holds.
bool Editor::editLine(Control& c, const Key& key) {
    LineEdit edited = line_;
    edited.text = toScreen(c.text());
    const bool noTyping = c.has(NoTyping) || c.has(ReadOnly);
    if (noTyping && (isPrintable(key) || isChar(key, 127) || isChar(key, 8) ||
                     isSpecial(key, KEY_BACKSPACE) || isSpecial(key, KEY_DC)))
        return true;
    const std::wstring before = edited.text;
    const bool taken = edited.apply(
        key, [&](wchar_t ch) { return c.kind() != Kind::Spin || spinAccepts(c, before, ch); });
    if (!taken) return false;
    line_ = edited;
    if (edited.text != before) run([&] { form_.type(c, fromScreen(edited.text, c.text())); });
    return true;
}

void Editor::handleClick(const Key& key) {
    const auto hit = std::find_if(hits_.begin(), hits_.end(), [&](const Hit& h) {
        return h.y == key.y && key.x >= h.left && key.x < h.right;
    });
    if (hit == hits_.end()) return;
    const Hit h = *hit;
    if (h.what == Hit::What::Menu) return openMenu(h.index);
    if (h.what == Hit::What::Tab) return switchPage(h.index);
    Control& c = *h.control;
    if (!c.enabledInTree()) return;
    if (&c != focus_) {
        if (!leaveField()) return;
        setFocus(&c);
    }
    if (h.what == Hit::What::StepUp || h.what == Hit::What::StepDown)
        run([&] { form_.step(c, h.what == Hit::What::StepUp ? 1 : -1); });
    else if (c.kind() == Kind::Check || c.kind() == Kind::Radio || c.kind() == Kind::Button)
        run([&] { form_.click(c); });
    else if (c.kind() == Kind::Choice)
        openChoiceList(c);
}

void Editor::setFocus(Control* c) {
    if (c != focus_) line_ = {c ? toScreen(c->text()) : std::wstring(), c ? c->text().size() : 0};
    if (c) line_.cursor = toScreen(c->text()).size();
    focus_ = c;
}

// The leave rule of the focused field; false when the focus must stay in it.
bool Editor::leaveField() {
    if (!focus_ || !isField(*focus_)) return true;
    bool back = false;
    Control& c = *focus_;
    run([&] { back = form_.leave(c); });
    if (back) setFocus(&c);
    return !back;
}

std::vector<Control*> Editor::currentOrder() const {
    const Fields& f = form_.fields();
    return focusOrder(layoutPage(f.page(f.activePage())));
}

// Tab and Shift+Tab: the next tab stop either way, wrapping around the page.
void Editor::moveFocus(int delta) {
    if (!leaveField()) return;
    const std::vector<Control*> order = currentOrder();
    const auto at = std::find(order.begin(), order.end(), focus_);
    const int count = static_cast<int>(order.size());
    const int from =
        at == order.end() ? (delta > 0 ? -1 : count) : static_cast<int>(at - order.begin());
    for (int k = 1; k <= count; ++k) {
        Control* next =
            order[static_cast<std::size_t>(((from + delta * k) % count + count) % count)];
        if (isTabStop(*next)) return setFocus(next);
    }
    setFocus(nullptr);
}

// The arrow keys on a radio field select its neighbour in the box, as the
// window's radio buttons do.
void Editor::stepRadio(Control& radio, int delta) {
    Control* next = radioBeside(radio, delta);
    if (!next || !leaveField()) return;
    setFocus(next);
    run([&] { form_.click(*next); });
}

Control* Editor::firstTabStop() const {
    for (Control* c : currentOrder())
        if (isTabStop(*c)) return c;
    return nullptr;
}

// After any action: a focused field the model has hidden, disabled or taken to
// another page gives the focus to the first field of the page in view.
void Editor::fixFocus() {
    const std::vector<Control*> order = currentOrder();
    if (std::find(order.begin(), order.end(), focus_) != order.end()) return;
    setFocus(firstTabStop());
}

// The page control takes the focus first: the field's leave rule may refuse.
void Editor::switchPage(int index) {
    if (!leaveField()) return;
    Fields& f = form_.fields();
    if (index == f.activePage()) return;
    run([&] { f.activatePage(index); });
    top_ = 0;
    setFocus(firstTabStop());
}

// Brings the control's page into view when its tab is shown, then focuses the
// control when it is on screen and enabled, as the window does.
bool Editor::focus(Control& control) {
    Fields& f = form_.fields();
    if (const Control* page = control.page(); page && page->shown())
        for (int i = 0; i < f.pageCount(); ++i)
            if (&f.page(i) == page) f.activatePage(i);
    const std::vector<Control*> order = currentOrder();
    if (std::find(order.begin(), order.end(), &control) == order.end()) return false;
    setFocus(&control);
    return true;
}

std::optional<std::string> Editor::chooseOpenFile(const std::string& lastName) {
    draw();
    const auto name = askLine(
        modal_, "Open", "File to open (ini files, *.ini):", toScreen(lastName),
        [](const std::wstring&) { return true; }, true);
    if (!name) return std::nullopt;
    const std::string bytes = fromScreen(*name, lastName);
    return bytes.empty() ? bytes : withIniExtension(bytes, existsAsTyped(bytes));
}

std::optional<std::string> Editor::chooseSaveFile(const std::string& lastName,
                                                  const std::string& startFolder) {
    std::string proposed = lastName;
    if (proposed.empty() && !startFolder.empty())
        proposed = startFolder.back() == '/' ? startFolder : startFolder + "/";
    draw();
    const auto name = askLine(
        modal_, "Save", "Save as (ini files, *.ini):", toScreen(proposed),
        [](const std::wstring&) { return true; }, true);
    if (!name) return std::nullopt;
    const std::string bytes = fromScreen(*name, proposed);
    return bytes.empty() ? bytes : withIniExtension(bytes, existsAsTyped(bytes));
}

// OK only for a text that satisfies the ID rule; Esc does nothing, as in the
// window, where Cancel is not the cancel button. A text confirmed as shown
// keeps its bytes.
std::optional<std::string> Editor::askID(const std::string& text) {
    draw();
    const std::wstring shown = toScreen(text);
    const auto entered = askLine(
        modal_, "ID", "Please insert a valid ID (E-Mail):", shown,
        [&](const std::wstring& t) { return satisfiesIdRule(fromScreen(t, text)); }, false);
    if (!entered) return std::nullopt;
    return *entered == shown ? text : fromScreen(*entered, text);
}

void Editor::showError(const std::string& message) {
    ask("Error", message, {"OK"}, 0, 0);
}

// Cancel is the default: Enter and Esc write nothing.
bool Editor::confirmOverwrite(const ChangedFile& changed) {
    return ask(appTitle(), overwriteQuestion(changed), {"Cancel", "Overwrite"}, 0, 0) == 1;
}

// While Save takes the file's lock, waiting for another writer, and writes.
void Editor::showBusy(bool busy) {
    drawKeyLine(busy ? "Saving... (waits while another program holds the file)" : nullptr);
    refresh();
}

void Editor::showTooltip() {
    if (!focus_) return;
    const std::string tip = fieldTooltip(*focus_);
    if (!tip.empty()) ask(focus_->name(), tip, {"OK"}, 0, 0);
}

void Editor::showAbout() {
    ask("About...",
        appTitle() + "\n\n Programming:\n   Mara Quill   mara.quill@example.org\n Graphics:\n"
                     "   Tobin Ashgrove (icons and pictures)\n Additional thanks to:\n"
                     "   Ilse Varga, for testing every page\n"
                     "   The Northfield team, for their config files",
        {"Close"}, 0, 0);
}

} // namespace qe::tui
