#include "resources/identity.h"

#include "resources/product.h"
#include "resources/version.h"

#include <QGuiApplication>
#include <QString>

// Q_INIT_RESOURCE must be called outside any namespace. Calling it also keeps the linker from
// dropping the resource object, which nothing else in a static library refers to.
static void InitLumoResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace lumo::resources {

QIcon ProgramIcon()
{
    InitLumoResources();
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 100})
        icon.addFile(QStringLiteral(":/lumo/icons/lumo-%1.png").arg(size), QSize(size, size));
    return icon;
}

void ApplyApplicationIdentity(QGuiApplication &app)
{
    QCoreApplication::setApplicationName(QString::fromUtf16(product::kProductName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(VersionString()));
    QCoreApplication::setOrganizationName(QString::fromUtf16(product::kOrganisationName));
    QCoreApplication::setOrganizationDomain(QStringLiteral("lumo.example"));
    // Lets Wayland compositors and X11 task bars match our windows to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(product::kAppId));
    // No application display name: on X11 Qt would append it to every window title, and the
    // windows' captions are fixed exactly as they are.
    app.setWindowIcon(ProgramIcon());
}

} // namespace lumo::resources
