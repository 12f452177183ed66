// What a screen reader sees of the page control's tab rows: a page tab list with
// one page tab per shown tab, named by its caption, the current one selected.
#pragma once

namespace qe {

class TabRows;

// Makes QAccessible describe every TabRows so; safe to call more than once.
void installPageTabsAccessible();

// Tells assistive tools that the selected tab changed.
void notifyCurrentTab(TabRows* tabs, int index);

} // namespace qe
