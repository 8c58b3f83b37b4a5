#pragma once

#include <QString>

class QWidget;

namespace lumo::platform {

/// Modal message boxes described by a Windows-style style word
/// (low four bits: buttons, next four bits: icon). Tests install a fake.
class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;
    /// Shows a modal box and returns when the user closes it.
    virtual void show(QWidget *parent, const QString &text, const QString &title, int style) = 0;
};

/// The service in use: the QMessageBox one unless a test installed another.
MessageBoxService &MessageBoxes();

/// Installs `service` (nullptr restores the default). Not owned.
void SetMessageBoxService(MessageBoxService *service);

} // namespace lumo::platform
