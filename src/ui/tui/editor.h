// The editor in a terminal: the form's pages drawn with curses, keys and clicks
// turned into the form's verbs, and the form's dialogs as modal boxes. Like the
// window, it decides nothing itself: every value, shown and enabled flag comes
// from the form after each action.
#pragma once

#include "dialogs.h"
#include "line_edit.h"
#include "page_layout.h"
#include "terminal.h"

#include "ui/form/form.h"

#include <functional>
#include <string>
#include <vector>

namespace qe::tui {

// The name and version: the menu bar's title and the general error box's caption.
std::string appTitle();

class Editor final : public Host {
public:
    explicit Editor(Terminal& terminal);

    // Opens file, when not empty, as the window opens a file named on its
    // command line.
    void start(const std::string& file);
    // Takes one key, click or resize; false once the editor is to close.
    bool handle(const Key& key);
    void draw();

    // A modal question: title, text and buttons; Enter answers the default
    // button, Esc the escape button (-1: none). The index of the answer.
    int ask(const std::string& title, const std::string& text,
            const std::vector<std::string>& buttons, int defaultButton, int escapeButton);

    // Host
    std::optional<std::string> chooseOpenFile(const std::string& lastName) override;
    std::optional<std::string> chooseSaveFile(const std::string& lastName,
                                              const std::string& startFolder) override;
    std::optional<std::string> askID(const std::string& text) override;
    void showError(const std::string& message) override;
    bool focus(Control& control) override;
    bool confirmOverwrite(const ChangedFile& changed) override;
    void showBusy(bool busy) override;

private:
    // What a click on the screen reaches, recorded while drawing.
    struct Hit {
        enum class What { Menu, Tab, Field, StepUp, StepDown } what;
        int y, left, right; // columns left..right-1
        int index;          // Menu, Tab
        Control* control;   // Field, StepUp, StepDown
    };

    void run(const std::function<void()>& action);
    void showAppError(const std::exception& e);
    bool handleCommandKey(const Key& key);
    void handleFieldKey(const Key& key);
    void handleClick(const Key& key);
    bool editLine(Control& c, const Key& key);

    // Focus and pages.
    void setFocus(Control* c);
    bool leaveField();
    void moveFocus(int delta);
    void stepRadio(Control& radio, int delta);
    Control* firstTabStop() const;
    void fixFocus();
    void switchPage(int index);
    std::vector<Control*> currentOrder() const;

    // Commands and boxes.
    void openMenu(int menu);
    void runMenuEntry(int menu, int entry);
    void openChoiceList(Control& c);
    void showTooltip();
    void showAbout();

    // Drawing, in editor_draw.cpp.
    bool tooSmall() const;
    void drawMenuBar();
    int drawTabs(int top);
    void drawPage(int top, int bottom);
    void drawLine(const Line& line, int y, int fieldColumn);
    int drawField(Control& c, int y, int x, int right);
    void drawKeyLine(const char* text = nullptr);
    void scrollToFocus(int height);

    Terminal& terminal_;
    Modal modal_;
    Form form_;
    Control* focus_ = nullptr;
    LineEdit line_;     // the focused text or spin field's cursor and scroll
    int top_ = 0;       // the first line of the page in view
    PageLayout layout_; // the page in view, as last drawn
    std::vector<Hit> hits_;
    int cursorY_ = -1, cursorX_ = -1;
    bool closing_ = false;
};

} // namespace qe::tui
