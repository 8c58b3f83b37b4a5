// The program natively on Wayland, with no X server: the main window, both palettes, real
// message boxes, the conversion and the copy command on the real clipboard (read back with
// wl-paste), and the single-instance guard against real second copies. Runs inside
// wayland_e2e.sh. Weston offers no input injection (the test seat module's Shift key aside),
// so the test drives the widgets itself and answers its own message boxes.
#include "palettes/form2.h"
#include "palettes/form3.h"
#include "wayland_testkit.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <csignal>

using namespace Qt::StringLiterals;
using lumo::app::Form1;
using lumo::test::BoxAnswerer;
using lumo::test::Finish;

namespace {

const QString kTitle = u"温馨提示："_s;

// The clipboard as another Wayland client reads it. Weston 10 cancels a selection's source when
// a client drops an offer of it (as Qt does when its focus moves to a message box), and its
// clipboard manager then serves its own copy of the text, as "text/plain" only; so wl-paste
// picks the type, and callers retry while the compositor settles (QTRY_COMPARE).
QString Paste()
{
    QProcess paste;
    paste.start(u"wl-paste"_s, {u"--no-newline"_s});
    if (!Finish(paste)) {
        paste.kill();
        return u"(wl-paste timed out)"_s;
    }
    if (paste.exitStatus() != QProcess::NormalExit || paste.exitCode() != 0)
        return u"(wl-paste failed: "_s + QString::fromUtf8(paste.readAllStandardError()) + u')';
    return QString::fromUtf8(paste.readAllStandardOutput());
}

// The compositor's protocol log from `offset` on.
QString WestonLogFrom(qint64 offset)
{
    QFile log(qEnvironmentVariable("LUMO_WESTON_LOG"));
    if (!log.open(QIODevice::ReadOnly) || !log.seek(offset))
        return {};
    return QString::fromUtf8(log.readAll());
}

// Counts Shift releases that reach the program.
class ShiftWatcher : public QObject {
  public:
    int releases = 0;

  protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Shift)
            ++releases;
        return false;
    }
};

// A real key stroke (Shift) through the compositor, as the user's click or key before a copy
// would be: the compositor takes a new clipboard selection only with a newer input serial.
// The test seat module presses Shift on SIGUSR1.
bool PressShift()
{
    // The key goes where the keyboard focus is, which a message box or wl-paste's own surface
    // took for a moment; the compositor hands it back to the main window.
    QWidget *form = Form1::Existing();
    QDeadlineTimer focusDeadline(5'000);
    while (QGuiApplication::focusWindow() != form->windowHandle() && !focusDeadline.hasExpired())
        QTest::qWait(10);
    ShiftWatcher watcher;
    qApp->installEventFilter(&watcher);
    ::kill(static_cast<pid_t>(qEnvironmentVariableIntValue("LUMO_WESTON_PID")), SIGUSR1);
    QDeadlineTimer deadline(5'000);
    while (watcher.releases == 0 && !deadline.hasExpired())
        QTest::qWait(10);
    qApp->removeEventFilter(&watcher);
    return watcher.releases > 0;
}

qint64 WestonLogSize()
{
    return QFileInfo(qEnvironmentVariable("LUMO_WESTON_LOG")).size();
}

void KeepScreenshot(QWidget &window, const char *name)
{
    const QString dir = qEnvironmentVariable("LUMO_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        window.grab().save(QDir(dir).filePath(QString::fromLatin1(name) + u"-wayland.png"_s));
}

} // namespace

class TestWaylandSession : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), u"wayland"_s);
        QVERIFY(qEnvironmentVariableIsEmpty("DISPLAY"));
        QVERIFY(!qEnvironmentVariableIsEmpty("LUMO_WESTON_LOG"));
        QVERIFY(qEnvironmentVariableIntValue("LUMO_WESTON_PID") > 0);
        // Started as the program starts: this copy claims the session.
        QVERIFY((m_form = lumo::test::StartMainWindow()));
        // Wayland lets no client ask for the focus (Qt reports no window activation); the
        // compositor gives it to the new window.
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        QTRY_COMPARE(QGuiApplication::focusWindow(), m_form->windowHandle());
        // A Wayland desktop matches windows to their launcher by the app id, the desktop
        // entry's name.
        QVERIFY(WestonLogFrom(0).contains(u"set_app_id(\"%1\")"_s.arg(QStringLiteral(LUMO_APP_ID))));
        KeepScreenshot(*m_form, "form1");
    }

    // Anything Qt or the program warns about (a refused clipboard, an unsupported window
    // request) fails the test.
    void init() { QTest::failOnWarning(QRegularExpression(u".*"_s)); }

    void conversionReachesTheClipboard()
    {
        m_form->ReplaceMainText(u"我们的签名"_s);
        BoxAnswerer tip;
        QVERIFY(PressShift());
        QTest::mouseClick(m_form->Button("Command1"), Qt::LeftButton);
        // The first conversion of a run tells where the result went.
        QCOMPARE(tip.title, kTitle);
        QVERIFY(tip.exposed);
        const QString converted = m_form->MainText();
        QVERIFY2(converted.startsWith(u"ωǒ們dé"_s), qPrintable(converted));
        QTRY_COMPARE(Paste(), converted);
    }

    void copyCommandReachesTheClipboard()
    {
        m_form->ReplaceMainText(u"复制 ☆ 这段\n第二行"_s);
        QVERIFY(PressShift());
        QTest::mouseClick(m_form->Button("Command4"), Qt::LeftButton);

        QTRY_COMPARE(Paste(), u"复制 ☆ 这段\n第二行"_s);
    }

    void emptyTextIsReportedInABox()
    {
        m_form->ReplaceMainText({});
        BoxAnswerer warning;
        QTest::mouseClick(m_form->Button("Command1"), Qt::LeftButton);
        QCOMPARE(warning.text, u"内容为空,请输入要转换的内容."_s);
        QCOMPARE(warning.title, kTitle);
        QVERIFY(warning.exposed);
        // The clipboard keeps what the copy command put there.
        QTRY_COMPARE(Paste(), u"复制 ☆ 这段\n第二行"_s);
    }

    void palettesInsertAtTheCaret()
    {
        m_form->ReplaceMainText({});
        QTest::mouseClick(m_form->Button("Command22"), Qt::LeftButton);
        QTest::mouseClick(m_form->Button("Command16"), Qt::LeftButton);
        QWidget *form2 = lumo::palettes::Form2::Existing();
        QWidget *form3 = lumo::palettes::Form3::Existing();
        QVERIFY(form2 && form3);
        QVERIFY(QTest::qWaitForWindowExposed(form2));
        QVERIFY(QTest::qWaitForWindowExposed(form3));
        KeepScreenshot(*form2, "form2");
        KeepScreenshot(*form3, "form3");
        QTest::mouseClick(form2->findChild<QPushButton *>(u"Command2"_s), Qt::LeftButton);
        QTest::mouseClick(form3->findChild<QPushButton *>(u"Command9"_s), Qt::LeftButton);
        QCOMPARE(m_form->MainText(), u"\u3023^_^"_s);
    }

    // A second copy, whichever way its WAYLAND_DISPLAY names this compositor's socket, shows
    // only its message box and never its main window.
    void secondCopyIsTurnedAway_data()
    {
        QTest::addColumn<QString>("display");
        const QString socket = qEnvironmentVariable("WAYLAND_DISPLAY");
        QTest::addRow("relative socket name") << socket;
        QTest::addRow("absolute socket path")
            << QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).filePath(socket);
    }

    void secondCopyIsTurnedAway()
    {
        QFETCH(QString, display);
        const qint64 logStart = WestonLogSize();
        QProcess copy;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"WAYLAND_DISPLAY"_s, display);
        copy.setProcessEnvironment(environment);
        copy.start(QStringLiteral(LUMO_PROGRAM), {});
        QVERIFY(copy.waitForStarted());
        // Its windows are seen in the compositor's protocol log, by their titles.
        const QString boxTitle = u"set_title(\"%1\")"_s.arg(kTitle);
        QTRY_VERIFY_WITH_TIMEOUT(WestonLogFrom(logStart).contains(boxTitle), 15'000);
        QCOMPARE(copy.state(), QProcess::Running); // waiting for its box to be answered
        QTest::qWait(300);
        const QString seen = WestonLogFrom(logStart);
        QVERIFY2(!seen.contains(u"set_title(\"\u201CLumo\u201D"_s), "the second copy showed a main window");
        copy.terminate();
        QVERIFY(Finish(copy));
        QCOMPARE(QString::fromUtf8(copy.readAllStandardError()), QString());
    }

    void closingTheMainWindowClosesThePalettes()
    {
        QTest::mouseClick(m_form->Button("Command22"), Qt::LeftButton);
        QTest::mouseClick(m_form->Button("Command16"), Qt::LeftButton);
        QVERIFY(lumo::palettes::Form2::Existing() && lumo::palettes::Form3::Existing());
        QVERIFY(m_form->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(lumo::palettes::Form2::Existing(), nullptr);
        QCOMPARE(lumo::palettes::Form3::Existing(), nullptr);
        QCOMPARE(Form1::Existing(), nullptr);
    }

  private:
    Form1 *m_form = nullptr;
};

QTEST_MAIN(TestWaylandSession)
#include "wayland_driver.moc"
