// A stand-in window program for the X11 test: applies the program's identity and opens a window
// and a dialog, the two kinds of window the program shows, so that their _NET_WM_ICON can be read.

#include "resources/identity.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    lumo::resources::ApplyApplicationIdentity(app);
    QWidget window;
    window.setWindowTitle(QStringLiteral("identity-probe-window"));
    window.resize(200, 100);
    window.show();
    QDialog dialog(&window);
    dialog.setWindowTitle(QStringLiteral("identity-probe-dialog"));
    dialog.show();
    return app.exec();
}
