#pragma once

#include <QWidget>

namespace lumo::palettes {

/// The symbol palette: one process-wide instance, created on first use,
/// destroyed when closed.
class Form2 : public QWidget {
    Q_OBJECT
public:
    /// The one instance, created (not shown) if it does not exist.
    static Form2 &Instance();
    /// The instance if it exists, without creating one.
    static Form2 *Existing();

private:
    Form2();
};

} // namespace lumo::palettes
