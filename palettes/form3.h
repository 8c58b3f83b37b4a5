#pragma once

#include <QWidget>

namespace lumo::palettes {

/// The emoticon palette: one process-wide instance, created on first use, destroyed
/// when closed. Its emoticon buttons insert into the main text box.
class Form3 : public QWidget {
    Q_OBJECT
  public:
    /// The one instance, created (not shown) if it does not exist.
    static Form3 &Instance();
    /// The instance if it exists, without creating one.
    static Form3 *Existing();
    /// Shows the one instance, modeless and without an owner, and makes it the
    /// active window; creates it, laid out afresh, if it is not open.
    static Form3 &Open();

  protected:
    void keyPressEvent(QKeyEvent *event) override;

  private:
    Form3();
};

} // namespace lumo::palettes
