// Renders the window for review without a desktop: every page whose tab can be
// shown, as the editor starts, with RC5 or OGR disabled and with its optional
// boxes shown, the hidden extra page, the About box, the ID prompt and the error
// boxes.
#include "config/check_config.h"
#include "config/error.h"
#include "ui/qt/app_look.h"
#include "ui/qt/error_box.h"
#include "ui/qt/frm_about.h"
#include "ui/qt/frm_id.h"
#include "ui/qt/frm_main.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>

using qe::TfrmMain;

namespace {

class Shooter {
public:
    Shooter(TfrmMain& window, QDir folder) : window_(window), folder_(std::move(folder)) {}

    bool save(QWidget& w, const QString& name) {
        QApplication::processEvents();
        const QString path = folder_.filePath(name + QStringLiteral(".png"));
        if (!w.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    }

    // Every page whose tab is shown, brought into view as a click on its tab does.
    bool pages(const QString& suffix) {
        const qe::Fields& f = window_.form().fields();
        bool ok = true;
        for (int i = 0; i < f.pageCount(); ++i) {
            if (!f.page(i).shown()) continue;
            window_.switchPage(i);
            ok &= f.activePage() == i && save(window_, pageName(i) + suffix);
        }
        return ok;
    }

    // The extra page, whose tab nothing shows: shown for the picture only.
    bool extraPage() {
        qe::Fields& f = window_.form().fields();
        const int extra = f.pageCount() - 1;
        f.tabExtra.setShown(true);
        window_.switchPage(extra);
        const bool ok = f.activePage() == extra && save(window_, pageName(extra));
        f.tabExtra.setShown(false);
        window_.switchPage(extra); // brings the widgets in line; the tab is hidden again
        return ok;
    }

    // A modal window opened by open, pictured once it is up, then closed.
    bool modal(const QString& name, const std::function<void()>& open) {
        bool ok = false;
        QTimer::singleShot(0, [&] { shootModal(name, ok); });
        open();
        return ok;
    }

private:
    QString pageName(int index) const {
        const std::string& name = window_.form().fields().page(index).name();
        return QStringLiteral("page-%1-%2")
            .arg(index, 2, 10, QLatin1Char('0'))
            .arg(QString::fromStdString(name));
    }

    void shootModal(const QString& name, bool& ok) {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            QTimer::singleShot(10, [this, name, &ok] { shootModal(name, ok); });
            return;
        }
        ok = save(*w, name);
        w->close();
    }

    TfrmMain& window_;
    QDir folder_;
};

// Works the window's widgets as a person does, so the window's own bindings run
// the form's verbs and redraw.
class Person {
public:
    explicit Person(TfrmMain& window) : window_(window) {}

    void check(const char* name, bool on) {
        auto* button = widget<QAbstractButton>(name);
        if (button && button->isChecked() != on) button->click();
    }
    void pick(const char* name, int index) {
        if (auto* combo = widget<QComboBox>(name)) {
            combo->setCurrentIndex(index);
            emit combo->activated(index);
        }
    }
    void type(const char* name, const QString& text) {
        if (auto* edit = widget<QLineEdit>(name)) {
            edit->setText(text);
            emit edit->textEdited(text);
        }
    }

private:
    template <typename T> T* widget(const char* name) {
        auto* w = qobject_cast<T*>(window_.widgetOf(name));
        if (!w) std::fprintf(stderr, "no widget %s of the expected kind\n", name);
        return w;
    }

    TfrmMain& window_;
};

// The fields that govern the optional boxes, set so that each box shows: the
// network tabs, the temperature panel, the remote buffer and the level check,
// dial-up, an HTTP proxy with a host, the keyserver, the processor count,
// rotating logs and mail logging.
void showOptionalBoxes(Person& person) {
    person.pick("cmbNetwork", 0);
    person.check("chkRC5", false);
    person.check("chkOGR", false);
    person.check("chkTemperature", true);
    person.check("chkBufferMem", false);
    person.check("chkBufferRemote", true);
    person.pick("cmbBufferLevel", 1);
    person.pick("cmbDialup", 1);
    person.check("chkDUN", true);
    person.pick("cmbProxyType", 1);
    person.type("txtProxyIP", QStringLiteral("proxy.example.org"));
    person.check("chkAutoFind", false);
    person.pick("cmbSystem", 2);
    person.pick("cmbLogType", 4);
    person.check("chkLogMail", true);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    qe::applyAppLook(app);

    const QString folderName =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir folder(folderName);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folderName));
        return 1;
    }

    TfrmMain window;
    window.show();
    Shooter shoot(window, folder);
    Person person(window);
    bool ok = shoot.pages(QString());
    ok &= shoot.extraPage();
    // One project disabled at a time (disabling one brings the other back): a tab
    // fewer, and the rows reflow.
    person.check("chkRC5", true);
    ok &= shoot.pages(QStringLiteral("-rc5-off"));
    person.check("chkOGR", true);
    ok &= shoot.pages(QStringLiteral("-ogr-off"));
    person.check("chkOGR", false);
    showOptionalBoxes(person);
    ok &= shoot.pages(QStringLiteral("-boxes"));
    // The log size row shows for the rotating log types only.
    person.pick("cmbLogType", 2);
    window.switchPage(11);
    ok &= shoot.save(window, QStringLiteral("page-11-tabLog-size"));

    ok &= shoot.modal(QStringLiteral("about"), [&] { qe::TfrmAbout::showModal(&window); });
    ok &= shoot.modal(QStringLiteral("id-prompt"),
                      [&] { qe::TfrmID::ask(&window, QStringLiteral("someone@example")); });
    ok &= shoot.modal(QStringLiteral("id-prompt-ok"),
                      [&] { qe::TfrmID::ask(&window, QStringLiteral("someone@example.org")); });
    ok &= shoot.modal(QStringLiteral("error-file-name"), [&] {
        qe::showErrorDialog(&window, QString::fromLatin1(qe::kFileNameMessage));
    });
    ok &= shoot.modal(QStringLiteral("error-app"), [&] {
        qe::showAppError(&window, std::runtime_error("Unable to write to /home/user/client.ini"));
    });
    ok &= shoot.modal(QStringLiteral("error-save-in-place"), [&] {
        qe::showAppError(&window, qe::SaveError("/home/user/client.ini",
                                                "No space left on device\nThe file's old "
                                                "content was put back."));
    });
    return ok ? 0 : 1;
}
