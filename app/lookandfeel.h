#pragma once

class QApplication;

namespace lumo::app {

/// The program's one font and widget style, independent of the desktop theme.
void ApplyLookAndFeel(QApplication &app);

} // namespace lumo::app
