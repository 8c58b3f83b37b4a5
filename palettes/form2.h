#pragma once

#include "palettes/palette_layouts.h"
#include "palettes/palette_window.h"

namespace lumo::palettes {

/// The symbol palette: one process-wide instance, created on first use, destroyed when closed.
/// Its symbol buttons insert into the main text box.
class Form2 : public PaletteWindow<Form2> {
    Q_OBJECT
    friend class PaletteWindow<Form2>;
    Form2() : PaletteWindow(Form2Layout(), SpokenAs::CharacterNames, kForm2CloseButton) {}
};

} // namespace lumo::palettes
