// The conversion command of the main window: the empty-text warning, the two
// paths, the first-use tip, the clipboard copy, failures and undo. The conversion
// itself is replaced by a recognisable stand-in; message boxes and the clipboard
// by fakes.

#include "app/form1.h"
#include "app/lookandfeel.h"
#include "tests/common/testkit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using lumo::app::Form1;
using lumo::conversion::ConversionVariables;
using lumo::conversion::ConvertResult;

namespace {

const QString kTitle = u"温馨提示\uFF1A"_s;
const QString kPersonalisedTip = u"转换后内容将自动复制。粘贴（ctrl + v）即可使用！（本信息将不再提示）"_s;
const QString kPlainTip = u"换后内容将自动复制。粘贴（ctrl + v）即可使用！（本信息将不再提示）"_s;

struct ConvertCall {
    std::u16string text;
    bool personalisedOff;
    const ConversionVariables *vars;
};
QList<ConvertCall> g_calls;
bool g_fail = false;

// Stand-in conversion: "<P:text>" on the personalised path, "<T:text>" on the plain one.
ConvertResult FakeConvert(std::u16string_view text, bool personalisedOff, ConversionVariables &vars)
{
    g_calls.append({std::u16string(text), personalisedOff, &vars});
    if (g_fail)
        return {false, {}, "mapping service unavailable"};
    std::u16string out = personalisedOff ? u"<T:" : u"<P:";
    out += text;
    out += u">";
    return {true, out, {}};
}

void Select(QPlainTextEdit *edit, int anchor, int position)
{
    lumo::test::Select(*edit, anchor, position);
}

} // namespace

class Form1Command1Test : public QObject {
    Q_OBJECT

  private:
    Form1 *form = nullptr;
    lumo::test::FakeMessageBoxes *boxes = nullptr;
    lumo::test::FakeClipboard *clipboard = nullptr;

    void Click() { QTest::mouseClick(form->Button("Command1"), Qt::LeftButton); }

  private Q_SLOTS:
    void initTestCase()
    {
        lumo::app::ApplyLookAndFeel(*qApp);
        lumo::app::SetConvertFunction(&FakeConvert);
    }
    void cleanupTestCase() { lumo::app::SetConvertFunction(nullptr); }

    void init()
    {
        g_calls.clear();
        g_fail = false;
        boxes = new lumo::test::FakeMessageBoxes;
        clipboard = new lumo::test::FakeClipboard;
        form = &Form1::Instance();
        form->Text2()->setText(u"0"_s); // as the load event leaves it
        form->show();
    }

    void cleanup()
    {
        delete Form1::Existing();
        delete clipboard;
        delete boxes;
    }

    void emptyTextWarns()
    {
        form->Text1()->clear();
        Click();
        QCOMPARE(boxes->calls.size(), 1);
        QCOMPARE(boxes->calls[0].text, u"内容为空,请输入要转换的内容."_s);
        QCOMPARE(boxes->calls[0].title, kTitle);
        QCOMPARE(boxes->calls[0].style, 48);
        QVERIFY(g_calls.isEmpty());
        QCOMPARE(clipboard->writes, 0);
        QCOMPARE(form->Text2()->text(), u"0"_s);
        QCOMPARE(form->MainText(), QString());
    }

    void paths_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("tip");
        QTest::addRow("personalised") << u"我们的"_s << false << u"<P:我们的>"_s << kPersonalisedTip;
        QTest::addRow("plain") << u"我们的"_s << true << u"<T:我们的>"_s << kPlainTip;
        QTest::addRow("spaces only") << u"   "_s << false << u"<P:   >"_s << kPersonalisedTip;
        QTest::addRow("line breaks only") << u"\n\n"_s << true << u"<T:\n\n>"_s << kPlainTip;
        // What the user typed reaches the conversion unaltered: line breaks as "\n",
        // no-break spaces and line separators kept.
        QTest::addRow("lines and no-break space")
            << u"一\n二\u00A0三\u2028四"_s << false << u"<P:一\n二\u00A0三\u2028四>"_s << kPersonalisedTip;
    }

    void paths()
    {
        QFETCH(QString, input);
        QFETCH(bool, ticked);
        QFETCH(QString, result);
        QFETCH(QString, tip);
        form->Text1()->setPlainText(input);
        form->Check1()->setChecked(ticked);
        Click();

        QCOMPARE(g_calls.size(), 1);
        QCOMPARE(QString::fromStdU16String(g_calls[0].text), input);
        QCOMPARE(g_calls[0].personalisedOff, ticked);
        QCOMPARE(g_calls[0].vars, &form->ConvVars);
        QCOMPARE(form->MainText(), result);
        QCOMPARE(clipboard->text, result);
        QCOMPARE(boxes->calls.size(), 1);
        QCOMPARE(boxes->calls[0].text, tip);
        QCOMPARE(boxes->calls[0].title, kTitle);
        QCOMPARE(boxes->calls[0].style, 44);
        QCOMPARE(form->Text2()->text(), u"1"_s);
    }

    void tipTexts()
    {
        QCOMPARE(kPersonalisedTip.size(), 38);
        QCOMPARE(kPlainTip.size(), 37);
    }

    void tipOncePerRun()
    {
        form->Text1()->setPlainText(u"一"_s);
        Click();
        QCOMPARE(boxes->calls.size(), 1);
        form->Check1()->setChecked(true);
        Click();
        Click();
        QCOMPARE(boxes->calls.size(), 1);
        QCOMPARE(form->Text2()->text(), u"1"_s);
        // Every conversion still reaches the clipboard.
        QCOMPARE(clipboard->writes, 3);
        QCOMPARE(clipboard->text, u"<T:<T:<P:一>>>"_s);
    }

    void noTipBeforeLoad()
    {
        form->Text2()->setText(u"Text2"_s);
        form->Text1()->setPlainText(u"一"_s);
        Click();
        QVERIFY(boxes->calls.isEmpty());
        QCOMPARE(form->Text2()->text(), u"Text2"_s);
        QCOMPARE(clipboard->text, u"<P:一>"_s);
    }

    // A mapping that fails must not replace the user's text; the box says so in Chinese only
    // (the library's English detail goes to standard error).
    void conversionFailureKeepsText()
    {
        g_fail = true;
        form->Text1()->setPlainText(u"我的签名"_s);
        Click();
        QCOMPARE(form->MainText(), u"我的签名"_s);
        QCOMPARE(clipboard->writes, 0);
        QCOMPARE(boxes->calls.size(), 1);
        QCOMPARE(boxes->calls[0].title, kTitle);
        QVERIFY(boxes->calls[0].text.contains(u"转换失败"_s));
        QVERIFY2(!boxes->calls[0].text.contains(QRegularExpression(u"[A-Za-z]"_s)),
                 qPrintable(boxes->calls[0].text));
        QCOMPARE(form->Text2()->text(), u"0"_s);
        QVERIFY(!form->Text1()->document()->isUndoAvailable());
    }

    void clipboardFailure()
    {
        clipboard->fail = true;
        form->Text1()->setPlainText(u"一"_s);
        Click();
        QCOMPARE(form->MainText(), u"<P:一>"_s); // the conversion stays
        QCOMPARE(clipboard->text, u"old clipboard"_s);
        QCOMPARE(boxes->calls.size(), 1); // the failure, and no tip
        QCOMPARE(boxes->calls[0].title, kTitle);
        QVERIFY(boxes->calls[0].text.contains(u"剪贴板"_s));
        QCOMPARE(form->Text2()->text(), u"0"_s);

        // Once the clipboard works again the next conversion copies and tips.
        clipboard->fail = false;
        Click();
        QCOMPARE(clipboard->text, u"<P:<P:一>>"_s);
        QCOMPARE(boxes->calls.size(), 2);
        QCOMPARE(boxes->calls[1].text, kPersonalisedTip);
    }

    void copyTextToClipboardCopiesWholeText()
    {
        form->Text1()->setPlainText(u"第一行\r\n第二行\n"_s);
        Select(form->Text1(), 1, 3);
        QVERIFY(form->CopyTextToClipboard());
        QCOMPARE(clipboard->text, u"第一行\n第二行\n"_s);
        QVERIFY(boxes->calls.isEmpty());
        QCOMPARE(form->Text2()->text(), u"0"_s);
    }

    void showFirstUseTip()
    {
        form->ShowFirstUseTip(u"a"_s);
        form->ShowFirstUseTip(u"b"_s);
        QCOMPARE(boxes->calls.size(), 1);
        QCOMPARE(boxes->calls[0].text, u"a"_s);
        QCOMPARE(boxes->calls[0].style, 44);
    }

    // With the real conversion engine: the examples the program is known by.
    void realConversion_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("result");
        QTest::addRow("personalised") << u"我们的"_s << false << u"\u03C9\u01D2\u5011d\u00E9"_s;
        QTest::addRow("plain") << u"我们的"_s << true << u"我們的"_s;
        QTest::addRow("digits personalised") << u"2010"_s << false << u"\u24890.\u24880."_s;
        QTest::addRow("digits plain") << u"2010"_s << true << u"2010"_s;
        QTest::addRow("spaces only") << u"   "_s << false << u"   "_s;
    }

    void realConversion()
    {
        QFETCH(QString, input);
        QFETCH(bool, ticked);
        QFETCH(QString, result);
        lumo::app::SetConvertFunction(nullptr);
        form->Text1()->setPlainText(input);
        form->Check1()->setChecked(ticked);
        Click();
        lumo::app::SetConvertFunction(&FakeConvert);
        QCOMPARE(form->MainText(), result);
        QCOMPARE(clipboard->text, result);
        QCOMPARE(boxes->calls.size(), 1);
        QCOMPARE(boxes->calls[0].text, ticked ? kPlainTip : kPersonalisedTip);
    }

    // The replacement is one undo step that brings back text, caret and selection.
    void undoRedo()
    {
        QPlainTextEdit *text = form->Text1();
        text->setPlainText(u"第一行\n第二行"_s);
        Select(text, 5, 2);
        Click();
        QCOMPARE(form->MainText(), u"<P:第一行\n第二行>"_s);

        text->setFocus();
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(form->MainText(), u"第一行\n第二行"_s);
        QCOMPARE(text->textCursor().anchor(), 5);
        QCOMPARE(text->textCursor().position(), 2);

        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCoreApplication::processEvents();
        QCOMPARE(form->MainText(), u"<P:第一行\n第二行>"_s);
        QVERIFY(!text->textCursor().hasSelection());

        // Typing after the conversion is a step of its own on top of it.
        QTest::keyClicks(text, u"x"_s);
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(form->MainText(), u"<P:第一行\n第二行>"_s);
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(form->MainText(), u"第一行\n第二行"_s);
        QVERIFY(!text->document()->isUndoAvailable());

        // Also when the typing goes right after the end of the result.
        text->setPlainText(u"abc"_s);
        Click();
        QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(text, u"x"_s);
        QCOMPARE(form->MainText(), u"<P:abc>x"_s);
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(form->MainText(), u"<P:abc>"_s);
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(form->MainText(), u"abc"_s);
    }
};

QTEST_MAIN(Form1Command1Test)
#include "form1_command1_test.moc"
