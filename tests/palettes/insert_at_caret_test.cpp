// InsertAtCaret: where the string goes, where the caret ends, what is left alone.
#include "palettes/insert_at_caret.h"
#include "tests/common/testkit.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using lumo::palettes::InsertAtCaret;
using namespace Qt::StringLiterals;

namespace {
// Puts `text` in `box` with the selection running from `anchor` to `position`.
void SetUp(QPlainTextEdit &box, const QString &text, int anchor, int position)
{
    box.setPlainText(text);
    lumo::test::Select(box, anchor, position);
}
} // namespace

class InsertAtCaretTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void insertsAtCaret_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");

        const QString currency = u"\u00A4"_s;
        const QString emoticon = u"`(*^\uFE4F^*)\u2032"_s; // nine code units
        QTest::addRow("empty text") << u""_s << 0 << 0 << currency << currency << 1;
        QTest::addRow("empty text, nine characters") << u""_s << 0 << 0 << emoticon << emoticon << 9;
        QTest::addRow("caret at 0") << u"abc"_s << 0 << 0 << currency << (currency + u"abc"_s) << 1;
        QTest::addRow("caret at the end") << u"abc"_s << 3 << 3 << currency << (u"abc"_s + currency) << 4;
        QTest::addRow("caret inside") << u"abc"_s << 1 << 1 << currency << (u"a"_s + currency + u"bc"_s) << 2;
        QTest::addRow("selection kept")
            << u"abc"_s << 1 << 2 << currency << (u"a"_s + currency + u"bc"_s) << 2;
        QTest::addRow("selection made backwards")
            << u"abc"_s << 2 << 1 << currency << (u"a"_s + currency + u"bc"_s) << 2;
        QTest::addRow("whole text selected") << u"abc"_s << 0 << 3 << currency << (currency + u"abc"_s) << 1;
        QTest::addRow("two characters") << u"ab"_s << 1 << 1 << u"\u3117s"_s << u"a\u3117sb"_s << 3;
        QTest::addRow("control character") << u"ab"_s << 2 << 2 << u"\u0010"_s << u"ab\u0010"_s << 3;
        QTest::addRow("private use character") << u"ab"_s << 0 << 0 << u"\uE7EE"_s << u"\uE7EEab"_s << 1;
        QTest::addRow("second line") << u"ab\ncd"_s << 4 << 4 << currency << (u"ab\nc"_s + currency + u"d"_s)
                                     << 5;

        // The original's 16-bit caret stopped at 32767; ours does not.
        const QString longText(50000, QLatin1Char('x'));
        QString at32766 = longText;
        at32766.insert(32766, currency);
        QTest::addRow("caret at 32766") << longText << 32766 << 32766 << currency << at32766 << 32767;
        QString at45000 = longText;
        at45000.insert(45000, emoticon);
        QTest::addRow("caret beyond 40000") << longText << 45000 << 45000 << emoticon << at45000 << 45009;
    }

    void insertsAtCaret()
    {
        QFETCH(QString, text);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, inserted);
        QFETCH(QString, expected);
        QFETCH(int, caret);

        QPlainTextEdit box;
        SetUp(box, text, anchor, position);
        InsertAtCaret(&box, inserted);
        QCOMPARE(box.toPlainText(), expected);
        QCOMPARE(box.textCursor().position(), caret);
        QVERIFY(!box.textCursor().hasSelection());
    }

    void clicksInARowFollowEachOther()
    {
        QPlainTextEdit box;
        SetUp(box, u"<>"_s, 1, 1);
        for (const QString &symbol : {u"\u300E"_s, u"\u2606"_s, u"\u300F"_s})
            InsertAtCaret(&box, symbol);
        QCOMPARE(box.toPlainText(), u"<\u300E\u2606\u300F>"_s);
        QCOMPARE(box.textCursor().position(), 4);
    }

    void followsTheCaretTheUserMoved()
    {
        QPlainTextEdit box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setFocus();
        QTest::keyClicks(&box, u"hello"_s);
        InsertAtCaret(&box, u"*"_s);
        QTest::keyClick(&box, Qt::Key_Home);
        QTest::keyClick(&box, Qt::Key_Right);
        InsertAtCaret(&box, u"^_^"_s);
        QTest::keyClicks(&box, u"!"_s);
        QCOMPARE(box.toPlainText(), u"h^_^!ello*"_s);
    }

    void eachInsertionIsOneUndoStep()
    {
        QPlainTextEdit box;
        box.setPlainText(u"typed"_s);
        InsertAtCaret(&box, u"(-.-)=3"_s);
        InsertAtCaret(&box, u"#"_s);
        QCOMPARE(box.toPlainText(), u"(-.-)=3#typed"_s);
        box.undo();
        QCOMPARE(box.toPlainText(), u"(-.-)=3typed"_s);
        box.undo();
        QCOMPARE(box.toPlainText(), u"typed"_s);
        box.redo();
        QCOMPARE(box.toPlainText(), u"(-.-)=3typed"_s);
    }

    // Typing before or after a click stays apart from it in the undo history.
    void typingStaysApartFromTheClick()
    {
        QPlainTextEdit box;
        box.show();
        box.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QTest::keyClicks(&box, u"ab"_s);
        InsertAtCaret(&box, u"\u2606"_s);
        QTest::keyClicks(&box, u"cd"_s);
        QCOMPARE(box.toPlainText(), u"ab\u2606cd"_s);
        box.undo();
        QCOMPARE(box.toPlainText(), u"ab\u2606"_s);
        box.undo();
        QCOMPARE(box.toPlainText(), u"ab"_s);
        box.redo();
        box.redo();
        QCOMPARE(box.toPlainText(), u"ab\u2606cd"_s);
    }

    void keepsFocusWhereTheClickLeftIt()
    {
        QWidget window;
        auto *box = new QPlainTextEdit(&window);
        auto *button = new QPushButton(u"x"_s, &window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, box, [box] { InsertAtCaret(box, u"x"_s); });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(box->toPlainText(), u"x"_s);
        QCOMPARE(QApplication::focusWidget(), button);
    }

    void leavesTheTextAloneWithoutATarget()
    {
        InsertAtCaret(nullptr, u"x"_s); // no crash, nothing to do

        QPlainTextEdit box;
        lumo::palettes::SetMainTextProvider({});
        lumo::palettes::InsertIntoMainText(u"x"_s);
        QCOMPARE(box.toPlainText(), QString());

        lumo::palettes::SetMainTextProvider([&box] { return &box; });
        lumo::palettes::InsertIntoMainText(u"x"_s);
        QCOMPARE(box.toPlainText(), u"x"_s);
        lumo::palettes::SetMainTextProvider({});
    }
};

QTEST_MAIN(InsertAtCaretTest)
#include "insert_at_caret_test.moc"
