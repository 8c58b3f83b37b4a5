#include "platform/windowdef.h"

#include <QWidget>

// Placeholder until the builder lands.
namespace lumo::platform {
void BuildWindow(QWidget &, const WindowDef &) {}
void PlaceWindow(QWidget &, const WindowDef &) {}
} // namespace lumo::platform
