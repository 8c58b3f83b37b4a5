#include "platform/editmenu.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <string_view>

using namespace Qt::StringLiterals;

namespace lumo::platform {

namespace {

struct EditAction {
    std::string_view objectName; // as Qt names its standard edit actions
    const char16_t *text;
};

// clang-format off
constexpr EditAction kEditActions[] = {
    {"edit-undo",   u"撤消(&U)"},
    {"edit-redo",   u"重做(&R)"},
    {"edit-cut",    u"剪切(&T)"},
    {"edit-copy",   u"复制(&C)"},
    {"edit-paste",  u"粘贴(&P)"},
    {"edit-delete", u"删除(&D)"},
    {"select-all",  u"全选(&A)"},
};
// clang-format on

} // namespace

QMenu *CreateEditMenu(QPlainTextEdit &box, QPoint position)
{
    QMenu *menu = box.createStandardContextMenu(position);
    for (QAction *action : menu->actions()) {
        const QByteArray name = action->objectName().toLatin1();
        for (const EditAction &edit : kEditActions) {
            if (std::string_view(name.constData(), static_cast<std::size_t>(name.size())) != edit.objectName)
                continue;
            // Keep the shortcut Qt shows after a tab.
            const QString text = action->text();
            const qsizetype tab = text.indexOf(u'\t');
            action->setText(QString::fromUtf16(edit.text) + (tab >= 0 ? text.mid(tab) : QString()));
        }
    }
    return menu;
}

} // namespace lumo::platform
