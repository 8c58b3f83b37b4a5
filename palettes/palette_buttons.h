#pragma once

#include "platform/windowdef.h"

#include <span>
#include <string_view>

class QWidget;

namespace lumo::palettes {

/// Wires the buttons among `controls` of a built window: every button but `closeButton`
/// inserts its own caption into the main text; `closeButton` closes the window.
void ConnectPaletteButtons(QWidget &window, std::span<const platform::ControlDef> controls,
                           std::string_view closeButton = {});

} // namespace lumo::palettes
