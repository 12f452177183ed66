#include "page_layout.h"

#include <algorithm>

namespace qe::tui {
namespace {

bool takesValue(const Control& c) {
    return c.kind() == Kind::Text || c.kind() == Kind::Spin || c.kind() == Kind::Choice;
}

bool onlyRadios(const Control& box) {
    const auto& kids = box.children();
    return !kids.empty() && std::all_of(kids.begin(), kids.end(),
                                        [](const Control* c) { return c->kind() == Kind::Radio; });
}

int memoLines(const Control& memo) {
    return static_cast<int>(std::count(memo.caption().begin(), memo.caption().end(), '\n')) + 1;
}

class Builder {
public:
    PageLayout layout;

    void addChildren(const Control& box, int depth) {
        const auto& kids = box.children();
        for (std::size_t i = 0; i < kids.size(); ++i) {
            Control& c = *kids[i];
            if (!c.shown()) continue;
            Control* next = i + 1 < kids.size() ? kids[i + 1] : nullptr;
            if (c.kind() == Kind::Label && next && next->shown() && takesValue(*next)) {
                add({Line::What::Field, depth, &c, {next}});
                ++i;
            } else {
                addControl(c, depth);
            }
        }
    }

private:
    void add(Line line) {
        if (line.what == Line::What::Field && line.caption)
            layout.captionCells =
                std::max(layout.captionCells, static_cast<int>(line.caption->caption().size()));
        layout.lines.push_back(std::move(line));
    }

    void addControl(Control& c, int depth) {
        switch (c.kind()) {
        case Kind::Box:
            addBox(c, depth);
            break;
        case Kind::Label:
            add({Line::What::Heading, depth, &c, {}});
            break;
        case Kind::Memo:
            for (int k = 0; k < memoLines(c); ++k)
                add({Line::What::Heading, depth, &c, {}, k});
            break;
        case Kind::Image:
            break;
        default:
            add({Line::What::Field, depth, nullptr, {&c}});
            break;
        }
    }

    void addBox(Control& box, int depth) {
        if (onlyRadios(box)) {
            Line radios{Line::What::Radios, depth, nullptr, {}};
            for (Control* r : box.children())
                if (r->shown()) radios.fields.push_back(r);
            add(std::move(radios));
            return;
        }
        const bool framed = box.has(Framed) || box.has(Group);
        if (framed) add({Line::What::FrameTop, depth, &box, {}});
        addChildren(box, framed ? depth + 1 : depth);
        if (framed) add({Line::What::FrameBottom, depth, &box, {}});
    }
};

} // namespace

PageLayout layoutPage(const Control& page) {
    Builder b;
    b.addChildren(page, 0);
    return std::move(b.layout);
}

std::vector<Control*> focusOrder(const PageLayout& layout) {
    std::vector<Control*> order;
    for (const Line& line : layout.lines)
        for (Control* c : line.fields)
            if (c->enabledInTree() && !c->has(ReadOnly)) order.push_back(c);
    return order;
}

namespace {

std::vector<Control*> radiosOf(const Control& box) {
    std::vector<Control*> radios;
    for (Control* c : box.children())
        if (c->kind() == Kind::Radio && c->shownInTree() && c->enabledInTree()) radios.push_back(c);
    return radios;
}

} // namespace

bool isTabStop(const Control& c) {
    if (c.kind() != Kind::Radio) return true;
    const std::vector<Control*> radios = radiosOf(*c.parent());
    const auto selected =
        std::find_if(radios.begin(), radios.end(), [](const Control* r) { return r->checked(); });
    return selected != radios.end() ? *selected == &c : radios.front() == &c;
}

Control* radioBeside(const Control& radio, int delta) {
    const std::vector<Control*> radios = radiosOf(*radio.parent());
    const auto at = std::find(radios.begin(), radios.end(), &radio);
    if (at == radios.end()) return nullptr;
    const auto next = (at - radios.begin()) + delta;
    return next >= 0 && next < static_cast<long>(radios.size())
               ? radios[static_cast<std::size_t>(next)]
               : nullptr;
}

std::string shownCaption(const std::string& caption) {
    std::string shown;
    for (std::size_t i = 0; i < caption.size(); ++i)
        if (caption[i] != '&' || ++i < caption.size()) shown += caption[i];
    return shown;
}

} // namespace qe::tui
