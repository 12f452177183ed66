// The editor's entry: the application with its title and font, the main window,
// and the event loop until that window closes.
#include "ui/qt/app_look.h"
#include "ui/qt/frm_main.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    qe::applyAppLook(app);
    qe::TfrmMain window;
    window.show();
    return QApplication::exec();
}
