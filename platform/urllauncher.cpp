#include "platform/urllauncher.h"

#include <QDesktopServices>
#include <QUrl>

namespace lumo::platform {

namespace {

// QDesktopServices passes the address to xdg-open (or the desktop portal in a
// sandbox) as a detached process, so the caller never waits for the browser.
class DesktopUrlLauncher final : public UrlLauncher {
  public:
    bool open(const QUrl &url) override { return QDesktopServices::openUrl(url); }
};

UrlLauncher *g_installed = nullptr;

} // namespace

UrlLauncher &Urls()
{
    if (g_installed)
        return *g_installed;
    static DesktopUrlLauncher launcher;
    return launcher;
}

void SetUrlLauncher(UrlLauncher *launcher)
{
    g_installed = launcher;
}

} // namespace lumo::platform
