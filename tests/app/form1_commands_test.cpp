// The main window's insertion buttons and its clear, copy and palette commands.
#include "app/form1.h"
#include "palettes/form2.h"
#include "palettes/form3.h"
#include "platform/clipboard.h"
#include "platform/instance_guard.h"
#include "platform/messagebox.h"
#include "tests/common/testkit.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using lumo::app::Form1;
using namespace Qt::StringLiterals;

namespace {
const QString kClipboardBefore = u"before"_s;

void SetText(QPlainTextEdit *box, const QString &text, int anchor, int position)
{
    box->setPlainText(text);
    lumo::test::Select(*box, anchor, position);
}

void ClosePalettes()
{
    if (auto *form = lumo::palettes::Form2::Existing())
        form->close();
    if (auto *form = lumo::palettes::Form3::Existing())
        form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class Form1CommandsTest : public QObject {
    Q_OBJECT
  private:
    lumo::test::FakeClipboard m_clipboard;
    lumo::test::FakeMessageBoxes m_messages;
    lumo::test::FakeInstanceGuard m_guard; // the only copy: never the session's real lock
    Form1 *m_form = nullptr;
    QPlainTextEdit *m_text1 = nullptr;

    QPushButton *Button(const char *name) { return m_form->Button(name); }

  private Q_SLOTS:
    void cleanupTestCase()
    {
        ClosePalettes();
        delete Form1::Existing();
    }
    void init()
    {
        m_form = &Form1::Instance();
        m_text1 = m_form->Text1();
        m_clipboard.text = kClipboardBefore;
        m_clipboard.writes = 0;
        m_clipboard.fail = false;
        m_messages.calls.clear();
        m_form->show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
    }
    void cleanup() { ClosePalettes(); }

    // All 35 quick-insert buttons insert exactly their captions.
    void symbolButtonsInsertTheirCaptions()
    {
        auto *frame = m_form->findChild<QGroupBox *>(u"Frame3"_s);
        QVERIFY(frame);
        int symbols = 0;
        for (QPushButton *button : frame->findChildren<QPushButton *>()) {
            if (button == Button("Command16") || button == Button("Command22"))
                continue;
            ++symbols;
            SetText(m_text1, u"xy"_s, 1, 1);
            QTest::mouseClick(button, Qt::LeftButton);
            const QString caption = button->text();
            QVERIFY2(!caption.isEmpty(), qPrintable(button->objectName()));
            QCOMPARE(m_form->MainText(), u"x"_s + caption + u"y"_s);
            QCOMPARE(m_text1->textCursor().position(), 1 + caption.size());
            QCOMPARE(QApplication::focusWidget(), button); // the focus stays on the button
        }
        QCOMPARE(symbols, 35);
    }

    void trickySymbols_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("inserted");
        QTest::addRow("Command5, private use FE5E") << u"Command5"_s << u"\uE823"_s;
        QTest::addRow("Command15, private use A994") << u"Command15"_s << u"\uE7F2"_s;
        QTest::addRow("Command26, private use FE5D") << u"Command26"_s << u"\uE822"_s;
        QTest::addRow("Command11, control character") << u"Command11"_s << u"\u000E"_s;
        QTest::addRow("Command9, two characters") << u"Command9"_s << u"\u3117s"_s;
        QTest::addRow("Command24, pound sign") << u"Command24"_s << u"\uFFE1"_s;
        QTest::addRow("Command41, the same pound sign") << u"Command41"_s << u"\uFFE1"_s;
    }
    void trickySymbols()
    {
        QFETCH(QString, button);
        QFETCH(QString, inserted);
        SetText(m_text1, QString(), 0, 0);
        auto *widget = Button(button.toUtf8().constData());
        QCOMPARE(widget->text(), inserted);
        QTest::mouseClick(widget, Qt::LeftButton);
        QCOMPARE(m_form->MainText(), inserted);
        QCOMPARE(m_text1->textCursor().position(), inserted.size());
    }

    void symbolsAtTheCaret_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addRow("caret after a") << 1 << 1;
        QTest::addRow("b selected") << 1 << 2;
    }
    void symbolsAtTheCaret()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        SetText(m_text1, u"abc"_s, anchor, position);
        QTest::mouseClick(Button("Command12"), Qt::LeftButton);
        QCOMPARE(m_form->MainText(), u"a\u00A4bc"_s);
        QCOMPARE(m_text1->textCursor().position(), 2);
        QVERIFY(!m_text1->textCursor().hasSelection());

        // Clicks in a row follow one another from there.
        for (const char *name : {"Command29", "Command39", "Command30"})
            QTest::mouseClick(Button(name), Qt::LeftButton);
        QCOMPARE(m_form->MainText(), u"a\u00A4\u300E\u2606\u300Fbc"_s);
        QCOMPARE(m_text1->textCursor().position(), 5);
    }

    void clearCanBeUndone()
    {
        SetText(m_text1, u"签名\n第二行"_s, 2, 4);
        QTest::mouseClick(Button("Command3"), Qt::LeftButton);
        QCOMPARE(m_form->MainText(), QString());
        QCOMPARE(m_text1->textCursor().position(), 0);
        QCOMPARE(QApplication::focusWidget(), Button("Command3"));
        QCOMPARE(m_clipboard.writes, 0); // the clipboard keeps what it holds
        QCOMPARE(m_clipboard.text, kClipboardBefore);
        m_text1->undo();
        QCOMPARE(m_form->MainText(), u"签名\n第二行"_s);

        // Alt+X does the same.
        QTest::keyClick(m_form, Qt::Key_X, Qt::AltModifier);
        QTRY_COMPARE(m_form->MainText(), QString()); // a mnemonic animates the click first
    }

    void clearOnAnEmptyTextChangesNothing()
    {
        SetText(m_text1, u"x"_s, 0, 0);
        m_text1->clear();
        const int undoSteps = m_text1->document()->availableUndoSteps();
        QTest::mouseClick(Button("Command3"), Qt::LeftButton);
        QCOMPARE(m_form->MainText(), QString());
        QCOMPARE(m_text1->document()->availableUndoSteps(), undoSteps);
        QVERIFY(m_messages.calls.isEmpty());
    }

    // Copy puts the whole text on the clipboard, never the user's selection.
    void copyTakesTheWholeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addRow("part selected") << u"个性签名\n第二行"_s << 2 << 4;
        QTest::addRow("caret at the end") << u"abc"_s << 3 << 3;
        QTest::addRow("empty text") << QString() << 0 << 0;
    }
    void copyTakesTheWholeText()
    {
        QFETCH(QString, text);
        QFETCH(int, anchor);
        QFETCH(int, position);
        SetText(m_text1, text, anchor, position);
        m_form->Text2()->setText(u"0"_s);
        QTest::mouseClick(Button("Command4"), Qt::LeftButton);
        QCOMPARE(m_clipboard.writes, 1);
        QCOMPARE(m_clipboard.text, text);
        QCOMPARE(m_form->MainText(), text);
        QCOMPARE(m_text1->textCursor().selectionStart(), 0);
        QCOMPARE(m_text1->textCursor().selectionEnd(), text.size());
        QVERIFY(m_messages.calls.isEmpty()); // no tip
        QCOMPARE(m_form->Text2()->text(), u"0"_s);
        QCOMPARE(QApplication::focusWidget(), Button("Command4"));
    }

    void copyOfTheDefaultTextWithAltC()
    {
        delete m_form; // a fresh window with its default text
        m_form = &Form1::Instance();
        m_text1 = m_form->Text1();
        m_form->show();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        const QString text = m_form->MainText();
        QVERIFY(text.contains(u"Lumo"_s));
        QTest::keyClick(m_form, Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(m_clipboard.text, text);
    }

    void copyFailureIsReported()
    {
        SetText(m_text1, u"abc"_s, 1, 1);
        m_clipboard.fail = true;
        QTest::mouseClick(Button("Command4"), Qt::LeftButton);
        QCOMPARE(m_messages.calls.size(), 1);
        QCOMPARE(m_clipboard.text, kClipboardBefore);
        QCOMPARE(m_text1->textCursor().selectedText(), u"abc"_s); // the select-all stays
        QCOMPARE(m_form->MainText(), u"abc"_s);
    }

    void palettesOpenBesideTheMainWindow()
    {
        QTest::mouseClick(Button("Command22"), Qt::LeftButton);
        QTest::mouseClick(Button("Command16"), Qt::LeftButton);
        auto *form2 = lumo::palettes::Form2::Existing();
        auto *form3 = lumo::palettes::Form3::Existing();
        QVERIFY(form2 && form3);
        QVERIFY(form2->isVisible() && form3->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(form3)); // the palette opened last is active

        // A second click shows the same window.
        QTest::mouseClick(Button("Command22"), Qt::LeftButton);
        QTest::mouseClick(Button("Command16"), Qt::LeftButton);
        QCOMPARE(lumo::palettes::Form2::Existing(), form2);
        QCOMPARE(lumo::palettes::Form3::Existing(), form3);

        // The palettes write into Text1; the main window stays usable in between.
        SetText(m_text1, u"[]"_s, 1, 1);
        QTest::mouseClick(form2->findChild<QPushButton *>(u"Command2"_s), Qt::LeftButton);
        QTest::mouseClick(Button("Command12"), Qt::LeftButton);
        QTest::mouseClick(form3->findChild<QPushButton *>(u"Command9"_s), Qt::LeftButton);
        QCOMPARE(m_form->MainText(), u"[\u3023\u00A4^_^]"_s);

        // Closed with its close button, opened again by the main window.
        QTest::mouseClick(form2->findChild<QPushButton *>(u"Command1"_s), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(lumo::palettes::Form2::Existing(), nullptr);
        QTest::mouseClick(Button("Command22"), Qt::LeftButton);
        const QWidget *reopened = lumo::palettes::Form2::Existing();
        QVERIFY(reopened);
        QCOMPARE(reopened->geometry().topLeft(), QPoint(852, 285));
    }

    // Should a palette outlive the main window, its symbol goes into a main
    // window made again, hidden.
    void paletteWithoutMainWindow()
    {
        QWidget &form2 = lumo::palettes::Form2::Open();
        delete m_form;
        QCOMPARE(Form1::Existing(), nullptr);
        QTest::mouseClick(form2.findChild<QPushButton *>(u"Command2"_s), Qt::LeftButton);
        Form1 *made = Form1::Existing();
        QVERIFY(made);
        QVERIFY(!made->isVisible());
        QVERIFY(made->MainText().startsWith(u"\u3023"_s)); // loaded: the caret was at 0
        QCOMPARE(made->Text2()->text(), u"0"_s);
    }
};

QTEST_MAIN(Form1CommandsTest)
#include "form1_commands_test.moc"
