#pragma once

class QUrl;

namespace lumo::platform {

/// Hands web addresses to the user's browser. Tests install a fake, or
/// register a handler with QDesktopServices::setUrlHandler.
class UrlLauncher {
  public:
    virtual ~UrlLauncher() = default;
    /// Starts one launch of the browser for `url` and returns without waiting
    /// for it. Returns false when the launch could not be started.
    virtual bool open(const QUrl &url) = 0;
};

/// The launcher in use: the desktop's URL handler unless a test installed another.
UrlLauncher &Urls();

/// Installs `launcher` (nullptr restores the default). Not owned.
void SetUrlLauncher(UrlLauncher *launcher);

} // namespace lumo::platform
