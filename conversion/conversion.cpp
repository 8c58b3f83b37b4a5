#include "conversion/conversion.h"

#include "conversion/personalised_table.h"
#include "platform/text/codepage.h"
#include "platform/text/scriptmap.h"

#include <algorithm>
#include <limits>

namespace lumo::conversion {
namespace {

using platform::kLocaleChinesePrc;

ScriptMapService gScriptMap = &platform::LCMapStringA;

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// End of the stretch starting at `from` that can go through the code page:
// the next U+0000 (the mapping service takes zero-terminated ANSI text) or
// unpaired surrogate (not a character, so it has no ANSI form).
std::size_t EndOfMappableStretch(std::u16string_view text, std::size_t from)
{
    std::size_t i = from;
    while (i < text.size()) {
        const char16_t c = text[i];
        if (c == 0 || IsLowSurrogate(c))
            break;
        if (IsHighSurrogate(c)) {
            if (i + 1 >= text.size() || !IsLowSurrogate(text[i + 1]))
                break;
            i += 2;
            continue;
        }
        ++i;
    }
    return i;
}

std::string MappingFailure(std::string detail)
{
    std::string message = "The text could not be converted to Traditional Chinese";
    if (detail.empty())
        return message + ".";
    return message + ": " + detail;
}

// Maps `bytes[from, to)` into the same range of `mapped`.
bool MapBytes(const std::string &bytes, std::string &mapped, std::size_t from, std::size_t to,
              std::uint32_t flag, std::string *error)
{
    if (from == to)
        return true;
    if (to - from > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        if (error)
            *error = MappingFailure("the text is too long.");
        return false;
    }
    const int count = static_cast<int>(to - from);
    const int written =
        gScriptMap(kLocaleChinesePrc, flag, bytes.data() + from, count, mapped.data() + from, count);
    if (written != count) {
        // Whatever the destination still holds (spaces, a part of the text)
        // is no result: report it instead.
        if (error)
            *error = MappingFailure(written == 0 ? platform::ScriptMapError()
                                                 : "the mapping service returned a partial result.");
        return false;
    }
    return true;
}

std::size_t CharacterWidth(const std::string &bytes, std::size_t at)
{
    return platform::AnsiCharacterLength(reinterpret_cast<const unsigned char *>(bytes.data()), at,
                                         bytes.size());
}

// Puts the source's four-byte characters back over the mapped text. False when the mapped
// characters no longer line up with the source's, so that nothing can be put back safely.
bool RestoreFourByteCharacters(const std::string &bytes, std::string &mapped)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t width = CharacterWidth(bytes, at);
        if (CharacterWidth(mapped, at) != width)
            return false;
        if (width == 4)
            mapped.replace(at, 4, bytes, at, 4);
        at += width;
    }
    return true;
}

// Maps the stretch piece by piece between its four-byte characters, which go around the
// mapping service.
bool MapAroundFourByteCharacters(const std::string &bytes, std::string &mapped, std::uint32_t flag,
                                 std::string *error)
{
    std::size_t pending = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t width = CharacterWidth(bytes, at);
        if (width == 4) {
            if (!MapBytes(bytes, mapped, pending, at, flag, error))
                return false;
            mapped.replace(at, 4, bytes, at, 4);
            pending = at + 4;
        }
        at += width;
    }
    return MapBytes(bytes, mapped, pending, bytes.size(), flag, error);
}

// Maps one stretch free of U+0000 and unpaired surrogates; appends the result.
bool MapStretch(std::u16string_view stretch, std::u16string &destination, std::uint32_t flag,
                std::int64_t &byteCount, std::string *error)
{
    bool fourByteForms = false;
    const std::string bytes = platform::EncodeAnsi(stretch, fourByteForms);
    std::string mapped(bytes.size(), ' ');
    byteCount += static_cast<std::int64_t>(bytes.size());

    // Characters outside code page 936 arrive in their four-byte GB18030 form and come out
    // exactly as they went in. The stretch still goes to the mapping service whole, so that
    // a phrase holding such a character is read as a phrase (腌䐶 stays 腌䐶 instead of its
    // first character converting alone); those characters are put back afterwards. Should
    // the service have moved characters about, the pieces between them are mapped one by one.
    if (!MapBytes(bytes, mapped, 0, bytes.size(), flag, nullptr) ||
        (fourByteForms && !RestoreFourByteCharacters(bytes, mapped))) {
        mapped.assign(bytes.size(), ' ');
        if (!MapAroundFourByteCharacters(bytes, mapped, flag, error))
            return false;
    }

    const std::size_t before = destination.size();
    platform::DecodeAnsi(mapped, destination);
    if (destination.size() - before != stretch.size()) {
        destination.resize(before);
        if (error)
            *error = MappingFailure("the mapping service changed the length of the text.");
        return false;
    }
    return true;
}

} // namespace

ScriptMapService SetScriptMapServiceForTesting(ScriptMapService service)
{
    const ScriptMapService previous = gScriptMap;
    gScriptMap = service ? service : &platform::LCMapStringA;
    return previous;
}

// Unlike the old zero-terminated code page pass, the whole text is mapped:
// U+0000 and unpaired surrogates are copied through as they are and split
// the text into stretches that are mapped one by one; characters that code
// page 936 lacks are kept instead of turning into "?". byteLength is then the
// code page length of everything that was mapped.
bool MapChineseScript(std::u16string &source, std::u16string &destination, std::uint32_t flag,
                      std::int32_t &byteLength, std::string *error)
{
    destination.clear();
    destination.reserve(source.size());
    std::int64_t byteCount = 0;
    const std::u16string_view text = source;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = EndOfMappableStretch(text, i);
        if (end > i && !MapStretch(text.substr(i, end - i), destination, flag, byteCount, error)) {
            destination.clear();
            byteLength = 0;
            return false;
        }
        if (end < text.size())
            destination.push_back(text[end]);
        i = end + 1;
    }
    byteLength = static_cast<std::int32_t>(
        std::min<std::int64_t>(byteCount, std::numeric_limits<std::int32_t>::max()));
    if (error)
        error->clear();
    return true;
}

ConvertResult ConvertText(std::u16string_view text, bool personalisedOff, ConversionVariables &vars)
{
    ConvertResult result;
    vars.ConvTextB.assign(text);
    if (!MapChineseScript(vars.ConvTextB, vars.ConvTextA, platform::LCMAP_TRADITIONAL_CHINESE,
                          vars.ConvByteLength, &result.error))
        return result;
    result.text = personalisedOff ? vars.ConvTextA : ApplyPersonalisedTable(vars.ConvTextA);
    result.ok = true;
    return result;
}

ConvertResult ConvertText(std::u16string_view text, bool personalisedOff)
{
    ConversionVariables vars;
    return ConvertText(text, personalisedOff, vars);
}

} // namespace lumo::conversion
