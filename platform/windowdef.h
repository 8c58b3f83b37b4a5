#pragma once

#include <QString>
#include <span>
#include <string_view>

class QWidget;

namespace lumo::platform {

/// Kinds of control a window definition can hold.
enum class ControlType { Frame, TextBox, Button, CheckBox, Label, WebPanel };

/// Further properties of a control (bit flags).
enum ControlFlag : unsigned {
    NoFlags = 0,
    Invisible = 1u << 0,      ///< created hidden
    MultiLine = 1u << 1,      ///< text box: several lines, wrapped at the box's width
    VerticalScroll = 1u << 2, ///< text box: vertical scroll bar
    LinkLabel = 1u << 3,      ///< label: pure blue text, up-arrow cursor
    DefaultButton = 1u << 4,  ///< button: activated by Enter while no other button has the focus
};

/// One control of a window: positions and sizes in twips (15 twips = 1 px at 96 dpi),
/// relative to the container (the window's client area when `container` is empty).
struct ControlDef {
    std::string_view name; ///< objectName, e.g. "Command12"
    ControlType type;
    std::string_view container;   ///< name of the frame holding it, empty for the window
    std::u16string_view caption;  ///< caption or default text; "&" marks the mnemonic
    int left, top, width, height; ///< twips
    int tabIndex;
    std::u16string_view toolTip = {}; ///< empty for none
    unsigned flags = NoFlags;
    /// What assistive technology calls the control when neither its caption nor, for a
    /// text box, its frame's caption names it; empty for none.
    std::u16string_view accessibleName = {};
};

/// How a window is placed when first shown.
enum class Placement { CentreScreen, Fixed };

/// A whole window: caption, client size, placement and its controls.
struct WindowDef {
    std::u16string_view caption;
    int clientWidth, clientHeight; ///< twips
    Placement placement;
    int left = 0, top = 0; ///< twips, client area's top-left from the screen's (Fixed only)
    bool minimizeBox = false;
    std::span<const ControlDef> controls;
};

/// Twips to logical pixels (Qt's high-DPI scaling does the rest).
constexpr int TwipsToPixels(int twips)
{
    return twips / 15;
}

/// Builds every control of `def` onto `window`: objectName, geometry, caption,
/// tool tip, flags, accessible name and tab order (by tab index). Buttons behave as on
/// Windows: Enter or Space clicks the focused button. Sets the window's caption,
/// fixed client size, title-bar buttons and placement.
void BuildWindow(QWidget &window, const WindowDef &def);

/// Places a window built from `def` where the definition says (centred or fixed).
void PlaceWindow(QWidget &window, const WindowDef &def);

} // namespace lumo::platform
