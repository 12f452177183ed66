// Shared set-up for the window tests: the application's look, a fresh shown main
// window per test, and helpers that act as a person would.
#pragma once

#include "fields/version.h"
#include "ui/qt/app_look.h"
#include "ui/qt/frm_main.h"
#include "ui/qt/page_control.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <memory>

namespace qe::test {

// The caption every window of the editor carries: its name and the version of
// the build.
inline QString title() {
    return QStringLiteral("QuenbyEditor ") + QLatin1String(kVersion);
}

inline void applyLookOnce() {
    static bool applied = false;
    if (!applied) applyAppLook(*qApp);
    applied = true;
}

inline std::unique_ptr<TfrmMain> showMainWindow() {
    applyLookOnce();
    auto w = std::make_unique<TfrmMain>();
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("main window did not become active");
    return w;
}

template <typename T = QWidget> T* widgetOf(TfrmMain& w, const char* name) {
    return qobject_cast<T*>(w.widgetOf(name));
}

inline void clickTab(TfrmMain& w, int index) {
    TabRows* tabs = w.pageControl().tabs();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
}

// Closes every modal dialog that opens while it lives, counting them; the dialogs
// the window shows are modal and would otherwise block the test.
class ModalCloser {
public:
    ModalCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++closed_;
                modal->close();
            }
        });
        timer_.start(20);
    }
    int closed() const { return closed_; }

private:
    QTimer timer_;
    int closed_ = 0;
};

} // namespace qe::test
