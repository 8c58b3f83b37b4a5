#pragma once

#include "platform/windowdef.h"

#include <span>
#include <string_view>

class QWidget;

namespace lumo::palettes {

/// How assistive technology names an insertion button.
enum class SpokenAs {
    Caption,        ///< its caption, spelled out (emoticons)
    CharacterNames, ///< the Unicode names of its characters (symbols, some of them private-use or controls)
};

/// Wires the buttons among `controls` of a built window: every button but `closeButton`
/// inserts its own caption into the main text and is named as `spokenAs` says;
/// `closeButton` closes the window.
void ConnectPaletteButtons(QWidget &window, std::span<const platform::ControlDef> controls, SpokenAs spokenAs,
                           std::string_view closeButton = {});

} // namespace lumo::palettes
