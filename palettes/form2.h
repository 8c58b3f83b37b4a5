#pragma once

#include <QWidget>

namespace lumo::palettes {

/// The symbol palette: one process-wide instance, created on first use, destroyed
/// when closed. Its symbol buttons insert into the main text box.
class Form2 : public QWidget {
    Q_OBJECT
  public:
    /// The one instance, created (not shown) if it does not exist.
    static Form2 &Instance();
    /// The instance if it exists, without creating one.
    static Form2 *Existing();
    /// Shows the one instance, modeless and without an owner, and makes it the
    /// active window; creates it, laid out afresh, if it is not open.
    static Form2 &Open();

  private:
    Form2();
};

} // namespace lumo::palettes
