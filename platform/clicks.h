#pragma once

#include <functional>

class QWidget;

namespace lumo::platform {

/// Calls `handler` when `widget` is clicked with the left mouse button (pressed
/// and released over it), for widgets such as labels that have no clicked signal.
void OnClick(QWidget &widget, std::function<void()> handler);

} // namespace lumo::platform
