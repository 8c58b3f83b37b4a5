#include "resources/identity.h"

#include "resources/icondata/program_icon_data.h"
#include "resources/product.h"
#include "resources/version.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace lumo::resources {

QIcon ProgramIcon()
{
    // Decoded when building: reading the PNG files at every start took most of a millisecond.
    QIcon icon;
    for (int i = 0; i < detail::kProgramIconImageCount; ++i) {
        const detail::IconImage &image = detail::kProgramIconImages[i];
        icon.addPixmap(QPixmap::fromImage(QImage(image.pixels, image.width, image.height, image.width * 4,
                                                 QImage::Format_ARGB32_Premultiplied)));
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
