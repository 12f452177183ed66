// Linked only into quenbyeditor_smoke, the editor as ctest starts it: the
// application quits once a window has painted, so a start that crashes, hangs or
// never shows a window fails the test.
#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

namespace {

class QuitAfterFirstPaint : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!quitting_ && event->type() == QEvent::Paint && widget && widget->isWindow()) {
            quitting_ = true;
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool quitting_ = false;
};

void installQuitAfterFirstPaint() {
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new QuitAfterFirstPaint(app));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installQuitAfterFirstPaint)
