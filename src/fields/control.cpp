#include "control.h"

#include "text.h"

#include <algorithm>

namespace qe {

Control::Control(std::string name, Kind kind, Control* parent, std::string caption, unsigned flags)
    : name_(std::move(name)), kind_(kind), parent_(parent), caption_(std::move(caption)),
      flags_(flags), shown_(!(flags & Hidden)), enabled_(!(flags & Disabled)),
      checked_((flags & Checked) != 0) {
    if (parent_) parent_->children_.push_back(this);
}

bool Control::isEditorField() const {
    switch (kind_) {
    case Kind::Text:
    case Kind::Spin:
    case Kind::Check:
    case Kind::Radio:
    case Kind::Choice: {
        const Control* p = page();
        return p && p->name() != "tabExtra";
    }
    default:
        return false;
    }
}

const Control* Control::page() const {
    for (const Control* c = this; c; c = c->parent_)
        if (c->kind_ == Kind::Page) return c;
    return nullptr;
}

void Control::setShown(bool on) {
    if (shown_ == on) return;
    shown_ = on;
    if (kind_ == Kind::Page && !on) selectPageAfterHidingTab();
}

// Hiding the tab of the page in view brings the next page with a shown tab into
// view, or the last shown one when none follows.
void Control::selectPageAfterHidingTab() {
    if (!parent_ || parent_->kind_ != Kind::PageControl) return;
    const auto& pages = parent_->children_;
    const int self = static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
    if (parent_->index_ != self) return;
    for (int i = self + 1; i < static_cast<int>(pages.size()); ++i)
        if (pages[static_cast<std::size_t>(i)]->shown_) return void(parent_->index_ = i);
    for (int i = self - 1; i >= 0; --i)
        if (pages[static_cast<std::size_t>(i)]->shown_) return void(parent_->index_ = i);
}

bool Control::shownInTree() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->shown_) return false;
    return true;
}

bool Control::enabledInTree() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->enabled_) return false;
    return true;
}

void Control::setText(std::string_view text) {
    if (text_ == text) return;
    text_.assign(text);
    fire();
}

int Control::value() const {
    auto v = parseInt(text_);
    return v ? *v : min_;
}

void Control::setValue(int v) {
    setText(std::to_string(std::clamp(v, min_, max_)));
}

void Control::setLimits(int min, int max, int maxLength) {
    min_ = min;
    max_ = max;
    maxLength_ = maxLength;
}

void Control::setChecked(bool on) {
    if (checked_ == on) return;
    checked_ = on;
    if (kind_ == Kind::Check) fire();
}

void Control::select() {
    if (checked_) return;
    if (parent_)
        for (Control* sibling : parent_->children_)
            if (sibling->kind_ == Kind::Radio) sibling->checked_ = false;
    checked_ = true;
    fire();
}

void Control::setIndex(int i) {
    const std::size_t count = kind_ == Kind::PageControl ? children_.size() : items_.size();
    index_ = (i >= 0 && static_cast<std::size_t>(i) < count) ? i : -1;
}

void Control::reset() {
    switch (kind_) {
    case Kind::Text:
        setText(resetText_);
        break;
    case Kind::Spin:
        setValue(resetNumber_);
        break;
    case Kind::Check:
        setChecked(has(ResetChecked));
        break;
    case Kind::Radio:
        if (has(ResetChecked))
            select();
        else
            setChecked(false);
        break;
    case Kind::Choice:
        setIndex(resetNumber_);
        break;
    default:
        break;
    }
}

void Control::fire() const {
    if (handler_) handler_();
}

} // namespace qe
