#pragma once

#include <QIcon>

class QGuiApplication;

namespace lumo::resources {

/// The program icon: the 16, 24, 32, 48 and 100 px images of lumo.ico, from the built-in resources.
QIcon ProgramIcon();

/// Tells Qt who the program is: name, version, organisation, desktop entry and the icon that every
/// window (and every message box's parent) shows. Call once, right after the application object exists.
void ApplyApplicationIdentity(QGuiApplication &app);

} // namespace lumo::resources
