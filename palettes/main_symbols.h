#pragma once

#include "platform/windowdef.h"

#include <span>

namespace lumo::palettes {

/// The 35 symbol buttons of the main window's quick-insert frame (`Frame3`).
/// Each button's caption is exactly the string it inserts at the caret.
std::span<const platform::ControlDef> MainWindowSymbols();

} // namespace lumo::palettes
