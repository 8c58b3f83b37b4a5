#include "palettes/insert_at_caret.h"

#include <QPlainTextEdit>

// Placeholder until the palettes land.
namespace lumo::palettes {
void InsertAtCaret(QPlainTextEdit *, const QString &) {}
} // namespace lumo::palettes
