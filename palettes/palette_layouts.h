#pragma once

#include "platform/windowdef.h"

#include <string_view>

namespace lumo::palettes {

/// The symbol palette's window: 60 symbol buttons and the close button.
const platform::WindowDef &Form2Layout();
/// The emoticon palette's window: 31 emoticon buttons and the close button.
const platform::WindowDef &Form3Layout();

/// The close buttons; every other button of a palette inserts its caption.
inline constexpr std::string_view kForm2CloseButton = "Command1";
inline constexpr std::string_view kForm3CloseButton = "Command32";

} // namespace lumo::palettes
