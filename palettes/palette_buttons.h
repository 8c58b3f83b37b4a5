#pragma once

#include "platform/windowdef.h"

#include <string_view>

class QWidget;

namespace lumo::palettes {

/// Wires a built palette window: every button but `closeButton` inserts its own
/// caption into the main text; `closeButton` closes the window.
void ConnectPaletteButtons(QWidget &window, const platform::WindowDef &def, std::string_view closeButton);

} // namespace lumo::palettes
