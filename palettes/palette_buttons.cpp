#include "palettes/palette_buttons.h"

#include "palettes/insert_at_caret.h"
#include "platform/accessibility.h"

#include <QPushButton>
#include <QWidget>

namespace lumo::palettes {

void ConnectPaletteButtons(QWidget &window, std::span<const platform::ControlDef> controls, SpokenAs spokenAs,
                           std::string_view closeButton)
{
    for (const platform::ControlDef &control : controls) {
        if (control.type != platform::ControlType::Button)
            continue;
        auto *button =
            window.findChild<QPushButton *>(QString::fromLatin1(control.name.data(), control.name.size()));
        if (!button)
            continue;
        if (!closeButton.empty() && control.name == closeButton) {
            QObject::connect(button, &QPushButton::clicked, &window, &QWidget::close);
            continue;
        }
        // The button shows what it inserts: its caption is its string.
        const QString text = QString::fromUtf16(control.caption.data(), control.caption.size());
        QObject::connect(button, &QPushButton::clicked, &window, [text] { InsertIntoMainText(text); });
        // A screen reader says nothing for a private-use character or a control character,
        // and guesses at many symbols; it spells an emoticon well.
        if (spokenAs == SpokenAs::CharacterNames)
            platform::SpeakAsCharacterNames(*button);
    }
}

} // namespace lumo::palettes
