// The main window: the menu, the page control with every editor field, and the
// dialogs the form asks for. It draws the form's model and feeds the user's
// actions into it; it decides nothing itself.
#pragma once

#include "ui/form/form.h"
#include "widget_map.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QDropEvent;
class QKeyEvent;

namespace qe {

class PageControl;

class TfrmMain : public QMainWindow, public Host {
    Q_OBJECT

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    Form& form() { return form_; }
    PageControl& pageControl() const { return *pgcMain_; }
    // The widget of a control, by control name; nullptr for an unknown name.
    QWidget* widgetOf(const std::string& name) const;

    // Host
    std::optional<std::string> chooseOpenFile(const std::string& lastName) override;
    std::optional<std::string> chooseSaveFile(const std::string& lastName,
                                              const std::string& startFolder) override;
    bool confirmOverwrite(const ChangedFile& changed) override;
    void showBusy(bool busy) override;
    std::optional<std::string> askID(const std::string& text) override;
    void showError(const std::string& message) override;
    bool focus(Control& control) override;

    // Brings every widget in line with the model after code changed it.
    void refresh();

    // Opens the file as the Open command opens a chosen name, without the dialog;
    // an error goes to the general error box. A file named on the command line or
    // dropped on the window opens so.
    void openFile(const std::string& name);

    // The user's page switch: the focus leaves the page first, and when a field
    // refuses to be left, the page in view stays.
    void switchPage(int index);
    // The next (+1) or previous (-1) page with a shown tab, wrapping around.
    void stepPage(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void createPages();
    void bindWidgets();
    void fixGeometry();

    void mnuOpenClick();
    void mnuSaveClick();
    void mnuCloseClick();
    void mnuAboutClick();

    // Runs a command or user action: an error ends it and shows the general error
    // box (nothing is rolled back), and the widgets follow the model afterwards.
    void run(const std::function<void()>& action);
    bool handlePageKey(const QKeyEvent& event);
    bool handleFileDrop(QEvent& event);
    void fieldLeft(QWidget* widget, Qt::FocusReason reason);
    bool takeFocusFromPage();
    QFileDialog& fileDialog(QFileDialog::AcceptMode mode);
    int pageIndex(const Control& page) const;

    Form form_;
    WidgetMap widgets_;
    PageControl* pgcMain_ = nullptr;
    // Above zero while an action runs: focus moves then are the program's own
    // (a reset hiding the focused field, the check focusing a field), not leaving.
    int busy_ = 0;
    // Set when a field has just refused to be left.
    bool leaveRefused_ = false;
    // dlgOpen and dlgSave, made on first use.
    QPointer<QFileDialog> dlgOpen_;
    QPointer<QFileDialog> dlgSave_;
};

} // namespace qe
