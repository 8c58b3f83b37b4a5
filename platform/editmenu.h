#pragma once

#include <QPoint>

class QMenu;
class QPlainTextEdit;

namespace lumo::platform {

/// The context menu of a multi-line text box at `position` (in the box's viewport): Qt's standard
/// edit actions, in the words of the edit controls of a Chinese Windows (撤消(&U), 剪切(&T) ...).
/// The caller owns the menu.
QMenu *CreateEditMenu(QPlainTextEdit &box, QPoint position);

} // namespace lumo::platform
