#include "app/form1.h"
#include "app/lookandfeel.h"
#include "resources/identity.h"

#include <QApplication>
#include <fontconfig/fontconfig.h>
#include <thread>

int main(int argc, char *argv[])
{
    // The main window's first use of a font starts fontconfig (reading its configuration and font
    // caches), the largest part of building Form1. It needs nothing from Qt, so it runs on a second
    // thread while the application object connects to the display.
    std::thread fonts([] { FcInit(); });
    QApplication app(argc, argv);
    fonts.join();
    lumo::resources::ApplyApplicationIdentity(app);
    lumo::app::ApplyLookAndFeel(app);

    lumo::app::Form1 &form = lumo::app::Form1::Instance();
    if (!form.Form_Load()) {
        delete &form;
        return 0;
    }
    lumo::platform::PlaceWindow(form, lumo::app::Form1Definition());
    form.show();
    // Always leave through QApplication's normal shutdown: on X11 that is when a
    // clipboard manager takes over the text we copied.
    const int status = app.exec();
    // Windows still open (the session ended without closing them) go before the
    // application object does.
    delete lumo::app::Form1::Existing();
    return status;
}
