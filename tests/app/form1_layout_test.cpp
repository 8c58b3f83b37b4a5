// The main window as built from its definition: geometry, tab order, fit of
// every text at the program's font, default state and the keyboard.

#include "app/form1.h"
#include "app/lookandfeel.h"
#include "tests/common/testkit.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace Qt::StringLiterals;
using lumo::app::Form1;
using lumo::platform::ControlDef;
using lumo::platform::ControlType;

namespace {

QString Q(std::u16string_view text)
{
    return QString::fromStdU16String(std::u16string(text));
}
QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// What a caption shows: the mnemonic "&" is not drawn.
QString Shown(QString caption)
{
    return caption.remove(u'&');
}

const ControlDef *Find(std::string_view name)
{
    for (const ControlDef &control : lumo::app::Form1Definition().controls)
        if (control.name == name)
            return &control;
    return nullptr;
}

} // namespace

class Form1LayoutTest : public QObject {
    Q_OBJECT

  private:
    Form1 *form = nullptr;

  private Q_SLOTS:
    void initTestCase() { lumo::app::ApplyLookAndFeel(*qApp); }

    void init()
    {
        form = &Form1::Instance();
        form->show();
        QApplication::setActiveWindow(form);
        QVERIFY(QTest::qWaitForWindowActive(form));
    }

    void cleanup() { delete Form1::Existing(); }

    void window()
    {
        QCOMPARE(form->windowTitle(), u"\u201CLumo\u201DQQ个性繁体签名制作工具 V2.5 - www.lumo.example"_s);
        // Fixed client area of 460 x 271 px: the user cannot resize it.
        QCOMPARE(form->size(), QSize(460, 271));
        QCOMPARE(form->minimumSize(), QSize(460, 271));
        QCOMPARE(form->maximumSize(), QSize(460, 271));
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        // Opens centred on the screen.
        lumo::platform::PlaceWindow(*form, lumo::app::Form1Definition());
        const QPoint offset = form->geometry().center() - form->screen()->availableGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, qPrintable(u"%1,%2"_s.arg(offset.x()).arg(offset.y())));
        QCOMPARE(form->size(), QSize(460, 271));
        // The two frames at their pixel spans across the window.
        const QWidget *frame1 = form->findChild<QGroupBox *>(u"Frame1"_s);
        const QWidget *frame3 = form->findChild<QGroupBox *>(u"Frame3"_s);
        QCOMPARE(frame1->geometry().left(), 4);
        QCOMPARE(frame1->geometry().right(), 324);
        QCOMPARE(frame3->geometry().left(), 328);
        QCOMPARE(frame3->geometry().right(), 456);
    }

    void controlCounts()
    {
        // Two frames, two text boxes, 40 buttons, a check box, two labels and the web panel.
        QCOMPARE(lumo::app::Form1Definition().controls.size(), 48u);
        QCOMPARE(form->findChildren<QPushButton *>().size(), 40);
        QCOMPARE(form->findChildren<QGroupBox *>().size(), 2);
        QCOMPARE(form->findChildren<QLabel *>(Qt::FindDirectChildrenOnly).size(), 2);
        QVERIFY(!form->findChild<QWidget *>(u"Command10"_s));
    }

    void control_data()
    {
        QTest::addColumn<QString>("name");
        for (const ControlDef &control : lumo::app::Form1Definition().controls)
            QTest::addRow("%s", qPrintable(Q(control.name))) << Q(control.name);
    }

    // Each control is where its definition puts it, in pixels, inside its container.
    void control()
    {
        QFETCH(QString, name);
        const ControlDef *def = Find(name.toStdString());
        QWidget *widget = form->findChild<QWidget *>(name);
        QVERIFY(widget);
        const QString container = Q(def->container);
        QCOMPARE(widget->parentWidget()->objectName(), container.isEmpty() ? form->objectName() : container);
        if (!container.isEmpty())
            QCOMPARE(widget->parentWidget()->parentWidget(), form);
        QCOMPARE(widget->geometry(), QRect(def->left / 15, def->top / 15, def->width / 15, def->height / 15));
        QCOMPARE(widget->toolTip(), Q(def->toolTip));
        QCOMPARE(widget->isVisible(), name != u"Text2");
    }

    void symbolButtons()
    {
        // Part of the fit: these are the 35 buttons of 17 x 17 px (Command9 49 wide).
        int symbols = 0;
        for (QPushButton *button : form->findChild<QGroupBox *>(u"Frame3"_s)->findChildren<QPushButton *>()) {
            if (button->objectName() == u"Command16" || button->objectName() == u"Command22") {
                QCOMPARE(button->size(), QSize(49, 25));
                continue;
            }
            ++symbols;
            QCOMPARE(button->size(), QSize(button->objectName() == u"Command9" ? 49 : 17, 17));
        }
        QCOMPARE(symbols, 35);
        // The captions with code points that are easy to get wrong.
        QCOMPARE(form->Button("Command5")->text(), u"\uE823"_s);
        QCOMPARE(form->Button("Command15")->text(), u"\uE7F2"_s);
        QCOMPARE(form->Button("Command26")->text(), u"\uE822"_s);
        QCOMPARE(form->Button("Command11")->text(), u"\u000E"_s);
        QCOMPARE(form->Button("Command9")->text(), u"\u3117s"_s);
        QCOMPARE(form->Button("Command24")->text(), form->Button("Command41")->text());
    }

    void defaultState()
    {
        // 13 lines, each ending in a line break; Text1 holds them with "\n".
        const QString text = form->MainText();
        QCOMPARE(text, Q(lumo::app::Form1DefaultText()).replace(u"\r\n"_s, u"\n"_s));
        const QStringList lines = text.split(u'\n');
        QCOMPARE(lines.size(), 14);
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines[0], u"请输入要转换的内容。     个性字库版本\uFF1AV1.5"_s);
        QCOMPARE(lines[2], QString(36, u'-'));
        QCOMPARE(lines[3], u"欢迎使用\u201CLumo\u201DQQ个性繁体签名制作工具 V2.5!"_s);
        QVERIFY(lines[5].contains(u"www.lumo.example"_s));
        QVERIFY(lines[9].endsWith(u"   "_s));
        QVERIFY(lines[11].startsWith(QString(34, u' ')) && lines[11].endsWith(u' '));
        QCOMPARE(lines[12], QString(34, u' ') + u"2007.07.19 "_s);
        // The caret and selection count the same characters the text holds.
        QTextCursor all = form->Text1()->textCursor();
        all.select(QTextCursor::Document);
        QCOMPARE(all.selectionEnd() - all.selectionStart(), text.size());

        QCOMPARE(form->Text2()->text(), u"Text2"_s);
        QVERIFY(form->Text2()->isHidden());
        QVERIFY(!form->Check1()->isChecked());
        QCOMPARE(form->Check1()->text(), u"禁用个性字转换"_s);
        QVERIFY(form->Text1()->verticalScrollBar()->isVisible());
        QCOMPARE(form->Text1()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(form->Text1()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        for (const QString &name : {u"Label1"_s, u"Label3"_s}) {
            const QLabel *label = form->findChild<QLabel *>(name);
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QCOMPARE(label->cursor().shape(), Qt::UpArrowCursor);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        }
        // No button is the window's default: Enter belongs to the focused control.
        form->Text1()->setFocus();
        for (QPushButton *button : form->findChildren<QPushButton *>())
            QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
    }

    // Every caption, label and line of the default text fits its control at the program's font.
    void captionsFit_data()
    {
        QTest::addColumn<QString>("name");
        for (const ControlDef &control : lumo::app::Form1Definition().controls)
            if (!control.caption.empty() && control.name != "Text2")
                QTest::addRow("%s", qPrintable(Q(control.name))) << Q(control.name);
    }

    void captionsFit()
    {
        QFETCH(QString, name);
        QWidget *widget = form->findChild<QWidget *>(name);
        QVERIFY(widget->font() == QApplication::font());
        const QFontMetrics metrics(widget->font());
        QStyle *style = widget->style();

        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const QRect contents = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const QString shown = Shown(button->text());
            QVERIFY2(metrics.horizontalAdvance(shown) <= contents.width(), qPrintable(shown));
            // The glyphs themselves, not just the advance: centred, they stay inside the face.
            const QRect ink = metrics.tightBoundingRect(shown);
            QVERIFY2(ink.height() <= contents.height(), qPrintable(shown));
            QVERIFY2(ink.width() <= contents.width(), qPrintable(shown));
        } else if (auto *check = qobject_cast<QCheckBox *>(widget)) {
            QStyleOptionButton option;
            option.initFrom(check);
            option.text = check->text();
            const QRect contents = style->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
            QVERIFY(contents.left() + metrics.horizontalAdvance(check->text()) <= check->width());
            QVERIFY(metrics.height() <= check->height());
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            QVERIFY(metrics.horizontalAdvance(label->text()) <= label->width());
            // The link labels reach past the client area; their text must not.
            const int visible = std::min(label->height(), form->height() - label->y());
            QVERIFY(metrics.height() <= visible);
        } else if (auto *frame = qobject_cast<QGroupBox *>(widget)) {
            QVERIFY(metrics.horizontalAdvance(frame->title()) < frame->width());
            // The first control inside starts below the caption.
            for (QWidget *child : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (child->isVisibleTo(frame))
                    QVERIFY2(child->y() >= metrics.height(), qPrintable(child->objectName()));
        } else if (auto *text = qobject_cast<QPlainTextEdit *>(widget)) {
            // Each line of the default text lays out as one line: nothing wraps.
            for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
                QVERIFY(block.layout());
                QVERIFY2(block.layout()->lineCount() <= 1, qPrintable(block.text()));
            }
        } else {
            QFAIL("a control type without a fit check");
        }
    }

    void tabOrder()
    {
        const QStringList expected = [] {
            QStringList names{u"Text1"_s, u"Command1"_s, u"Command4"_s, u"Command3"_s, u"WebBrowser1"_s};
            for (int n : {5, 6, 7, 8, 9, 11, 12, 14, 15, 16, 17, 18, 19, 20, 22, 23, 24, 13, 21})
                names << u"Command%1"_s.arg(n);
            for (int n = 25; n <= 42; ++n)
                names << u"Command%1"_s.arg(n);
            names << u"Check1"_s;
            return names;
        }();
        form->Text1()->setFocus();
        QCOMPARE(QApplication::focusWidget(), form->Text1());
        QStringList forward;
        for (int i = 0; i < expected.size(); ++i) {
            forward << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(forward, expected);
        QCOMPARE(QApplication::focusWidget(), form->Text1()); // round again

        QStringList backward;
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            backward.prepend(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(backward, expected);
    }

    void accessKeys_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addRow("Alt+F") << u"Command1"_s << int(Qt::Key_F);
        QTest::addRow("Alt+C") << u"Command4"_s << int(Qt::Key_C);
        QTest::addRow("Alt+X") << u"Command3"_s << int(Qt::Key_X);
    }

    void accessKeys()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        lumo::test::FakeMessageBoxes boxes;
        lumo::test::FakeClipboard clipboard;
        QSignalSpy clicked(form->findChild<QPushButton *>(button), &QPushButton::clicked);
        form->Text1()->setFocus();
        QTest::keyClick(form->Text1(), Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(clicked.size(), 1); // a mnemonic animates the click
    }

    void enterInText1()
    {
        lumo::test::FakeMessageBoxes boxes;
        lumo::test::FakeClipboard clipboard;
        QList<QSignalSpy *> spies;
        for (QPushButton *button : form->findChildren<QPushButton *>())
            spies << new QSignalSpy(button, &QPushButton::clicked);
        form->Text1()->setPlainText(u"ab"_s);
        QTextCursor cursor = form->Text1()->textCursor();
        cursor.setPosition(1);
        form->Text1()->setTextCursor(cursor);
        form->Text1()->setFocus();
        QTest::keyClick(form->Text1(), Qt::Key_Return);
        QTest::keyClick(form->Text1(), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::qWait(200); // long enough for an animated click
        QCOMPARE(form->MainText(), u"a\n\nb"_s);
        for (QSignalSpy *spy : spies)
            QCOMPARE(spy->size(), 0);
        qDeleteAll(spies);
        QVERIFY(boxes.calls.isEmpty());
    }

    // As on Windows, Enter and Space click the focused button, and only that one; the button
    // keeps the focus. Keys go through the window, as the window system delivers them.
    void keysOnFocusedButton_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text"); // Text1 afterwards
        QTest::addRow("Enter on Command12") << u"Command12"_s << int(Qt::Key_Return) << u"a\u00A4b"_s;
        QTest::addRow("keypad Enter on Command9") << u"Command9"_s << int(Qt::Key_Enter) << u"a\u3117sb"_s;
        QTest::addRow("Space on Command40") << u"Command40"_s << int(Qt::Key_Space) << u"a\u2605b"_s;
        QTest::addRow("Enter on Command3") << u"Command3"_s << int(Qt::Key_Return) << QString();
        QTest::addRow("Space on Command3") << u"Command3"_s << int(Qt::Key_Space) << QString();
        QTest::addRow("Enter on Command4") << u"Command4"_s << int(Qt::Key_Return) << u"ab"_s;
        QTest::addRow("Enter on Check1") << u"Check1"_s << int(Qt::Key_Return) << u"ab"_s;
    }
    void keysOnFocusedButton()
    {
        QFETCH(QString, focused);
        QFETCH(int, key);
        QFETCH(QString, text);
        lumo::test::FakeMessageBoxes boxes;
        lumo::test::FakeClipboard clipboard;
        QMap<QString, QSignalSpy *> spies;
        for (QPushButton *button : form->findChildren<QPushButton *>())
            spies.insert(button->objectName(), new QSignalSpy(button, &QPushButton::clicked));
        form->Text1()->setPlainText(u"ab"_s);
        lumo::test::Select(*form->Text1(), 1, 1);
        auto *target = form->findChild<QWidget *>(focused);
        target->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), target);
        if (auto *button = qobject_cast<QPushButton *>(target))
            QVERIFY(button->isDefault()); // drawn as the default while it has the focus

        QTest::keyClick(form->windowHandle(), Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QTest::qWait(50);
        for (auto it = spies.cbegin(); it != spies.cend(); ++it)
            QVERIFY2(it.value()->size() == (it.key() == focused ? 1 : 0), qPrintable(it.key()));
        qDeleteAll(spies);
        QCOMPARE(form->MainText(), text);
        QCOMPARE(QApplication::focusWidget(), target);
        QVERIFY(boxes.calls.isEmpty());
        QCOMPARE(form->Check1()->isChecked(), false);
    }

    // Every control has a name for a screen reader: text boxes take their frame's caption,
    // the link labels are links.
    void accessibleNames()
    {
        const auto nameOf = [&](const QString &object) {
            QAccessibleInterface *node =
                QAccessible::queryAccessibleInterface(form->findChild<QWidget *>(object));
            return node ? node->text(QAccessible::Name) : QString();
        };
        QCOMPARE(nameOf(u"Text1"_s), u"转换内容"_s);
        QCOMPARE(nameOf(u"Check1"_s), u"禁用个性字转换"_s);
        QCOMPARE(nameOf(u"Command1"_s), u"转为繁体F"_s); // as Windows names it; Alt+F is its shortcut
        QCOMPARE(nameOf(u"WebBrowser1"_s), u"广告内容"_s);
        for (const QString &label : {u"Label1"_s, u"Label3"_s}) {
            QAccessibleInterface *link =
                QAccessible::queryAccessibleInterface(form->findChild<QWidget *>(label));
            QCOMPARE(link->role(), QAccessible::Link);
            QVERIFY(link->text(QAccessible::Name).startsWith(u"访问Lumo官方"_s));
        }
        for (const ControlDef &control : lumo::app::Form1Definition().controls)
            QVERIFY2(!nameOf(Q(control.name)).isEmpty(), control.name.data());

        // Symbol buttons say what they insert once a screen reader listens; captions stay.
        QAccessible::setActive(true);
        QCOMPARE(nameOf(u"Command26"_s), u"CJK RADICAL SMALL ONE"_s); // U+E822, FE 5D
        QCOMPARE(nameOf(u"Command5"_s), u"CJK RADICAL HEART TWO"_s);  // U+E823, FE 5E
        QCOMPARE(nameOf(u"Command15"_s),
                 u"IDEOGRAPHIC DESCRIPTION CHARACTER SURROUND FROM LOWER LEFT"_s); // A9 94
        QCOMPARE(nameOf(u"Command11"_s), u"SHIFT OUT"_s);
        QCOMPARE(nameOf(u"Command9"_s), u"BOPOMOFO LETTER Z, LATIN SMALL LETTER S"_s);
        QCOMPARE(nameOf(u"Command40"_s), u"BLACK STAR"_s);
        QCOMPARE(nameOf(u"Command37"_s), u"NOT EQUAL TO"_s);
        QCOMPARE(nameOf(u"Command24"_s), u"FULLWIDTH POUND SIGN"_s);
        QCOMPARE(form->Button("Command26")->text(), u"\uE822"_s);
        QCOMPARE(nameOf(u"Command16"_s), u"表情"_s);
    }

    // A window closed and opened again is laid out afresh from its definition.
    void freshAfterClose()
    {
        form->Text1()->setPlainText(u"changed"_s);
        form->Check1()->setChecked(true);
        QVERIFY(form->close());
        QTRY_VERIFY(!Form1::Existing());
        form = &Form1::Instance();
        QVERIFY(form->MainText().startsWith(u"请输入要转换的内容"_s));
        QVERIFY(!form->Check1()->isChecked());
    }
};

QTEST_MAIN(Form1LayoutTest)
#include "form1_layout_test.moc"
