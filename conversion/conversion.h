#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumo::conversion {

/// The main window's three conversion variables.
struct ConversionVariables {
    std::u16string ConvTextA;        ///< destination of the mapping
    std::u16string ConvTextB;        ///< source of the mapping
    std::int32_t ConvByteLength = 0; ///< ANSI byte length of the last mapping's source
};

/// Passes `source` through the Chinese ANSI code page and the script mapping
/// service, leaving the mapped text in `destination` (as many UTF-16 code
/// units as `source`); sets `byteLength` to the code page length of the text
/// mapped. U+0000, unpaired surrogates and characters that code page 936
/// lacks are kept as they are. Returns false, with `destination` empty and a
/// plain-words `error`, when the mapping service failed.
bool MapChineseScript(std::u16string &source, std::u16string &destination, std::uint32_t flag,
                      std::int32_t &byteLength, std::string *error = nullptr);

/// The mapping service MapChineseScript calls, shaped like LCMapStringA.
using ScriptMapService = int (*)(std::uint32_t locale, std::uint32_t flags, const char *src, int srcCount,
                                 char *dest, int destCapacity);

/// Makes MapChineseScript call `service` instead of the platform's (nullptr
/// restores it); returns the one it replaces. For tests; not thread-safe.
ScriptMapService SetScriptMapServiceForTesting(ScriptMapService service);

/// Outcome of a whole conversion.
struct ConvertResult {
    bool ok = false;
    std::u16string text; ///< the converted text when ok
    std::string error;   ///< a plain-words reason when !ok
};

/// The whole conversion of one text: Traditional mapping, then, unless
/// `personalisedOff`, the personalised table. Uses and overwrites `vars`.
ConvertResult ConvertText(std::u16string_view text, bool personalisedOff, ConversionVariables &vars);

/// Same, with variables of its own.
ConvertResult ConvertText(std::u16string_view text, bool personalisedOff);

} // namespace lumo::conversion
