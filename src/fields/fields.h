// The controls of the main window, each a typed member named by its control name,
// declared once in controls.def.
#pragma once

#include "control.h"

#include <string_view>
#include <vector>

namespace qe {

struct Fields {
    Fields();
    Fields(const Fields&) = delete;
    Fields& operator=(const Fields&) = delete;

    Control pgcMain{"pgcMain", Kind::PageControl, nullptr, "", None};
#define QE_CONTROL(name, kind, parent, caption, flags)                                             \
    Control name{#name, Kind::kind, &parent, caption, flags};
#define QE_TEXT(name, parent, flags, reset) Control name{#name, Kind::Text, &parent, "", flags};
#define QE_SPIN(name, parent, min, max, maxLength, text, blank, unit, flags)                       \
    Control name{#name, Kind::Spin, &parent, "", flags};
#define QE_CHOICE(name, parent, flags, reset, ...)                                                 \
    Control name{#name, Kind::Choice, &parent, "", flags};
#include "controls.def"
#undef QE_CONTROL
#undef QE_TEXT
#undef QE_SPIN
#undef QE_CHOICE

    // Every control above, pgcMain first, in declaration order.
    const std::vector<Control*>& all() const {
        return all_;
    }
    // The control of that name, or nullptr.
    Control* find(std::string_view name) const;

    // The page in view (an index into pgcMain's pages).
    int activePage() const {
        return pgcMain.index();
    }
    // Brings a page into view; a page whose tab is hidden cannot be, and the call
    // then changes nothing and returns false.
    bool activatePage(int index);
    Control& page(int index) const {
        return *pgcMain.children().at(static_cast<std::size_t>(index));
    }
    int pageCount() const {
        return static_cast<int>(pgcMain.children().size());
    }

private:
    std::vector<Control*> all_;
};

// Resets every editor field to the value the control table gives it, in the
// fixed order the client's editor always used, running the five choice fields'
// change handlers after setting them. seCPU, rbLogNumber, rbLogPeriod,
// seLogNumber, cmbLogPeriod and seLogMailSize are left as they are.
void CleanINI(Fields& f);

} // namespace qe
