#pragma once

#include "platform/clipboard.h"
#include "platform/messagebox.h"

#include <QList>
#include <QString>

namespace lumo::test {

/// Records every message box instead of showing it.
class FakeMessageBoxes final : public platform::MessageBoxService {
  public:
    struct Call {
        QString text, title;
        int style;
    };
    FakeMessageBoxes() { platform::SetMessageBoxService(this); }
    ~FakeMessageBoxes() override { platform::SetMessageBoxService(nullptr); }
    void show(QWidget *, const QString &text, const QString &title, int style) override
    {
        calls.append({text, title, style});
    }
    QList<Call> calls;
};

/// A clipboard that remembers what it was given, or refuses it.
class FakeClipboard final : public platform::ClipboardService {
  public:
    FakeClipboard() { platform::SetClipboardService(this); }
    ~FakeClipboard() override { platform::SetClipboardService(nullptr); }
    bool setText(const QString &value) override
    {
        ++writes;
        if (fail)
            return false;
        text = value;
        return true;
    }
    QString text = QStringLiteral("old clipboard");
    int writes = 0;
    bool fail = false;
};

} // namespace lumo::test
