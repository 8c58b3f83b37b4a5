#pragma once

// Fakes of the platform services and small helpers shared by the widget tests. Each fake
// installs itself while it lives.
#include "platform/clipboard.h"
#include "platform/instance_guard.h"
#include "platform/messagebox.h"

#include <QList>
#include <QObject>
#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>
#include <QUrl>

namespace lumo::test {

/// Records every message box instead of showing it.
class FakeMessageBoxes final : public platform::MessageBoxService {
  public:
    struct Call {
        QWidget *parent;
        QString text, title;
        int style;
    };
    FakeMessageBoxes() { platform::SetMessageBoxService(this); }
    ~FakeMessageBoxes() override { platform::SetMessageBoxService(nullptr); }
    void show(QWidget *parent, const QString &text, const QString &title, int style) override
    {
        calls.append({parent, text, title, style});
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

/// The single-instance guard, answering as told and counting the questions.
class FakeInstanceGuard final : public platform::InstanceGuard {
  public:
    FakeInstanceGuard() { platform::SetInstanceGuard(this); }
    ~FakeInstanceGuard() override { platform::SetInstanceGuard(nullptr); }
    bool anotherInstanceRunning() override
    {
        ++asked;
        return another;
    }
    bool another = false;
    int asked = 0;
};

/// Records the addresses the desktop was asked to open: register it with
/// QDesktopServices::setUrlHandler(scheme, &recorder, "open").
class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

/// Selects from `anchor` to `position` in `box` (the caret ends at `position`).
inline void Select(QPlainTextEdit &box, int anchor, int position)
{
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
}

} // namespace lumo::test
