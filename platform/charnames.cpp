#include "platform/charnames.h"

#include "platform/text/codepage.h"

#include <array>
#include <memory>
#include <string>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/utf16.h>

namespace lumo::platform {

namespace {

// ICU keeps no names for control characters; these are their names from Unicode's
// NameAliases.txt (type "control").
// clang-format off
constexpr std::array<const char *, 32> kC0Names = {
    "NULL",                          // 00
    "START OF HEADING",              // 01
    "START OF TEXT",                 // 02
    "END OF TEXT",                   // 03
    "END OF TRANSMISSION",           // 04
    "ENQUIRY",                       // 05
    "ACKNOWLEDGE",                   // 06
    "ALERT",                         // 07
    "BACKSPACE",                     // 08
    "CHARACTER TABULATION",          // 09
    "LINE FEED",                     // 0A
    "LINE TABULATION",               // 0B
    "FORM FEED",                     // 0C
    "CARRIAGE RETURN",               // 0D
    "SHIFT OUT",                     // 0E
    "SHIFT IN",                      // 0F
    "DATA LINK ESCAPE",              // 10
    "DEVICE CONTROL ONE",            // 11
    "DEVICE CONTROL TWO",            // 12
    "DEVICE CONTROL THREE",          // 13
    "DEVICE CONTROL FOUR",           // 14
    "NEGATIVE ACKNOWLEDGE",          // 15
    "SYNCHRONOUS IDLE",              // 16
    "END OF TRANSMISSION BLOCK",     // 17
    "CANCEL",                        // 18
    "END OF MEDIUM",                 // 19
    "SUBSTITUTE",                    // 1A
    "ESCAPE",                        // 1B
    "INFORMATION SEPARATOR FOUR",    // 1C
    "INFORMATION SEPARATOR THREE",   // 1D
    "INFORMATION SEPARATOR TWO",     // 1E
    "INFORMATION SEPARATOR ONE",     // 1F
};
// clang-format on

QString IcuName(UChar32 c, UCharNameChoice choice)
{
    std::array<char, 128> buffer{};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_charName(c, choice, buffer.data(), int32_t(buffer.size()), &status);
    if (U_FAILURE(status) || length <= 0)
        return {};
    return QString::fromLatin1(buffer.data(), length);
}

// The standard character that GB18030 reads from the code page bytes of a private-use
// character; the character itself when there is none.
UChar32 StandardCharacter(UChar32 c)
{
    if (c > 0xFFFF)
        return c;
    const char16_t unit = char16_t(c);
    const std::string bytes = EncodeAnsi(std::u16string_view(&unit, 1));
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, decltype(&ucnv_close)> gb18030(ucnv_open("gb18030", &status),
                                                                     &ucnv_close);
    if (U_FAILURE(status))
        return c;
    std::array<UChar, 4> decoded{};
    const int32_t length = ucnv_toUChars(gb18030.get(), decoded.data(), int32_t(decoded.size()), bytes.data(),
                                         int32_t(bytes.size()), &status);
    if (U_FAILURE(status) || length <= 0)
        return c;
    UChar32 standard = 0;
    int32_t at = 0;
    U16_NEXT(decoded.data(), at, length, standard);
    if (at != length || u_charType(standard) == U_PRIVATE_USE_CHAR)
        return c;
    return standard;
}

QString Name(UChar32 c)
{
    if (c < UChar32(kC0Names.size()))
        return QString::fromLatin1(kC0Names[std::size_t(c)]);
    if (c == 0x7F)
        return QStringLiteral("DELETE");
    if (u_charType(c) == U_PRIVATE_USE_CHAR)
        c = StandardCharacter(c);
    QString name = IcuName(c, U_UNICODE_CHAR_NAME);
    // Other controls and unassigned or private characters: ICU's "<control-0085>" form.
    return name.isEmpty() ? IcuName(c, U_EXTENDED_CHAR_NAME) : name;
}

} // namespace

QString CharacterNames(QStringView text)
{
    QString names;
    for (qsizetype at = 0; at < text.size();) {
        UChar32 c = 0;
        U16_NEXT(text.utf16(), at, text.size(), c);
        if (!names.isEmpty())
            names += u", ";
        names += Name(c);
    }
    return names;
}

} // namespace lumo::platform
