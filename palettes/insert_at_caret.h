#pragma once

#include <QString>
#include <functional>

class QPlainTextEdit;

namespace lumo::palettes {

/// Inserts `text` at the caret of `target` (in front of any selection, which
/// stays) as one undo step and leaves the caret right after it with nothing
/// selected. The keyboard focus is not touched. Does nothing for a null target.
void InsertAtCaret(QPlainTextEdit *target, const QString &text);

/// Returns the main text box (`Text1` of the main window), creating the main
/// window hidden if it does not exist yet.
using MainTextProvider = std::function<QPlainTextEdit *()>;

/// Registers how the palettes reach the main text box. The program registers
/// it at start; tests register their own box. An empty provider unregisters.
void SetMainTextProvider(MainTextProvider provider);

/// The main text box, or nullptr when no provider is registered.
QPlainTextEdit *MainText();

/// Inserts `text` at the main text box's caret; what every palette button does.
void InsertIntoMainText(const QString &text);

} // namespace lumo::palettes
