// Open of the large configuration file (about 1 MiB, 10,000 foreign sections)
// through the window's File > Open, the file dialog answered in code, against
// the form's own Open of the same file with a host that names the file at once.
//
// Figures, medians over the runs:
//   core open       Form::open with the file named at once: read, reset, load;
//   answer->shown   from the dialog's answer to the window showing the loaded
//                   values (the load, the widgets brought in line, the repaint);
//     of which dialog closing, from the answer until the dialog has returned;
//   dialog opening  from the command to the dialog up on screen (the first time
//                   apart: the window makes its dialog then).
// Offscreen; run it by hand: qe_window_open_bench [--runs N]
#include "large_file.h"
#include "ui/qt/app_look.h"
#include "ui/qt/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Names the file as soon as the form asks.
class NamingHost : public qe::Host {
public:
    explicit NamingHost(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> chooseOpenFile(const std::string&) override { return path_; }
    std::optional<std::string> chooseSaveFile(const std::string&, const std::string&) override {
        return {};
    }
    bool confirmOverwrite(const qe::ChangedFile&) override { return false; }
    std::optional<std::string> askID(const std::string&) override { return {}; }
    void showError(const std::string&) override {}
    bool focus(qe::Control&) override { return true; }

private:
    std::string path_;
};

// The window, noting when its file dialog has returned.
class TimedWindow : public qe::TfrmMain {
public:
    std::optional<std::string> chooseOpenFile(const std::string& lastName) override {
        auto name = TfrmMain::chooseOpenFile(lastName);
        dialogReturned = Clock::now();
        return name;
    }
    Clock::time_point dialogReturned;
};

struct WindowRun {
    double dialogOpening = 0, answerToShown = 0, dialogClosing = 0;
};

// One File > Open: the dialog is answered with path once it is up; the run ends
// when the window has repainted with the loaded values.
WindowRun openThroughWindow(TimedWindow& window, const QString& path) {
    WindowRun run;
    Clock::time_point start, answered;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) std::_Exit(3);
        run.dialogOpening = msBetween(start, Clock::now());
        answered = Clock::now();
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    start = Clock::now();
    window.findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
    window.repaint();
    const Clock::time_point shown = Clock::now();
    run.answerToShown = msBetween(answered, shown);
    run.dialogClosing = msBetween(answered, window.dialogReturned);
    return run;
}

bool showsTheFile(qe::TfrmMain& window) {
    auto* id = qobject_cast<QLineEdit*>(window.widgetOf("txtID"));
    return id && id->text() == QLatin1String(qe::bench::kID) &&
           window.form().fields().seCPU.text() == "4";
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int runs = 21;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) runs = std::max(1, std::atoi(argv[2]));
    QApplication app(argc, argv);
    qe::applyAppLook(app);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.ini"));
    std::ofstream(path.toStdString(), std::ios::binary) << qe::bench::largeText();

    std::vector<double> core;
    NamingHost host(path.toStdString());
    qe::Form form(host);
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        form.open();
        core.push_back(msBetween(start, Clock::now()));
    }

    TimedWindow window;
    window.show();
    QApplication::processEvents();
    std::vector<double> opening, shown, closing;
    for (int i = 0; i < runs; ++i) {
        const WindowRun run = openThroughWindow(window, path);
        opening.push_back(run.dialogOpening);
        shown.push_back(run.answerToShown);
        closing.push_back(run.dialogClosing);
    }
    if (form.fields().txtID.text() != qe::bench::kID || !showsTheFile(window)) {
        std::fprintf(stderr, "the open did not give the file's values\n");
        return 1;
    }

    const double coreMs = median(core), shownMs = median(shown);
    std::printf("runs: %d; file: %lld bytes\n", runs,
                static_cast<long long>(QFileInfo(path).size()));
    std::printf("core open (Form::open, file named at once)   %7.2f ms\n", coreMs);
    std::printf("window: dialog's answer -> values shown      %7.2f ms\n", shownMs);
    std::printf("  of which the dialog closing                %7.2f ms\n", median(closing));
    std::printf("window: dialog opening (command -> dialog up) %6.2f ms (first time %.2f ms)\n",
                median(opening), opening.front());
    std::printf("ratio answer->shown / core open: %.2f\n", shownMs / coreMs);
    return 0;
}
