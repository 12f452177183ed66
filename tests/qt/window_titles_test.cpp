// The captions the window system shows for the main window and the dialogs, read
// back from the X server: Qt must not add anything to them; and the About box's
// outer size, frame included. Runs under X only (ctest starts it on a virtual X
// server with a window manager); elsewhere it skips.
#include "window_fixture.h"

#include "ui/qt/error_box.h"
#include "ui/qt/frm_about.h"
#include "ui/qt/frm_id.h"

#include <QProcess>
#include <QStandardPaths>

#include <stdexcept>

using namespace qe;
using namespace qe::test;

namespace {

// The window's _NET_WM_NAME as xprop prints it: NAME(UTF8_STRING) = "text".
QString windowSystemTitle(QWidget* w) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(w->window()->winId()),
                 QStringLiteral("_NET_WM_NAME")});
    xprop.waitForFinished(60000);
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const auto first = out.indexOf(QLatin1Char('"'));
    return first < 0 ? out : out.mid(first + 1, out.lastIndexOf(QLatin1Char('"')) - first - 1);
}

// The title of the next modal window, read while it is up, then closed. outer,
// when given, is the outer size (frame included) to wait for, up to a minute: the
// window manager frames the window after it is shown, and the box then fits itself
// to the frame; it is set to the size the window came to.
QString modalTitle(const std::function<void()>& open, QSize* outer = nullptr) {
    QString title;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (!QTest::qWaitForWindowExposed(modal)) qWarning("modal window not exposed");
            if (outer) {
                const QSize want = *outer;
                if (!QTest::qWaitFor([&] { return modal->frameGeometry().size() == want; }, 60000))
                    qWarning("modal window not at its outer size");
                *outer = modal->frameGeometry().size();
            }
            title = windowSystemTitle(modal);
            modal->close();
        }
    });
    open();
    return title;
}

} // namespace

class WindowTitlesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) QSKIP("needs an X server");
        if (QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty()) QSKIP("needs xprop");
    }

    void captionsAreExactlyTheirOwn() {
        auto w = showMainWindow();
        QCOMPARE(windowSystemTitle(w.get()), title());
        QCOMPARE(modalTitle([&] { TfrmID::ask(w.get(), QString()); }), QStringLiteral("ID"));
        QSize aboutOuter = scaled(QSize(305, 266));
        QCOMPARE(modalTitle([&] { TfrmAbout::showModal(w.get()); }, &aboutOuter),
                 QStringLiteral("About..."));
        QCOMPARE(aboutOuter, scaled(QSize(305, 266))); // frame included, under a window manager
        QCOMPARE(modalTitle([&] { showErrorDialog(w.get(), QStringLiteral("x")); }),
                 QStringLiteral("Error"));
        QCOMPARE(modalTitle([&] { showAppError(w.get(), std::runtime_error("x")); }), title());
    }
};

QTEST_MAIN(WindowTitlesTest)
#include "window_titles_test.moc"
