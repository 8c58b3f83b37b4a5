#pragma once

#include "palettes/palette_buttons.h"
#include "platform/windowdef.h"

#include <QPointer>
#include <QWidget>
#include <string_view>

namespace lumo::palettes {

/// What both palette windows are: one process-wide instance, created on first use and
/// destroyed when closed; every button but the close button inserts its own caption into
/// the main text box.
template <class Form> class PaletteWindow : public QWidget {
  public:
    /// The one instance, created (not shown) if it does not exist.
    static Form &Instance()
    {
        if (!Slot())
            Slot() = new Form; // no parent: an independent top-level window
        return *Slot();
    }
    /// The instance if it exists, without creating one.
    static Form *Existing() { return Slot().data(); }
    /// Shows the one instance, modeless and without an owner, and makes it the active
    /// window; creates it, laid out afresh, if it is not open.
    static Form &Open()
    {
        Form &form = Instance();
        form.show();
        form.raise();
        form.activateWindow();
        return form;
    }

  protected:
    PaletteWindow(const platform::WindowDef &layout, SpokenAs spokenAs, std::string_view closeButton)
    {
        // Closing destroys the window; the next opening builds it again from its
        // layout, at its stored position.
        setAttribute(Qt::WA_DeleteOnClose);
        platform::BuildWindow(*this, layout);
        platform::PlaceWindow(*this, layout);
        ConnectPaletteButtons(*this, layout.controls, spokenAs, closeButton);
    }

  private:
    static QPointer<Form> &Slot()
    {
        static QPointer<Form> instance;
        return instance;
    }
};

} // namespace lumo::palettes
