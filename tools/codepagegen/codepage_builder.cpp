#include "tools/codepagegen/codepage_builder.h"

#include "platform/text/codepage.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <unicode/ucnv.h>
#include <utility>
#include <vector>

// Computes the code page 936 tables (codepage_tables.h) from ICU's converters:
// "windows-936-2000" is ICU's copy of the Windows table (0x80 = U+20AC, the user-defined areas and
// extension codes on private-use code points, A994 = U+E7F2); "gb18030" gives the four-byte form
// that we use for every character code page 936 lacks.
//
// We fill the encoder from the decoder's side on purpose: ICU's windows-936-2000 encoder silently
// drops default-ignorable characters it cannot map (U+200D, U+FE0F, U+00AD ...), which would lose
// the joiners and variation selectors of emoji.

namespace lumo::platform::detail {
namespace {

void AppendFourByte(std::string &out, int index)
{
    char bytes[4];
    out.append(bytes, WriteFourByte(bytes, index));
}

[[noreturn]] void Fail(const char *what, UErrorCode status)
{
    throw std::runtime_error(std::string("ICU cannot ") + what + " (" + u_errorName(status) + ")");
}

struct ConverterCloser {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr OpenConverter(const char *name)
{
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &status));
    if (U_FAILURE(status))
        Fail("open its code page converters", status);
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return converter;
}

// Decodes a run of equally long byte sequences in one ICU call; each must give one UTF-16 unit.
std::vector<char16_t> DecodeEach(UConverter *converter, const std::string &bytes, int sequenceLength)
{
    const std::size_t count = bytes.size() / sequenceLength;
    std::vector<char16_t> units(count + 16);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetToUnicode(converter);
    const int written =
        ucnv_toUChars(converter, reinterpret_cast<UChar *>(units.data()), static_cast<int32_t>(units.size()),
                      bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status) || written != static_cast<int>(count))
        Fail("decode its code page tables", status);
    units.resize(count);
    return units;
}

} // namespace

std::unique_ptr<CodePageTables> BuildCodePageTables()
{
    auto tables = std::make_unique<CodePageTables>();
    ConverterPtr windows936 = OpenConverter("windows-936-2000");
    ConverterPtr gb18030 = OpenConverter("gb18030");

    for (int b = 0; b < 0x80; ++b) {
        tables->decodeSingle[b] = static_cast<char16_t>(b);
        tables->encode[b] = (1u << 24) | static_cast<std::uint32_t>(b);
    }
    for (int b = 0x80; b < 0x100; ++b)
        tables->decodeSingle[b] = kReplacement;
    for (unsigned char b : {0x80, 0xFF}) { // 0x80 = euro sign, 0xFF = U+F8F5
        const std::string one(1, static_cast<char>(b));
        const char16_t u = DecodeEach(windows936.get(), one, 1).front();
        tables->decodeSingle[b] = u;
        tables->encode[u] = (1u << 24) | b;
    }

    std::string doubles;
    for (int lead = kLeadFirst; lead <= kLeadLast; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            if (trail != 0x7F) {
                doubles.push_back(static_cast<char>(lead));
                doubles.push_back(static_cast<char>(trail));
            }
    const std::vector<char16_t> doubleUnits = DecodeEach(windows936.get(), doubles, 2);
    tables->decodeDouble.fill(kReplacement);
    for (std::size_t i = 0; i < doubleUnits.size(); ++i) {
        const auto lead = static_cast<unsigned char>(doubles[2 * i]);
        const auto trail = static_cast<unsigned char>(doubles[2 * i + 1]);
        const char16_t u = doubleUnits[i];
        tables->decodeDouble[(lead - kLeadFirst) * kTrailCount + (trail - 0x40)] = u;
        tables->encode[u] = (2u << 24) | (static_cast<std::uint32_t>(lead) << 8) | trail;
    }

    std::string fours;
    for (int index = 0; index < kBmpFourByteCount; ++index)
        AppendFourByte(fours, index);
    const std::vector<char16_t> fourUnits = DecodeEach(gb18030.get(), fours, 4);
    std::vector<std::pair<char16_t, int>> spareFours; // four-byte codes of characters we write in two
    for (int index = 0; index < kBmpFourByteCount; ++index) {
        const char16_t u = fourUnits[index];
        tables->decodeFour[index] = u;
        if (tables->encode[u] == 0)
            tables->encode[u] = (4u << 24) | static_cast<std::uint32_t>(index);
        else
            spareFours.emplace_back(u, index);
    }

    // GB18030-2005 gave two-byte codes to some characters (U+1E3F, U+4DAE, the Ideographic
    // Description Characters ...) whose code page 936 codes mean private-use characters. Such a
    // character takes the four-byte code that GB18030 gives its private-use twin, which code page
    // 936 writes in two bytes and so never needs.
    for (int u = 0x80; u < 0x10000; ++u) {
        if ((u >= 0xD800 && u <= 0xDFFF) || tables->encode[u] != 0)
            continue;
        const UChar source = static_cast<UChar>(u);
        char bytes[4];
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetFromUnicode(gb18030.get());
        const int length = ucnv_fromUChars(gb18030.get(), bytes, 4, &source, 1, &status);
        if (U_FAILURE(status) || length != 2)
            Fail("map a character outside code page 936", status);
        const std::string twinBytes(bytes, 2);
        const char16_t twin = DecodeEach(windows936.get(), twinBytes, 2).front();
        int twinIndex = -1;
        for (const auto &[spare, index] : spareFours)
            if (spare == twin)
                twinIndex = index;
        if (twinIndex < 0)
            Fail("find a four-byte code for a character outside code page 936", U_ZERO_ERROR);
        tables->decodeFour[twinIndex] = static_cast<char16_t>(u);
        tables->encode[u] = (4u << 24) | static_cast<std::uint32_t>(twinIndex);
    }
    return tables;
}

} // namespace lumo::platform::detail
