#pragma once

#include <QString>

class QPlainTextEdit;

namespace lumo::palettes {

/// Inserts `text` at the caret of `target` (in front of any selection) as one
/// undo step and leaves the caret right after it with nothing selected.
void InsertAtCaret(QPlainTextEdit *target, const QString &text);

} // namespace lumo::palettes
