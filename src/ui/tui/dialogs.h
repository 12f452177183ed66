// The modal boxes: a message with buttons, and a line to fill in. Each draws
// over the screen, answers only its own keys, and gives the caller the answer.
#pragma once

#include "terminal.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qe::tui {

struct Modal {
    Terminal& terminal;
    // Draws the screen behind the box again, after a resize.
    std::function<void()> drawBehind;
};

// A box with a title, the text (lines at "\n", "\r" dropped, tabs expanded) and
// a row of buttons. Enter presses the focused button (the default one at
// first), Esc the escape button (-1: Esc does nothing); Tab, Left and Right
// move between the buttons; a click presses one. Returns the button's index.
int askButtons(Modal& modal, const std::string& title, const std::wstring& text,
               const std::vector<std::string>& buttons, int defaultButton, int escapeButton);

// A box with a prompt, a line to edit and the buttons OK and Cancel. OK (also
// Enter in the line) answers only while okAllowed holds for the text; Esc
// cancels when escapeCancels. nullopt on Cancel.
std::optional<std::wstring> askLine(Modal& modal, const std::string& title,
                                    const std::string& prompt, const std::wstring& initial,
                                    const std::function<bool(const std::wstring&)>& okAllowed,
                                    bool escapeCancels);

} // namespace qe::tui
