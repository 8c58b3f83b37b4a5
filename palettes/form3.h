#pragma once

#include "palettes/palette_layouts.h"
#include "palettes/palette_window.h"

namespace lumo::palettes {

/// The emoticon palette: one process-wide instance, created on first use, destroyed when closed.
/// Its emoticon buttons insert into the main text box.
class Form3 : public PaletteWindow<Form3> {
    Q_OBJECT
    friend class PaletteWindow<Form3>;
    Form3() : PaletteWindow(Form3Layout(), SpokenAs::Caption, kForm3CloseButton) {}
};

} // namespace lumo::palettes
