#pragma once

class QAbstractButton;
class QWidget;

namespace lumo::platform {

/// Installs the program's accessible interfaces: labels marked with MarkAsLink are links
/// (with a press action), message boxes are alerts. Idempotent and cheap.
void InstallAccessibleInterfaces();

/// Makes assistive technology present `label` as a link; call it before setting its text.
void MarkAsLink(QWidget &label);

/// Names `button` after the characters of its caption (CharacterNames), as soon as assistive
/// technology is active: nothing is looked up while no screen reader is listening.
void SpeakAsCharacterNames(QAbstractButton &button);

} // namespace lumo::platform
