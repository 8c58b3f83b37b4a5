// The real message box service: the style word's icon and button fields become a
// QMessageBox, shown modal with the given title and text. Each box is inspected
// and closed from a timer, so nothing waits for a user.

#include "platform/messagebox.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace Qt::StringLiterals;

class MessageBoxTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void styleWord_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addRow("48 empty-text warning") << 48 << int(QMessageBox::Warning) << int(QMessageBox::Ok);
        QTest::addRow("44 first-use tip") << 44 << int(QMessageBox::Question) << int(QMessageBox::Ok);
        QTest::addRow("64 second copy") << 64 << int(QMessageBox::Information) << int(QMessageBox::Ok);
        QTest::addRow("16 critical") << 16 << int(QMessageBox::Critical) << int(QMessageBox::Ok);
        QTest::addRow("0 plain") << 0 << int(QMessageBox::NoIcon) << int(QMessageBox::Ok);
        QTest::addRow("1 OK and Cancel")
            << 1 << int(QMessageBox::NoIcon) << int(QMessageBox::Ok | QMessageBox::Cancel);
        QTest::addRow("36 Yes and No")
            << 36 << int(QMessageBox::Question) << int(QMessageBox::Yes | QMessageBox::No);
    }

    void styleWord()
    {
        QFETCH(int, style);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        bool inspected = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            inspected = true;
            QCOMPARE(box->windowTitle(), u"温馨提示\uFF1A"_s);
            QCOMPARE(box->text(), u"内容为空,请输入要转换的内容."_s);
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(box->windowModality(), Qt::ApplicationModal);
            QCOMPARE(int(box->icon()), icon);
            QCOMPARE(int(box->standardButtons()), buttons);
            // The words of a Chinese Windows box, and no icons on the buttons.
            for (QAbstractButton *button : box->buttons()) {
                QVERIFY2(!button->text().contains(QRegularExpression(u"[A-Za-z]{2}"_s)),
                         qPrintable(button->text()));
                QVERIFY2(button->icon().isNull(), qPrintable(button->text()));
            }
            if (buttons == QMessageBox::Ok)
                QCOMPARE(box->button(QMessageBox::Ok)->text(), u"确定"_s);
            box->done(0);
        });
        lumo::platform::MessageBoxes().show(nullptr, u"内容为空,请输入要转换的内容."_s, u"温馨提示\uFF1A"_s,
                                            style);
        QVERIFY(inspected);
    }

    // A screen reader meets an alert, named by its title, whose description is the message;
    // Enter and Esc both close it.
    void accessibleAlert_data()
    {
        QTest::addColumn<int>("key");
        QTest::addRow("Enter") << int(Qt::Key_Return);
        QTest::addRow("Esc") << int(Qt::Key_Escape);
    }
    void accessibleAlert()
    {
        QFETCH(int, key);
        QAccessible::Role role = QAccessible::NoRole;
        QString name, description;
        QStringList shown;
        bool closed = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            QAccessibleInterface *alert = QAccessible::queryAccessibleInterface(box);
            role = alert->role();
            name = alert->text(QAccessible::Name);
            description = alert->text(QAccessible::Description);
            const std::function<void(QAccessibleInterface *)> collect = [&](QAccessibleInterface *node) {
                for (int i = 0; i < node->childCount(); ++i) {
                    shown << node->child(i)->text(QAccessible::Name);
                    collect(node->child(i));
                }
            };
            collect(alert);
            QTest::keyClick(box->windowHandle(), Qt::Key(key));
            closed = !box->isVisible();
            if (!closed)
                box->done(0);
        });
        lumo::platform::MessageBoxes().show(nullptr, u"请唔好双开。"_s, u"温馨提示\uFF1A"_s, 64);
        QCOMPARE(role, QAccessible::AlertMessage);
        QCOMPARE(name, u"温馨提示\uFF1A"_s);
        QCOMPARE(description, u"请唔好双开。"_s);
        QVERIFY2(shown.contains(u"请唔好双开。"_s), qPrintable(shown.join(u'|')));
        QVERIFY2(shown.contains(u"确定"_s), qPrintable(shown.join(u'|')));
        QVERIFY(closed);
    }

    // Text is shown as written, never read as markup.
    void plainText()
    {
        QString shown;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = box->text();
            QCOMPARE(box->textFormat(), Qt::PlainText);
            box->done(0);
        });
        lumo::platform::MessageBoxes().show(nullptr, u"<b>粗体</b>"_s, u"t"_s, 48);
        QCOMPARE(shown, u"<b>粗体</b>"_s);
    }
};

QTEST_MAIN(MessageBoxTest)
#include "messagebox_test.moc"
