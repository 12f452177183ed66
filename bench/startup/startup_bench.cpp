// Time from process start to the first painted main window, offscreen, and the
// peak memory of the process: the editor's TfrmMain against the same window built
// plainly from stock Qt widgets (menus, a QTabWidget, one stock widget per control
// of the model with its caption or items, in the same tree).
//
// Each run is a fresh process: the parent notes the clock, forks and execs this
// program with --child; the child shows its window and reports when the window
// first receives a paint event; the parent collects the child's peak memory
// from wait4().
#include "fields/fields.h"
#include "ui/qt/app_look.h"
#include "ui/qt/frm_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kStartEnv = "QE_BENCH_START_NS";
constexpr const char* kResultTag = "first-paint-ns ";

long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Separators of the model description: one record per control, its fields
// (kind letter with parent index, caption, then the items of a choice field).
constexpr char kRecord = '\x1e';
constexpr char kField = '\x1f';

// The model's controls, pgcMain (index 0) left out, as records of "<kind letter>
// <parent index>", the caption and a choice field's items; the letter is upper
// case for a control hidden in the layout.
std::string describeModel() {
    const qe::Fields fields;
    const auto& all = fields.all();
    std::map<const qe::Control*, size_t> index;
    for (size_t i = 0; i < all.size(); ++i)
        index[all[i]] = i;
    std::string out;
    for (size_t i = 1; i < all.size(); ++i) {
        const qe::Control& c = *all[i];
        char letter = 'f';
        switch (c.kind()) {
        case qe::Kind::Page:
            letter = 'p';
            break;
        case qe::Kind::Text:
            letter = 'e';
            break;
        case qe::Kind::Spin:
            letter = 's';
            break;
        case qe::Kind::Check:
            letter = 'c';
            break;
        case qe::Kind::Radio:
            letter = 'r';
            break;
        case qe::Kind::Choice:
            letter = 'o';
            break;
        case qe::Kind::Label:
            letter = 'l';
            break;
        case qe::Kind::Button:
            letter = 'b';
            break;
        case qe::Kind::Box:
            letter = c.has(qe::Group) ? 'g' : 'f';
            break;
        default:
            break; // the image and the memo: plain frames
        }
        if (c.has(qe::Hidden)) letter = static_cast<char>(letter - 'a' + 'A');
        out += letter + std::to_string(index.at(c.parent())) + kField + c.caption();
        for (const std::string& item : c.items())
            out += kField + item;
        out += kRecord;
    }
    return out;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t at = 0;
    for (size_t next; (next = text.find(separator, at)) != std::string::npos; at = next + 1)
        parts.push_back(text.substr(at, next - at));
    parts.push_back(text.substr(at));
    return parts;
}

// The same window built the plain way from stock Qt widgets: a QMainWindow with
// the same menus, a QTabWidget holding the pages, and for every described
// control the stock widget of its kind with its caption or items, each a child
// of its model parent's widget.
std::unique_ptr<QMainWindow> bareWindow(const std::string& model) {
    auto window = std::make_unique<QMainWindow>();
    QMenu* file = window->menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    file->addAction(QStringLiteral("&Save"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    file->addSeparator();
    file->addAction(QStringLiteral("&Close"));
    window->menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));
    auto* tabs = new QTabWidget;
    window->setCentralWidget(tabs);
    window->setFixedSize(337, 436);
    std::vector<QWidget*> widgets{tabs};
    std::map<QWidget*, int> nextTop;
    for (const std::string& record : split(model, kRecord)) {
        if (record.empty()) continue;
        const std::vector<std::string> fields = split(record, kField);
        const char letter = fields[0][0];
        QWidget* parent = widgets.at(static_cast<size_t>(std::atoi(fields[0].c_str() + 1)));
        const QString caption = QString::fromStdString(fields[1]);
        QWidget* w = nullptr;
        switch (letter | 0x20) {
        case 'p':
            w = new QWidget;
            tabs->setTabVisible(tabs->addTab(w, caption), letter == 'p');
            break;
        case 'e':
            w = new QLineEdit(parent);
            break;
        case 's':
            w = new QSpinBox(parent);
            break;
        case 'c':
            w = new QCheckBox(caption, parent);
            break;
        case 'r':
            w = new QRadioButton(caption, parent);
            break;
        case 'o': {
            auto* combo = new QComboBox(parent);
            for (size_t i = 2; i < fields.size(); ++i)
                combo->addItem(QString::fromStdString(fields[i]));
            w = combo;
            break;
        }
        case 'l':
            w = new QLabel(caption, parent);
            break;
        case 'b':
            w = new QPushButton(caption, parent);
            break;
        case 'g':
            w = new QGroupBox(caption, parent);
            break;
        default:
            w = new QFrame(parent);
            break;
        }
        if ((letter | 0x20) != 'p') {
            int& top = nextTop[parent];
            w->setGeometry(8, 8 + top, 150, 21);
            top += 24;
            w->setVisible(letter >= 'a');
        }
        widgets.push_back(w);
    }
    return window;
}

// Quits the event loop at the first paint event of the watched window.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && paintedNs == 0) {
            paintedNs = monotonicNs();
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }
    long long paintedNs = 0;
};

int runChild(int argc, char** argv) {
    const std::string mode = argv[2];
    const char* start = std::getenv(kStartEnv);
    QApplication app(argc, argv);
    qe::applyAppLook(app); // both windows start as the editor does
    std::unique_ptr<QWidget> window;
    if (mode == "editor")
        window = std::make_unique<qe::TfrmMain>();
    else
        window = bareWindow(argc > 3 ? argv[3] : "");
    FirstPaint watcher;
    window->installEventFilter(&watcher);
    window->show();
    QTimer::singleShot(20000, &app, [] { std::_Exit(3); });
    app.exec();
    if (!start || watcher.paintedNs == 0) return 2;
    std::printf("%s%lld\n", kResultTag, watcher.paintedNs - std::atoll(start));
    return 0;
}

struct Sample {
    double ms = 0;
    double peakMiB = 0;
};

bool runOnce(const std::string& mode, const std::string& model, Sample& out) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    const long long start = monotonicNs();
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        setenv(kStartEnv, std::to_string(start).c_str(), 1);
        const char* args[] = {"qe_startup_bench", "--child", mode.c_str(), model.c_str(), nullptr};
        execv("/proc/self/exe", const_cast<char* const*>(args));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    const size_t tag = output.rfind(kResultTag);
    if (tag == std::string::npos) return false;
    out.ms = static_cast<double>(std::atoll(output.c_str() + tag + std::strlen(kResultTag))) / 1e6;
    out.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) return runChild(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--model") == 0) {
        std::fputs(describeModel().c_str(), stdout);
        return 0;
    }

    int runs = 15;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0)
        runs = std::max(1, std::atoi(argv[2]));
    else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--runs N]\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    const std::string model = describeModel();
    const size_t controls = static_cast<size_t>(std::count(model.begin(), model.end(), kRecord));
    std::map<std::string, std::vector<double>> ms, mib;
    const std::string modes[] = {"editor", "bare"};
    for (int run = 0; run < runs; ++run) {
        // Alternate which goes first, so that neither always finds warm caches.
        for (int k = 0; k < 2; ++k) {
            const std::string& mode = modes[(run + k) % 2];
            Sample s;
            if (!runOnce(mode, model, s)) {
                std::fprintf(stderr, "run %d of %s failed\n", run + 1, mode.c_str());
                return 1;
            }
            ms[mode].push_back(s.ms);
            mib[mode].push_back(s.peakMiB);
        }
    }

    const double editorMs = median(ms["editor"]), bareMs = median(ms["bare"]);
    const double editorMiB = median(mib["editor"]), bareMiB = median(mib["bare"]);
    std::printf("runs per window: %d; controls in the model: %zu\n", runs, controls);
    std::printf("%-8s  %22s  %20s\n", "window", "first paint, median", "peak memory, median");
    std::printf("%-8s  %19.1f ms  %16.1f MiB\n", "editor", editorMs, editorMiB);
    std::printf("%-8s  %19.1f ms  %16.1f MiB\n", "bare", bareMs, bareMiB);
    std::printf("ratio editor/bare: %.2f; memory difference: %+.1f MiB\n", editorMs / bareMs,
                editorMiB - bareMiB);
    return 0;
}
