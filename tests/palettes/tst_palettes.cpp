// The symbol palette (Form2) and the emoticon palette (Form3): their buttons,
// their windows and their life from opening to closing.
#include "palettes/form2.h"
#include "palettes/form3.h"
#include "palettes/insert_at_caret.h"
#include "resources/product.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using lumo::palettes::Form2;
using lumo::palettes::Form3;
using namespace Qt::StringLiterals;

namespace {
QString Domain()
{
    return QString::fromUtf16(lumo::product::kWebDomain);
}

QPushButton *Button(QWidget *window, int number)
{
    return window->findChild<QPushButton *>(u"Command%1"_s.arg(number));
}

// Lets Qt carry out pending deferred deletes (closed palettes delete themselves).
void ProcessDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void CloseAll()
{
    if (Form2 *form = Form2::Existing())
        form->close();
    if (Form3 *form = Form3::Existing())
        form->close();
    ProcessDeletes();
}

QWidget *OpenPalette(const QString &which)
{
    if (which == u"Form2"_s)
        return &Form2::Open();
    return &Form3::Open();
}
} // namespace

class PalettesTest : public QObject {
    Q_OBJECT
  private:
    // Stands in for the main window's text box.
    QPlainTextEdit *m_mainText = nullptr;

  private Q_SLOTS:
    void initTestCase()
    {
        m_mainText = new QPlainTextEdit;
        m_mainText->setWindowTitle(u"main"_s);
        m_mainText->show();
        lumo::palettes::SetMainTextProvider([this] { return m_mainText; });
    }
    void cleanupTestCase()
    {
        CloseAll();
        lumo::palettes::SetMainTextProvider({});
        delete m_mainText;
    }
    void init() { m_mainText->clear(); }
    void cleanup() { CloseAll(); }

    // Every insertion button shows exactly what it inserts.
    void everyButtonInsertsItsCaption_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("closeButton");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QList<int>>("lengths");
        QTest::addRow("Form2") << u"Form2"_s << 1 << 61 << QList<int>{1};
        QTest::addRow("Form3") << u"Form3"_s << 32 << 32 << QList<int>{3, 5, 7, 9};
    }
    void everyButtonInsertsItsCaption()
    {
        QFETCH(QString, form);
        QFETCH(int, closeButton);
        QFETCH(int, buttons);
        QFETCH(QList<int>, lengths);

        QWidget *window = OpenPalette(form);
        QCOMPARE(window->findChildren<QPushButton *>().size(), buttons);
        QSet<QString> seen;
        for (int number = 1; number <= buttons; ++number) {
            if (number == closeButton)
                continue;
            QPushButton *button = Button(window, number);
            QVERIFY2(button, qPrintable(u"Command%1 missing"_s.arg(number)));
            m_mainText->setPlainText(u"ab"_s);
            QTextCursor cursor = m_mainText->textCursor();
            cursor.setPosition(1);
            m_mainText->setTextCursor(cursor);

            QTest::mouseClick(button, Qt::LeftButton);
            const QString caption = button->text();
            QVERIFY2(lengths.contains(caption.size()), qPrintable(button->objectName()));
            QCOMPARE(m_mainText->toPlainText(), u"a"_s + caption + u"b"_s);
            QCOMPARE(m_mainText->textCursor().position(), 1 + caption.size());
            seen.insert(caption);
        }
        QCOMPARE(seen.size(), buttons - 1); // no two buttons insert the same string
        QVERIFY(Form2::Existing() || Form3::Existing());
        QVERIFY(window->isVisible()); // the palette stays open
    }

    // The characters that are easy to get wrong, read from the real buttons.
    void trickyCodePoints_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("inserted");
        QTest::addRow("Form2 Command4, private use") << u"Form2"_s << 4 << u"\uE7EE"_s;
        QTest::addRow("Form2 Command7, private use") << u"Form2"_s << 7 << u"\uE83A"_s;
        QTest::addRow("Form2 Command8, control character") << u"Form2"_s << 8 << u"\u0010"_s;
        QTest::addRow("Form2 Command9, private use") << u"Form2"_s << 9 << u"\uE7EC"_s;
        QTest::addRow("Form3 Command1, default button") << u"Form3"_s << 1 << u"~@^_^@~"_s;
        QTest::addRow("Form3 Command7, full-width hyphens") << u"Form3"_s << 7 << u"\uFF0DO\uFF0D"_s;
        QTest::addRow("Form3 Command20, omega") << u"Form3"_s << 20 << u"\u2196(^\u03C9^)\u2197"_s;
        QTest::addRow("Form3 Command25, omicron") << u"Form3"_s << 25 << u"^\u03BF^"_s;
        QTest::addRow("Form3 Command26, nine characters") << u"Form3"_s << 26 << u"`(*^\uFE4F^*)\u2032"_s;
        QTest::addRow("Form3 Command31, blanks inside") << u"Form3"_s << 31 << u"( *^_^* )"_s;
    }
    void trickyCodePoints()
    {
        QFETCH(QString, form);
        QFETCH(int, number);
        QFETCH(QString, inserted);
        QPushButton *button = Button(OpenPalette(form), number);
        QVERIFY(button);
        QCOMPARE(button->text(), inserted);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_mainText->toPlainText(), inserted);
        QCOMPARE(m_mainText->textCursor().position(), inserted.size());
    }

    void clicksInARowGoOneAfterAnother()
    {
        m_mainText->setPlainText(u"[]"_s);
        QTextCursor cursor = m_mainText->textCursor();
        cursor.setPosition(1);
        m_mainText->setTextCursor(cursor);
        QWidget &form2 = Form2::Open();
        QWidget &form3 = Form3::Open();
        QTest::mouseClick(Button(&form2, 2), Qt::LeftButton);  // 〣
        QTest::mouseClick(Button(&form3, 13), Qt::LeftButton); // $_$
        form2.activateWindow();                                // as the window manager does on a click
        QVERIFY(QTest::qWaitForWindowActive(&form2));
        QTest::mouseClick(Button(&form2, 61), Qt::LeftButton); // ⑨
        QCOMPARE(m_mainText->toPlainText(), u"[\u3023$_$\u2468]"_s);
        QCOMPARE(m_mainText->textCursor().position(), 6);
        // The focus stays on the buttons clicked, not in the main text.
        QCOMPARE(QApplication::focusWidget(), Button(&form2, 61));
        QCOMPARE(form3.focusWidget(), Button(&form3, 13));
        QVERIFY(!m_mainText->hasFocus());
    }

    void tooltips()
    {
        QWidget &form3 = Form3::Open();
        int withTip = 0;
        for (int number = 1; number <= 31; ++number)
            withTip += Button(&form3, number)->toolTip().isEmpty() ? 0 : 1;
        QCOMPARE(withTip, 30);
        QCOMPARE(Button(&form3, 1)->toolTip(), QString());
        QCOMPARE(Button(&form3, 17)->toolTip(), u" 鸣~~我在哭.."_s);
        QCOMPARE(Button(&form3, 18)->toolTip(), u"发火了!! "_s);
        QCOMPARE(Button(&form3, 30)->toolTip(), u"耶~~^^ (装可爱?!)"_s);
        QCOMPARE(Button(&form3, 32)->toolTip(), u"可爱呦!"_s);
        for (int number = 1; number <= 61; ++number)
            QCOMPARE(Button(&Form2::Open(), number)->toolTip(), QString());
    }

    void windows_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QRect>("client");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("closeButton");
        QTest::addRow("Form2") << u"Form2"_s << u"特殊符号表 - "_s + Domain() << QRect(852, 285, 223, 306)
                               << u"选择要插入的符号："_s << 1;
        QTest::addRow("Form3") << u"Form3"_s << u"表情选择      -"_s + Domain() << QRect(64, 285, 266, 303)
                               << u"选择要插入的表情："_s << 32;
    }
    void windows()
    {
        QFETCH(QString, form);
        QFETCH(QString, title);
        QFETCH(QRect, client);
        QFETCH(QString, frame);
        QFETCH(int, closeButton);

        QWidget *window = OpenPalette(form);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->geometry(), client);
        QCOMPARE(window->minimumSize(), window->maximumSize()); // not resizable
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        // Modeless, no owner, not kept above other windows.
        QVERIFY(window->isWindow());
        QCOMPARE(window->parentWidget(), nullptr);
        QCOMPARE(window->windowModality(), Qt::NonModal);
        QVERIFY(!(flags & Qt::WindowStaysOnTopHint));
        QCOMPARE(window->windowType(), Qt::Window);

        auto *groupBox = window->findChild<QGroupBox *>(u"Frame1"_s);
        QVERIFY(groupBox);
        QCOMPARE(groupBox->title(), frame);
        for (QPushButton *button : window->findChildren<QPushButton *>())
            QCOMPARE(button->parentWidget(), groupBox);
        QCOMPARE(Button(window, closeButton)->text(), u"关闭"_s);
    }

    // Tab runs by control number in Form2 and against it in Form3.
    void tabOrder_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("step");
        QTest::addRow("Form2") << u"Form2"_s << 1 << 1;
        QTest::addRow("Form3") << u"Form3"_s << 32 << -1;
    }
    void tabOrder()
    {
        QFETCH(QString, form);
        QFETCH(int, first);
        QFETCH(int, step);
        QWidget *window = OpenPalette(form);
        QVERIFY(QTest::qWaitForWindowActive(window));
        Button(window, first)->setFocus();
        const int count = window->findChildren<QPushButton *>().size();
        for (int i = 1, number = first + step; i < count; ++i, number += step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), Button(window, number));
        }
    }

    // Enter anywhere in the emoticon palette inserts Command1's emoticon, once.
    void enterClicksTheDefaultButton_data()
    {
        QTest::addColumn<int>("focused");
        QTest::addColumn<int>("key");
        QTest::addRow("on Command1") << 1 << int(Qt::Key_Return);
        QTest::addRow("on Command5") << 5 << int(Qt::Key_Return);
        QTest::addRow("keypad Enter on Command26") << 26 << int(Qt::Key_Enter);
    }
    void enterClicksTheDefaultButton()
    {
        QFETCH(int, focused);
        QFETCH(int, key);
        QWidget &form3 = Form3::Open();
        QVERIFY(QTest::qWaitForWindowActive(&form3));
        QPushButton *button = Button(&form3, focused);
        button->setFocus();
        QTest::keyClick(button, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(m_mainText->toPlainText(), u"~@^_^@~"_s);
        QCOMPARE(QApplication::focusWidget(), button);
    }

    void openingTwiceShowsTheSameWindow()
    {
        QWidget *first2 = &Form2::Open();
        QWidget *first3 = &Form3::Open();
        QCOMPARE(&Form2::Open(), first2);
        QCOMPARE(&Form3::Open(), first3);
        int palettes = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            palettes += (qobject_cast<Form2 *>(window) || qobject_cast<Form3 *>(window)) ? 1 : 0;
        QCOMPARE(palettes, 2);
        QVERIFY(first2->isVisible() && first3->isVisible() && m_mainText->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(first3)); // the palette opened last is active
    }

    // Closing destroys the palette; the next opening builds it afresh at its place.
    void closeAndReopen_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("closeButton");
        QTest::addColumn<bool>("titleBar");
        QTest::addColumn<QPoint>("place");
        QTest::addRow("Form2, close button") << u"Form2"_s << 1 << false << QPoint(852, 285);
        QTest::addRow("Form2, title bar") << u"Form2"_s << 1 << true << QPoint(852, 285);
        QTest::addRow("Form3, close button") << u"Form3"_s << 32 << false << QPoint(64, 285);
        QTest::addRow("Form3, title bar") << u"Form3"_s << 32 << true << QPoint(64, 285);
    }
    void closeAndReopen()
    {
        QFETCH(QString, form);
        QFETCH(int, closeButton);
        QFETCH(bool, titleBar);
        QFETCH(QPoint, place);

        QPointer<QWidget> window = OpenPalette(form);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->move(400, 400); // the user drags it away
        Button(window, 2)->setText(u"changed"_s);
        if (titleBar)
            window->close();
        else
            QTest::mouseClick(Button(window, closeButton), Qt::LeftButton);
        ProcessDeletes();
        QVERIFY(window.isNull());
        QCOMPARE(Form2::Existing(), nullptr);
        QCOMPARE(Form3::Existing(), nullptr);
        QCOMPARE(m_mainText->toPlainText(), QString()); // closing inserts nothing

        QWidget *reopened = OpenPalette(form);
        QVERIFY(QTest::qWaitForWindowExposed(reopened));
        QCOMPARE(reopened->geometry().topLeft(), place);
        QVERIFY(Button(reopened, 2)->text() != u"changed"_s);
    }

    void existingNeverCreates()
    {
        QCOMPARE(Form2::Existing(), nullptr);
        QCOMPARE(Form3::Existing(), nullptr);
        Form2 &form2 = Form2::Instance();
        QCOMPARE(Form2::Existing(), &form2);
        QVERIFY(!form2.isVisible()); // created, not shown
        QCOMPARE(Form3::Existing(), nullptr);
    }
};

QTEST_MAIN(PalettesTest)
#include "tst_palettes.moc"
