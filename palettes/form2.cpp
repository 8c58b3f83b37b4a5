#include "palettes/form2.h"

#include "palettes/palette_buttons.h"
#include "palettes/palette_layouts.h"

#include <QPointer>

namespace lumo::palettes {

namespace {
QPointer<Form2> g_instance;
} // namespace

Form2::Form2()
{
    // Closing destroys the window; the next opening builds it again from its
    // layout, at its stored position.
    setAttribute(Qt::WA_DeleteOnClose);
    platform::BuildWindow(*this, Form2Layout());
    platform::PlaceWindow(*this, Form2Layout());
    ConnectPaletteButtons(*this, Form2Layout(), kForm2CloseButton);
}

Form2 &Form2::Instance()
{
    if (!g_instance)
        g_instance = new Form2; // no parent: an independent top-level window
    return *g_instance;
}

Form2 *Form2::Existing()
{
    return g_instance.data();
}

Form2 &Form2::Open()
{
    Form2 &form = Instance();
    form.show();
    form.raise();
    form.activateWindow();
    return form;
}

} // namespace lumo::palettes
