#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace lumo::platform {

namespace {

class QtClipboardService final : public ClipboardService {
  public:
    bool setText(const QString &text) override
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return false;
        // Only plain text: whatever formats the clipboard held before are gone.
        auto *data = new QMimeData;
        data->setText(text);
        clipboard->setMimeData(data, QClipboard::Clipboard);
        // On X11 the request to own the selection can be refused (another client took
        // it with a later timestamp); Qt then only warns. The clipboard serves our data
        // exactly when it hands back the very object we gave it.
        return clipboard->mimeData(QClipboard::Clipboard) == data;
    }
};

QtClipboardService g_default;
ClipboardService *g_service = nullptr;

} // namespace

ClipboardService &Clipboard()
{
    return g_service ? *g_service : g_default;
}

void SetClipboardService(ClipboardService *service)
{
    g_service = service;
}

} // namespace lumo::platform
