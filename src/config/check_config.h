// The check that runs before every save.
#pragma once

#include "fields/fields.h"

#include <optional>
#include <string>
#include <string_view>

namespace qe {

// What the check asks of the window.
class CheckHost {
public:
    virtual ~CheckHost() = default;
    // The ID prompt, started with text: the entered text on OK, nullopt on Cancel.
    virtual std::optional<std::string> askID(const std::string& text) = 0;
    // The standard error dialog: caption "Error", error icon, one OK.
    virtual void showError(const std::string& message) = 0;
    // Moves the keyboard focus into the control (bringing its page into view when
    // its tab is shown); false when the control cannot take the focus.
    virtual bool focus(Control& control) = 0;
};

// Not blank, holds "@", and a "." follows the first "@" with at least one character
// between them. The last two tests look at the untrimmed text.
bool satisfiesIdRule(std::string_view id);

// The message for a text with a character that file names cannot hold.
extern const char* const kFileNameMessage;

// True when text holds none of * ? " < > |; otherwise shows kFileNameMessage.
bool ValidStr(std::string_view text, CheckHost& host);

// Checks and corrects the fields before a save; true when the save may go on.
bool CheckConfig(Fields& f, CheckHost& host);

} // namespace qe
