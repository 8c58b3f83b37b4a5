#include "palettes/insert_at_caret.h"

#include <QAbstractUndoItem>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <utility>

namespace lumo::palettes {

namespace {
// Qt merges text typed right after an edit block into that block's undo step;
// a do-nothing item closing the block keeps each click an undo step of its own.
class UndoBoundary final : public QAbstractUndoItem {
  public:
    void undo() override {}
    void redo() override {}
};

MainTextProvider &Provider()
{
    static MainTextProvider provider;
    return provider;
}
} // namespace

void InsertAtCaret(QPlainTextEdit *target, const QString &text)
{
    if (!target)
        return;
    // The caret is the start of the selection; the selection itself is left in
    // the text. Qt counts positions in an int, so there is no 16-bit ceiling.
    const int caret = target->textCursor().selectionStart();

    // An edit at the caret rather than a rewrite of the whole text: it costs the
    // same in a long text, keeps the user's undo history, and the edit block
    // keeps each click a single undo step of its own.
    QTextCursor cursor(target->document());
    cursor.setPosition(caret);
    cursor.beginEditBlock();
    cursor.insertText(text);
    target->document()->appendUndoItem(new UndoBoundary);
    cursor.endEditBlock();

    // Caret right after the inserted text, nothing selected; the focus stays
    // wherever the click put it.
    target->setTextCursor(cursor);
    target->ensureCursorVisible();
}

void SetMainTextProvider(MainTextProvider provider)
{
    Provider() = std::move(provider);
}

QPlainTextEdit *MainText()
{
    return Provider() ? Provider()() : nullptr;
}

void InsertIntoMainText(const QString &text)
{
    InsertAtCaret(MainText(), text);
}

} // namespace lumo::palettes
