// The page control's keys, decided over the model's tabs: which page Ctrl+Tab,
// Ctrl+Shift+Tab and an underlined letter select. Only pages whose tab is shown
// count; the window switches to the page these name.
#pragma once

#include "fields/fields.h"

namespace qe {

// The page delta steps away from the page in view (+1 the next, -1 the previous),
// counting only pages whose tab is shown and wrapping around at either end; the
// page in view itself when no other tab is shown.
int steppedPage(const Fields& f, int delta);

// The first page, in page order, whose tab is shown and whose caption underlines
// letter (in either case); -1 when there is none.
int pageOfAccelerator(const Fields& f, char letter);

// The underlined letter of a caption ("Pro&xy Server" gives 'X'), upper case, or
// 0 when the caption has none.
char acceleratorOf(const std::string& caption);

} // namespace qe
