// Shared by the tests that drive the program inside wayland_e2e.sh's headless Weston.
#pragma once

#include "app/form1.h"
#include "app/lookandfeel.h"
#include "platform/windowdef.h"
#include "resources/identity.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace lumo::test {

// Starts the main window as the program starts it; nullptr when its start failed. The caller
// waits for the compositor to show it and give it the focus (no Wayland client can ask for that).
inline app::Form1 *StartMainWindow()
{
    resources::ApplyApplicationIdentity(*qApp);
    app::ApplyLookAndFeel(*qApp);
    app::Form1 *form = &app::Form1::Instance();
    if (!form->Form_Load())
        return nullptr;
    platform::PlaceWindow(*form, app::Form1Definition());
    form->show();
    return form;
}

// Answers (OK) the next message box once the compositor shows it, and keeps what it said. A
// box that never shows is answered after 10 s, so that the test fails instead of hanging.
class BoxAnswerer : public QObject {
  public:
    QString text, title;
    bool exposed = false;

    BoxAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            exposed = box->windowHandle() && box->windowHandle()->isExposed();
            if (!exposed && !m_deadline.hasExpired())
                return;
            text = box->text();
            title = box->windowTitle();
            m_timer.stop();
            box->button(QMessageBox::Ok)->click();
        });
        m_timer.start(20);
    }

  private:
    QTimer m_timer;
    QDeadlineTimer m_deadline{10'000};
};

// Waits for a process while the event loop runs: what it asks of this process (the clipboard,
// say) must still be answered.
inline bool Finish(QProcess &process, int ms = 10'000)
{
    QDeadlineTimer deadline(ms);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(20);
    return process.state() == QProcess::NotRunning;
}

} // namespace lumo::test
