#pragma once

#include <QWidget>

namespace lumo::palettes {

/// The emoticon palette: one process-wide instance, created on first use,
/// destroyed when closed.
class Form3 : public QWidget {
    Q_OBJECT
public:
    /// The one instance, created (not shown) if it does not exist.
    static Form3 &Instance();
    /// The instance if it exists, without creating one.
    static Form3 *Existing();

private:
    Form3();
};

} // namespace lumo::palettes
