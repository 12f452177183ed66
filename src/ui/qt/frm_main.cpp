#include "frm_main.h"

#include "app_look.h"
#include "app_title.h"
#include "binder.h"
#include "error_box.h"
#include "frm_about.h"
#include "frm_id.h"
#include "overwrite_box.h"
#include "page_control.h"
#include "pages.h"
#include "ui/form/page_keys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace qe {
namespace {

constexpr int kClientWidth = 337;
constexpr int kClientHeight = 416;

// dlgOpen or dlgSave: no native dialog, the ini filter, and no question before
// a name that exists is taken.
QFileDialog* newFileDialog(QWidget* owner, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(owner);
    dialog->setObjectName(mode == QFileDialog::AcceptOpen ? QStringLiteral("dlgOpen")
                                                          : QStringLiteral("dlgSave"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        // Open takes a name that does not exist yet: the load then finds no keys.
        dialog->setFileMode(QFileDialog::AnyFile);
    } else {
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    }
    dialog->setNameFilter(QStringLiteral("ini files (*.ini)"));
    // No default suffix: the dialog would add it to a name that exists without one.
    return dialog;
}

// The dialog proposes the last name chosen in it; with none yet, it starts in
// startFolder when one is given.
std::optional<std::string> runFileDialog(QFileDialog& dialog, const std::string& lastName,
                                         const std::string& startFolder = {}) {
    if (!lastName.empty())
        dialog.selectFile(QFile::decodeName(lastName.c_str()));
    else if (!startFolder.empty())
        dialog.setDirectory(QFile::decodeName(startFolder.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    return withIniExtension(QFile::encodeName(chosen).toStdString(), QFileInfo::exists(chosen));
}

// The one local file a drag carries, as bytes; "" for a drag of anything else:
// text, several files, a folder, a file on another machine.
std::string droppedFile(const QMimeData* data) {
    if (!data || data->urls().size() != 1) return {};
    const QUrl url = data->urls().constFirst();
    if (!url.isLocalFile() || QFileInfo(url.toLocalFile()).isDir()) return {};
    return QFile::encodeName(url.toLocalFile()).toStdString();
}

// Focus reasons that are not the user leaving a field: a menu or popup opening, a
// dialog or another window taking over, the menu bar taking the keyboard.
bool isLeaving(Qt::FocusReason reason) {
    switch (reason) {
    case Qt::PopupFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::MenuBarFocusReason:
    case Qt::NoFocusReason:
        return false;
    default:
        return true;
    }
}

} // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent), form_(*this) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(appTitle());
    // Set on the window itself, so that no font a platform theme gives a class of
    // control replaces it anywhere inside.
    setFont(windowFont());
    createMenus();
    createPages();
    bindWidgets();
    run([this] { form_.create(); });
    fixGeometry();
    // Drops on a control that takes none reach the window; handleFileDrop takes
    // files from the controls that take text.
    setAcceptDrops(true);
    qApp->installEventFilter(this);
}

TfrmMain::~TfrmMain() {
    qApp->removeEventFilter(this);
}

QWidget* TfrmMain::widgetOf(const std::string& name) const {
    const Control* c = form_.fields().find(name);
    return c ? widgets_.widget(*c) : nullptr;
}

void TfrmMain::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mmMain"));
    QMenu* file = bar->addMenu(tr("&File"));
    file->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* open = file->addAction(tr("&Open"), this, &TfrmMain::mnuOpenClick);
    open->setObjectName(QStringLiteral("mnuOpen"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction* save = file->addAction(tr("&Save"), this, &TfrmMain::mnuSaveClick);
    save->setObjectName(QStringLiteral("mnuSave"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator()->setObjectName(QStringLiteral("mnuSplitter1"));
    file->addAction(tr("&Close"), this, &TfrmMain::mnuCloseClick)
        ->setObjectName(QStringLiteral("mnuClose"));
    QMenu* help = bar->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(tr("&About"), this, &TfrmMain::mnuAboutClick)
        ->setObjectName(QStringLiteral("mnuAbout"));
}

void TfrmMain::createPages() {
    pgcMain_ = new PageControl(this);
    pgcMain_->setFixedSize(scaled(QSize(kClientWidth, kClientHeight)));
    setCentralWidget(pgcMain_);
    buildPages(form_.fields(), *pgcMain_, widgets_);
}

void TfrmMain::bindWidgets() {
    connectUserInput(form_, widgets_, this, [this](const auto& action) { run(action); });
    TabRows* tabs = pgcMain_->tabs();
    connect(tabs, &TabRows::tabClicked, this, &TfrmMain::switchPage);
    connect(tabs, &TabRows::stepRequested, this, &TfrmMain::stepPage);
}

// A single fixed border: no resizing, no maximise button; minimise and the
// system menu stay. The window opens centred on the screen.
void TfrmMain::fixGeometry() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The menu bar takes the height it needs at the window's width, as the main
    // window's layout gives it; the client area keeps its own below.
    const int width = scaled(kClientWidth);
    setFixedSize(width, scaled(kClientHeight) + menuBar()->heightForWidth(width));
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void TfrmMain::mnuOpenClick() {
    run([this] { form_.open(); });
}

void TfrmMain::openFile(const std::string& name) {
    run([&] { form_.openFile(name); });
}

void TfrmMain::mnuSaveClick() {
    run([this] { form_.save(); });
}

void TfrmMain::mnuCloseClick() {
    close();
}

void TfrmMain::mnuAboutClick() {
    TfrmAbout::showModal(this);
}

void TfrmMain::run(const std::function<void()>& action) {
    ++busy_;
    try {
        action();
    } catch (const std::exception& e) {
        showAppError(this, e);
    }
    refresh();
    --busy_;
}

void TfrmMain::refresh() {
    ++busy_;
    syncWidgets(form_.fields(), widgets_, *pgcMain_);
    --busy_;
}

// The window keeps its two file dialogs once made: a dialog made anew each time
// costs tens of milliseconds to open and to close (its folder model and the
// thread that watches the folder).
QFileDialog& TfrmMain::fileDialog(QFileDialog::AcceptMode mode) {
    QPointer<QFileDialog>& dialog = mode == QFileDialog::AcceptOpen ? dlgOpen_ : dlgSave_;
    if (!dialog) dialog = newFileDialog(this, mode);
    return *dialog;
}

std::optional<std::string> TfrmMain::chooseOpenFile(const std::string& lastName) {
    return runFileDialog(fileDialog(QFileDialog::AcceptOpen), lastName);
}

std::optional<std::string> TfrmMain::chooseSaveFile(const std::string& lastName,
                                                    const std::string& startFolder) {
    return runFileDialog(fileDialog(QFileDialog::AcceptSave), lastName, startFolder);
}

bool TfrmMain::confirmOverwrite(const ChangedFile& changed) {
    return askOverwrite(this, fromBytes(overwriteQuestion(changed)));
}

// The busy cursor while Save waits for another writer's lock and writes.
void TfrmMain::showBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::optional<std::string> TfrmMain::askID(const std::string& text) {
    return TfrmID::askBytes(this, text);
}

void TfrmMain::showError(const std::string& message) {
    showErrorDialog(this, fromBytes(message));
}

// Brings the control's page into view when its tab is shown, then focuses the
// control when it is on screen and enabled; otherwise the focus stays put.
bool TfrmMain::focus(Control& control) {
    if (const Control* page = control.page(); page && page->shown())
        form_.fields().activatePage(pageIndex(*page));
    refresh();
    QWidget* w = widgets_.widget(control);
    if (!w || !control.shownInTree() || !control.enabledInTree()) return false;
    ++busy_;
    w->setFocus(Qt::OtherFocusReason);
    --busy_;
    return true;
}

int TfrmMain::pageIndex(const Control& page) const {
    const Fields& f = form_.fields();
    for (int i = 0; i < f.pageCount(); ++i)
        if (&f.page(i) == &page) return i;
    return -1;
}

void TfrmMain::switchPage(int index) {
    if (!takeFocusFromPage()) return;
    if (index == form_.fields().activePage()) return;
    run([&] { form_.fields().activatePage(index); });
}

void TfrmMain::stepPage(int delta) {
    switchPage(steppedPage(form_.fields(), delta));
}

// The page control takes the focus before it changes pages, as a click on a tab
// would give it; the field that had it runs its leave rule and may refuse.
bool TfrmMain::takeFocusFromPage() {
    TabRows* tabs = pgcMain_->tabs();
    QWidget* focused = QApplication::focusWidget();
    leaveRefused_ = false;
    if (focused != tabs && focused && focused->window() == this) tabs->setFocus(Qt::TabFocusReason);
    return !leaveRefused_;
}

void TfrmMain::fieldLeft(QWidget* widget, Qt::FocusReason reason) {
    if (busy_ > 0 || !isLeaving(reason) || widget->focusProxy()) return;
    Control* c = widgets_.owner(widget);
    if (!c) return;
    switch (c->kind()) {
    case Kind::Text:
    case Kind::Spin:
    case Kind::Check:
    case Kind::Radio:
    case Kind::Choice:
        break;
    default:
        return;
    }
    // Moving between the parts of one field (a spin field's edit and buttons).
    if (QWidget* now = QApplication::focusWidget(); now && widgets_.owner(now) == c) return;
    bool back = false;
    run([&] { back = form_.leave(*c); });
    if (!back) return;
    leaveRefused_ = true;
    QPointer<QWidget> field = widgets_.widget(*c);
    field->setFocus(Qt::OtherFocusReason);
    // The window may get the focus back from the message box only after this.
    QTimer::singleShot(0, this, [field] {
        if (field && !field->hasFocus()) field->setFocus(Qt::OtherFocusReason);
    });
}

// Ctrl+Tab and Ctrl+Shift+Tab page through the shown tabs from anywhere in the
// window; Alt and a tab's underlined letter, or the letter alone on a control that
// takes no typing, selects the first shown page with that letter.
bool TfrmMain::handlePageKey(const QKeyEvent& event) {
    const auto mods = event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                           Qt::AltModifier | Qt::MetaModifier);
    const int key = event.key();
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && (mods & Qt::ControlModifier) &&
        !(mods & Qt::AltModifier)) {
        const bool back = key == Qt::Key_Backtab || (mods & Qt::ShiftModifier);
        stepPage(back ? -1 : 1);
        return true;
    }
    if (key < Qt::Key_A || key > Qt::Key_Z) return false;
    const QWidget* focused = QApplication::focusWidget();
    const bool noTyping =
        qobject_cast<const QAbstractButton*>(focused) || focused == pgcMain_->tabs();
    if (mods != Qt::AltModifier && !(mods == Qt::NoModifier && noTyping)) return false;
    const int page = pageOfAccelerator(form_.fields(), static_cast<char>('A' + (key - Qt::Key_A)));
    if (page < 0) return false;
    switchPage(page);
    return true;
}

// A file dropped anywhere on the window opens as File > Open opens it, not as
// text in the field under it. It opens once the drop is over, so that an error box
// does not hold up the program the file came from.
bool TfrmMain::handleFileDrop(QEvent& event) {
    auto& drop = static_cast<QDropEvent&>(event);
    const std::string name = droppedFile(drop.mimeData());
    if (name.empty()) return false;
    drop.acceptProposedAction();
    if (event.type() == QEvent::Drop) QTimer::singleShot(0, this, [this, name] { openFile(name); });
    return true;
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this) return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (handleFileDrop(*event)) return true;
        break;
    case QEvent::KeyPress:
        if (handlePageKey(*static_cast<QKeyEvent*>(event))) return true;
        break;
    case QEvent::FocusOut:
        fieldLeft(w, static_cast<QFocusEvent*>(event)->reason());
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace qe
