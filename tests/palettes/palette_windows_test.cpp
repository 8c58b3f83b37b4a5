// The symbol palette (Form2) and the emoticon palette (Form3): their buttons,
// their windows and their life from opening to closing.
#include "palettes/form2.h"
#include "palettes/form3.h"
#include "palettes/insert_at_caret.h"
#include "resources/product.h"

#include <QAccessible>
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

    // As on Windows, Enter and Space click the focused button. The emoticon palette's default
    // button, Command1, takes Enter only while no other button has the focus.
    void keys_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("focused"); // 0: no control has the focus
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<bool>("closes");
        QTest::addRow("Form3 Enter on Command1")
            << u"Form3"_s << 1 << int(Qt::Key_Return) << u"~@^_^@~"_s << false;
        QTest::addRow("Form3 Enter on Command5")
            << u"Form3"_s << 5 << int(Qt::Key_Return) << u"e_e"_s << false;
        QTest::addRow("Form3 keypad Enter on Command26")
            << u"Form3"_s << 26 << int(Qt::Key_Enter) << u"`(*^\uFE4F^*)\u2032"_s << false;
        QTest::addRow("Form3 Space on Command5")
            << u"Form3"_s << 5 << int(Qt::Key_Space) << u"e_e"_s << false;
        QTest::addRow("Form3 Enter on Command32 closes")
            << u"Form3"_s << 32 << int(Qt::Key_Return) << QString() << true;
        QTest::addRow("Form3 Space on Command32 closes")
            << u"Form3"_s << 32 << int(Qt::Key_Space) << QString() << true;
        QTest::addRow("Form3 Enter, no focus")
            << u"Form3"_s << 0 << int(Qt::Key_Return) << u"~@^_^@~"_s << false;
        QTest::addRow("Form2 Enter on Command2")
            << u"Form2"_s << 2 << int(Qt::Key_Return) << u"\u3023"_s << false;
        QTest::addRow("Form2 Space on Command61")
            << u"Form2"_s << 61 << int(Qt::Key_Space) << u"\u2468"_s << false;
        QTest::addRow("Form2 Enter on Command1 closes")
            << u"Form2"_s << 1 << int(Qt::Key_Return) << QString() << true;
        QTest::addRow("Form2 Enter, no focus")
            << u"Form2"_s << 0 << int(Qt::Key_Return) << QString() << false;
    }
    void keys()
    {
        QFETCH(QString, form);
        QFETCH(int, focused);
        QFETCH(int, key);
        QFETCH(QString, inserted);
        QFETCH(bool, closes);
        QPointer<QWidget> window = OpenPalette(form);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QPushButton *defaultButton = form == u"Form3"_s ? Button(window, 1) : nullptr;
        if (focused) {
            Button(window, focused)->setFocus(Qt::TabFocusReason);
            QVERIFY(Button(window, focused)->isDefault()); // drawn as the default while focused
        } else if (QWidget *focus = window->focusWidget()) {
            focus->clearFocus();
        }
        if (defaultButton)
            QCOMPARE(defaultButton->isDefault(), focused == 0 || focused == 1);

        // Through the window, as the window system delivers keys.
        QTest::keyClick(window->windowHandle(), Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        ProcessDeletes();
        QCOMPARE(m_mainText->toPlainText(), inserted);
        QCOMPARE(window.isNull(), closes);
        if (!closes && focused)
            QCOMPARE(window->focusWidget(), Button(window, focused));
    }

    // Focus moving between buttons moves the default role with it.
    void defaultRoleFollowsTheFocus()
    {
        QWidget &form3 = Form3::Open();
        QVERIFY(QTest::qWaitForWindowActive(&form3));
        QPushButton *command1 = Button(&form3, 1);
        Button(&form3, 2)->setFocus(Qt::TabFocusReason);
        QVERIFY(!command1->isDefault());
        QTest::keyClick(form3.windowHandle(), Qt::Key_Tab); // on to Command1 (tab order runs backwards)
        QCOMPARE(form3.focusWidget(), command1);
        QVERIFY(command1->isDefault());
        QTest::keyClick(form3.windowHandle(), Qt::Key_Tab); // round to Command32
        QCOMPARE(form3.focusWidget(), Button(&form3, 32));
        QVERIFY(!command1->isDefault());
        QVERIFY(Button(&form3, 32)->isDefault());
        form3.focusWidget()->clearFocus();
        QVERIFY(command1->isDefault());
        QVERIFY(!Button(&form3, 32)->isDefault());
    }

    // A screen reader hears what a symbol button inserts, by the characters' Unicode names;
    // nothing is looked up until assistive technology is active.
    void symbolButtonsAreNamedOnceAccessibilityIsActive()
    {
        QVERIFY(!QAccessible::isActive());
        QWidget &form2 = Form2::Open();
        QCOMPARE(Button(&form2, 4)->accessibleName(), QString());
        QAccessible::setActive(true);
        const auto nameOf = [&](int number) {
            return QAccessible::queryAccessibleInterface(Button(&form2, number))->text(QAccessible::Name);
        };
        // Private-use characters by the standard character GB18030 gives their bytes.
        QCOMPARE(nameOf(4), u"IDEOGRAPHIC DESCRIPTION CHARACTER SURROUND FROM BELOW"_s); // A990
        QCOMPARE(nameOf(7), u"CJK RADICAL RAM"_s);                                       // FE75
        QCOMPARE(nameOf(9), u"IDEOGRAPHIC DESCRIPTION CHARACTER FULL SURROUND"_s);       // A98E
        QCOMPARE(nameOf(8), u"DATA LINK ESCAPE"_s);
        QCOMPARE(nameOf(3), u"CARE OF"_s);
        QCOMPARE(nameOf(16), u"CIRCLED IDEOGRAPH CORRECT"_s);
        QCOMPARE(nameOf(1), u"关闭"_s);
        QSet<QString> names;
        for (int number = 2; number <= 61; ++number) {
            const QString name = nameOf(number);
            QVERIFY2(!name.isEmpty() && !name.contains(u'<'),
                     qPrintable(u"Command%1: "_s.arg(number) + name));
            QCOMPARE(Button(&form2, number)->text().size(), 1); // the caption stays the symbol
            names.insert(name);
        }
        QCOMPARE(names.size(), 60);

        // A palette opened while a screen reader listens is named at once.
        form2.close();
        ProcessDeletes();
        QCOMPARE(Form2::Open().findChild<QPushButton *>(u"Command8"_s)->accessibleName(),
                 u"DATA LINK ESCAPE"_s);

        // Emoticons are spelled from their text; their tool tips describe them.
        QWidget &form3 = Form3::Open();
        QAccessibleInterface *smile = QAccessible::queryAccessibleInterface(Button(&form3, 9));
        QCOMPARE(smile->text(QAccessible::Name), u"^_^"_s);
        QCOMPARE(smile->text(QAccessible::Description), u"快乐"_s);
        QCOMPARE(QAccessible::queryAccessibleInterface(Button(&form3, 1))->text(QAccessible::Name),
                 u"~@^_^@~"_s);
        QCOMPARE(QAccessible::queryAccessibleInterface(form3.findChild<QWidget *>(u"Frame1"_s))
                     ->text(QAccessible::Name),
                 u"选择要插入的表情："_s);
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
#include "palette_windows_test.moc"
