#include "platform/messagebox.h"

#include "platform/accessibility.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>

namespace lumo::platform {

namespace {

QMessageBox::StandardButtons ButtonsFor(int style)
{
    switch (style & 0x0F) {
    case 1:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case 2:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case 3:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4:
        return QMessageBox::Yes | QMessageBox::No;
    case 5:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case 6:
        return QMessageBox::Cancel | QMessageBox::Retry | QMessageBox::Ignore;
    // 0, and the undefined sets (the tip's style word 44 carries 12): a single OK.
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconFor(int style)
{
    switch (style & 0xF0) {
    case 0x10:
        return QMessageBox::Critical;
    case 0x20:
        return QMessageBox::Question;
    case 0x30:
        return QMessageBox::Warning;
    case 0x40:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The words of a Chinese Windows message box, without the icons some desktop themes put on
// dialog buttons; the program speaks Chinese everywhere, its boxes included.
// clang-format off
constexpr struct {
    QMessageBox::StandardButton button;
    const char16_t *text;
} kButtonTexts[] = {
    {QMessageBox::Ok,     u"确定"},
    {QMessageBox::Cancel, u"取消"},
    {QMessageBox::Abort,  u"中止(&A)"},
    {QMessageBox::Retry,  u"重试(&R)"},
    {QMessageBox::Ignore, u"忽略(&I)"},
    {QMessageBox::Yes,    u"是(&Y)"},
    {QMessageBox::No,     u"否(&N)"},
};
// clang-format on

class QtMessageBoxService final : public MessageBoxService {
  public:
    void show(QWidget *parent, const QString &text, const QString &title, int style) override
    {
        InstallAccessibleInterfaces();
        QMessageBox box(IconFor(style), title, text, ButtonsFor(style), parent);
        box.setTextFormat(Qt::PlainText);
        for (const auto &[button, words] : kButtonTexts) {
            if (QAbstractButton *shown = box.button(button)) {
                shown->setText(QString::fromUtf16(words));
                shown->setIcon(QIcon());
            }
        }
        // Modal for the whole program, palettes included: no other handler runs
        // while a box waits for its answer.
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }
};

QtMessageBoxService g_default;
MessageBoxService *g_service = nullptr;

} // namespace

MessageBoxService &MessageBoxes()
{
    return g_service ? *g_service : g_default;
}

void SetMessageBoxService(MessageBoxService *service)
{
    g_service = service;
}

} // namespace lumo::platform
