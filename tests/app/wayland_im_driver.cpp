// Typing Chinese natively on Wayland, through the compositor's input method: Weston runs fcitx5,
// or ibus through ibus-wayland (input-method protocol), the program talks to it through
// text-input as Qt does by itself, and the keys are real key presses on the compositor's seat
// (the test seat module types what is written to $LUMO_WESTON_KEYS). Pinyin typed into Text1
// must show as a pre-edit, commit once at the caret with nothing of the pre-edit left, a symbol
// button must insert after it (never into an open pre-edit), and the conversion must convert
// what was typed. Runs inside wayland_e2e.sh --input-method fcitx5|ibus, in a D-Bus session of
// its own.
#include "wayland_testkit.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace Qt::StringLiterals;
using lumo::app::Form1;
using lumo::test::BoxAnswerer;

namespace {

// What the input method has sent Text1: the pre-edit it shows now and every commit.
class InputMethodWatcher : public QObject {
  public:
    QString preedit;
    QStringList commits;

  protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::InputMethod) {
            auto *input = static_cast<QInputMethodEvent *>(event);
            preedit = input->preeditString();
            if (!input->commitString().isEmpty())
                commits << input->commitString();
        }
        return false;
    }
};

// The pre-edit Text1 draws in its caret's line: what the user sees of it.
QString ShownPreedit(const QPlainTextEdit &edit)
{
    const QTextBlock block = edit.textCursor().block();
    return block.layout() ? block.layout()->preeditAreaText() : QString();
}

// Runs a helper to its end while the event loop runs.
QString Run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(5'000))
        return u"(could not start "_s + program + u')';
    process.write(input);
    process.closeWriteChannel();
    if (!lumo::test::Finish(process)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

const QString kInputMethod = qEnvironmentVariable("LUMO_INPUT_METHOD");

// Whether the input method has the focused input context in Chinese: fcitx5-remote says 2 of
// it (1: switched off, 0: no context has had the focus); ibus names its engine.
bool ChineseIsOn()
{
    if (kInputMethod == u"fcitx5"_s)
        return Run(u"fcitx5-remote"_s, {}) == u"2"_s;
    return Run(u"ibus"_s, {u"engine"_s}) == u"libpinyin"_s;
}

// Switches Chinese on in the focused input context, as the trigger key would. fcitx5 only can
// once the compositor has handed it Text1's context; neither's exit status is a guide.
bool SwitchChineseOn()
{
    QDeadlineTimer deadline(20'000);
    while (!ChineseIsOn() && !deadline.hasExpired()) {
        if (kInputMethod == u"fcitx5"_s)
            Run(u"fcitx5-remote"_s, {u"-o"_s});
        else
            Run(u"ibus"_s, {u"engine"_s, u"libpinyin"_s});
        QTest::qWait(200);
    }
    return ChineseIsOn();
}

// Types keys on the compositor's seat and lets them arrive.
void Type(const QByteArray &keys)
{
    QFile fifo(qEnvironmentVariable("LUMO_WESTON_KEYS"));
    QVERIFY2(fifo.open(QIODevice::WriteOnly | QIODevice::Unbuffered), qPrintable(fifo.fileName()));
    for (char key : keys) {
        QCOMPARE(fifo.write(&key, 1), 1);
        QTest::qWait(60);
    }
    QTest::qWait(300);
}

// A shot of the whole output, the input method's candidate window included, when asked for.
void KeepScreenshot(const char *name)
{
    const QString dir = qEnvironmentVariable("LUMO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QProcess shooter;
    shooter.setWorkingDirectory(dir);
    shooter.start(u"weston-screenshooter"_s, {});
    lumo::test::Finish(shooter);
    for (const QString &shot : QDir(dir).entryList({u"wayland-screenshot-*.png"_s}))
        QDir(dir).rename(shot, QString::fromLatin1(name) + u"-wayland-"_s + kInputMethod + u".png"_s);
}

} // namespace

class TestWaylandInputMethod : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), u"wayland"_s);
        QVERIFY(!qEnvironmentVariableIsEmpty("LUMO_WESTON_KEYS"));
        QVERIFY((m_form = lumo::test::StartMainWindow()));
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        QTRY_COMPARE(QGuiApplication::focusWindow(), m_form->windowHandle());
        m_text1 = m_form->Text1();
        m_form->ReplaceMainText({});
        m_text1->setFocus();
        QTRY_VERIFY(m_text1->hasFocus());
        m_text1->installEventFilter(&m_watcher);

        // The compositor gives the input method Text1's input context once Text1 has the focus.
        QVERIFY(SwitchChineseOn());
    }

    void pinyinCommitsOnceAtTheCaret()
    {
        Type("nihao");
        // The pre-edit shows in Text1, and nothing is in its text yet.
        QTRY_VERIFY(!m_watcher.preedit.isEmpty());
        // fcitx5 shows the pinyin, libpinyin its first candidate.
        const QString preedit = QString(m_watcher.preedit).remove(u' ').remove(u'\'');
        QVERIFY2(preedit == u"nihao"_s || preedit == u"你好"_s, qPrintable(m_watcher.preedit));
        QVERIFY(!ShownPreedit(*m_text1).isEmpty());
        QCOMPARE(m_form->MainText(), QString());
        KeepScreenshot("preedit");

        Type(" ");
        QTRY_COMPARE(m_form->MainText(), u"你好"_s);
        QCOMPARE(m_watcher.commits, QStringList{u"你好"_s});
        QCOMPARE(m_watcher.preedit, QString());
        QCOMPARE(ShownPreedit(*m_text1), QString());
        QCOMPARE(m_text1->textCursor().position(), 2);
        KeepScreenshot("committed");
    }

    void symbolButtonInsertsAfterWhatWasTyped()
    {
        QTest::mouseClick(m_form->Button("Command12"), Qt::LeftButton);
        QCOMPARE(m_form->MainText(), u"你好¤"_s);
        QCOMPARE(m_text1->textCursor().position(), 3);
    }

    // A click on a button while a pre-edit is open: the symbol goes after whatever the input
    // method makes of the pre-edit as Text1 loses the focus, never into it, and nothing of it
    // is doubled or left showing.
    void symbolButtonDuringAPreedit()
    {
        // The symbol button kept the focus; a click in Text1 below its text brings it back with
        // the caret at the end. The compositor then gives Text1 a new input context: a key typed
        // in that very instant reaches the context being dropped and is lost (the compositor and
        // the input method, not the program); a person is slower.
        ClickBelowText();
        QTest::qWait(500);
        QVERIFY(SwitchChineseOn());
        m_watcher.commits.clear();
        Type("shijie");
        QTRY_VERIFY(!m_watcher.preedit.isEmpty());
        KeepScreenshot("preedit-open");
        QTest::mouseClick(m_form->Button("Command12"), Qt::LeftButton);
        QTest::qWait(500);
        const QString text = m_form->MainText();
        QVERIFY2(text.startsWith(u"你好¤"_s) && text.endsWith(u'¤') && text.count(u'¤') == 2,
                 qPrintable(text));
        const QString middle = text.mid(3, text.size() - 4);
        qInfo("the open pre-edit became \"%s\"", qPrintable(middle));
        QVERIFY2(m_watcher.commits.size() <= 1, qPrintable(m_watcher.commits.join(u'|')));
        QVERIFY2(middle.isEmpty() || middle == u"世界"_s ||
                     QString(middle).remove(u' ').remove(u'\'') == u"shijie"_s,
                 qPrintable(middle));
        QCOMPARE(ShownPreedit(*m_text1), QString());
    }

    void conversionConvertsWhatWasTyped()
    {
        m_form->ReplaceMainText({});
        ClickBelowText();
        QTest::qWait(500);
        QVERIFY(SwitchChineseOn());
        Type("nihao ");
        QTRY_COMPARE(m_form->MainText(), u"你好"_s);
        const QString expected = Run(QStringLiteral(LUMO_CONVERT), {}, "你好");
        BoxAnswerer tip;
        QTest::mouseClick(m_form->Button("Command1"), Qt::LeftButton);
        QCOMPARE(m_form->MainText(), expected);
        QVERIFY(expected != u"你好"_s);
    }

    // The main window closes as the user closes it, before the application ends: Qt 6.4's
    // Wayland plugin crashes when it tears down a window still shown at exit.
    void cleanupTestCase()
    {
        QVERIFY(m_form->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(Form1::Existing(), nullptr);
    }

  private:
    // A click in Text1 below its last line: the focus, and the caret at the end.
    void ClickBelowText()
    {
        QWidget *viewport = m_text1->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {},
                          QPoint(viewport->width() / 2, viewport->height() - 5));
        QTRY_VERIFY(m_text1->hasFocus());
    }

    Form1 *m_form = nullptr;
    QPlainTextEdit *m_text1 = nullptr;
    InputMethodWatcher m_watcher;
};

QTEST_MAIN(TestWaylandInputMethod)
#include "wayland_im_driver.moc"
