#include "resources/identity.h"

#include "resources/product.h"
#include "resources/version.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
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
    // Read as PNG without guessing: QIcon::addFile (and any reader left to detect the format)
    // first asks every image plugin whether it reads the file, which loads all of them, and
    // libjpeg with them, into every start of the program.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 100}) {
        QImageReader reader(QStringLiteral(":/lumo/icons/lumo-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
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
