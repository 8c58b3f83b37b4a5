#pragma once

#include <QString>
#include <QStringView>

namespace lumo::platform {

/// What a screen reader should say for a symbol: the Unicode names of the characters of
/// `text`, joined by ", " (U+2605 gives "BLACK STAR"). A private-use character is named
/// after the standard character that GB18030 gives its code page bytes (U+E822, bytes FE 5D,
/// is "CJK RADICAL SMALL ONE"); a control character by its control name ("SHIFT OUT").
QString CharacterNames(QStringView text);

} // namespace lumo::platform
