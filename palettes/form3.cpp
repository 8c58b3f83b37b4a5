#include "palettes/form3.h"

#include "palettes/palette_buttons.h"
#include "palettes/palette_layouts.h"

#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace lumo::palettes {

namespace {
QPointer<Form3> g_instance;
} // namespace

Form3::Form3()
{
    // Closing destroys the window; the next opening builds it again from its
    // layout, at its stored position.
    setAttribute(Qt::WA_DeleteOnClose);
    platform::BuildWindow(*this, Form3Layout());
    platform::PlaceWindow(*this, Form3Layout());
    ConnectPaletteButtons(*this, Form3Layout(), kForm3CloseButton);
}

Form3 &Form3::Instance()
{
    if (!g_instance)
        g_instance = new Form3; // no parent: an independent top-level window
    return *g_instance;
}

Form3 *Form3::Existing()
{
    return g_instance.data();
}

Form3 &Form3::Open()
{
    Form3 &form = Instance();
    form.show();
    form.raise();
    form.activateWindow();
    return form;
}

void Form3::keyPressEvent(QKeyEvent *event)
{
    // Command1 is the window's default button. Qt gives default buttons their
    // Enter key only inside dialogs, so the palette passes it on itself: Enter
    // (main or keypad) anywhere in the window inserts Command1's emoticon.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto *button = findChild<QPushButton *>(QStringLiteral("Command1"))) {
            button->click();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

} // namespace lumo::palettes
