// The context menu of a multi-line text box speaks the interface's language, and its actions
// still do what they say.

#include "platform/editmenu.h"
#include "platform/windowdef.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// What a menu shows: each action's label without the shortcut after the tab, separators left out.
QStringList Labels(const QMenu &menu)
{
    QStringList labels;
    for (const QAction *action : menu.actions())
        if (!action->isSeparator())
            labels << action->text().section(u'\t', 0, 0);
    return labels;
}

const QStringList kChineseLabels = {u"撤消(&U)"_s, u"重做(&R)"_s, u"剪切(&T)"_s, u"复制(&C)"_s,
                                    u"粘贴(&P)"_s, u"删除(&D)"_s, u"全选(&A)"_s};

} // namespace

class EditMenuTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void labelsAreChineseAndActionsStillWork()
    {
        QPlainTextEdit box;
        box.setPlainText(u"我们的签名"_s);
        const std::unique_ptr<QMenu> menu(lumo::platform::CreateEditMenu(box, QPoint(1, 1)));
        QCOMPARE(Labels(*menu), kChineseLabels);
        // The shortcuts Qt shows stay.
        const QAction *selectAll = menu->findChild<QAction *>(u"select-all"_s);
        QVERIFY(selectAll);
        QVERIFY(selectAll->text().endsWith(u"\tCtrl+A"_s));
        menu->findChild<QAction *>(u"select-all"_s)->trigger();
        QCOMPARE(box.textCursor().selectedText(), u"我们的签名"_s);
    }

    void builtTextBoxShowsTheChineseMenu()
    {
        static constexpr lumo::platform::ControlDef kControls[] = {
            {"Text1", lumo::platform::ControlType::TextBox, "", u"abc", 0, 0, 3000, 1500, 0, u"",
             lumo::platform::MultiLine | lumo::platform::VerticalScroll},
        };
        const lumo::platform::WindowDef def{u"t", 3000, 1500,  lumo::platform::Placement::CentreScreen,
                                            0,    0,    false, kControls};
        QWidget window;
        lumo::platform::BuildWindow(window, def);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *box = window.findChild<QPlainTextEdit *>(u"Text1"_s);
        QVERIFY(box);

        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                shown = Labels(*menu);
                menu->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(box->viewport(), &event);
        QCOMPARE(shown, kChineseLabels);
    }
};

QTEST_MAIN(EditMenuTest)
#include "editmenu_test.moc"
