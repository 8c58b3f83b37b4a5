#pragma once

#include <QString>

namespace lumo::platform {

/// The system clipboard. Tests install a fake.
class ClipboardService {
  public:
    virtual ~ClipboardService() = default;
    /// Empties the clipboard and puts `text` on it as plain text.
    /// Returns false when the clipboard could not be written.
    virtual bool setText(const QString &text) = 0;
};

/// The service in use: the QClipboard one unless a test installed another.
ClipboardService &Clipboard();

/// Installs `service` (nullptr restores the default). Not owned.
void SetClipboardService(ClipboardService *service);

} // namespace lumo::platform
