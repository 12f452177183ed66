#include "page_tabs_accessible.h"

#include "page_control.h"
#include "ui/form/page_keys.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <map>

namespace qe {
namespace {

// One tab, addressed by its index among all tabs; the list names it by its place
// among the shown ones.
class PageTab : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTab(TabRows* tabs, int index) : tabs_(tabs), index_(index) {}

    bool isValid() const override { return tabs_ && index_ < tabs_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(tabs_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        switch (t) {
        case QAccessible::Name:
            return withoutMnemonic(tabs_->caption(index_));
        case QAccessible::Accelerator: {
            const char letter = acceleratorOf(tabs_->caption(index_).toStdString());
            return letter == 0 ? QString() : QStringLiteral("Alt+") + QLatin1Char(letter);
        }
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = tabs_->tabRect(index_);
        return QRect(tabs_->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid() || !tabs_->isTabShown(index_)) {
            s.invisible = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = tabs_->current() == index_;
        s.focused = s.selected && tabs_->hasFocus();
        s.invisible = !tabs_->isVisible();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) emit tabs_->tabClicked(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TabRows> tabs_;
    int index_;
};

class PageTabList : public QAccessibleWidget {
public:
    explicit PageTabList(TabRows* tabs) : QAccessibleWidget(tabs, QAccessible::PageTabList) {}
    ~PageTabList() override {
        for (const auto& [index, id] : ids_)
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return QStringLiteral("Pages");
        return QAccessibleWidget::text(t);
    }

    int childCount() const override {
        int n = 0;
        for (int i = 0; i < tabs()->count(); ++i)
            n += tabs()->isTabShown(i) ? 1 : 0;
        return n;
    }

    QAccessibleInterface* child(int shownIndex) const override {
        for (int i = 0, seen = 0; i < tabs()->count(); ++i) {
            if (!tabs()->isTabShown(i)) continue;
            if (seen++ == shownIndex) return tab(i);
        }
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child) return i;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y)) return child(i);
        return nullptr;
    }

    // The interface of a tab by its index among all tabs, made once and kept in
    // QAccessible's cache for the life of the list.
    QAccessibleInterface* tab(int index) const {
        auto found = ids_.find(index);
        if (found == ids_.end()) {
            auto* iface = new PageTab(tabs(), index);
            found = ids_.emplace(index, QAccessible::registerAccessibleInterface(iface)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }

private:
    TabRows* tabs() const { return static_cast<TabRows*>(widget()); }

    mutable std::map<int, QAccessible::Id> ids_;
};

QAccessibleInterface* createPageTabList(const QString& className, QObject* object) {
    if (className == QLatin1String("qe::TabRows") && object && object->isWidgetType())
        return new PageTabList(static_cast<TabRows*>(object));
    return nullptr;
}

} // namespace

void installPageTabsAccessible() {
    static bool installed = false;
    if (installed) return;
    QAccessible::installFactory(createPageTabList);
    installed = true;
}

void notifyCurrentTab(TabRows* tabs, int index) {
    if (!QAccessible::isActive() || index < 0) return;
    auto* list = dynamic_cast<PageTabList*>(QAccessible::queryAccessibleInterface(tabs));
    if (!list) return;
    QAccessibleInterface* tab = list->tab(index);
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(tab, changed);
    QAccessible::updateAccessibility(&event);
    if (tabs->hasFocus()) {
        QAccessibleEvent focus(tab, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace qe
