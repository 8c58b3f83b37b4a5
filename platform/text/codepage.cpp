#include "platform/text/codepage.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unicode/ucnv.h>
#include <utility>
#include <vector>

// Code page 936 is small enough to hold as flat tables, so encoding and decoding are one table
// look-up per character. The tables are filled once, from ICU's converters, on first use:
// "windows-936-2000" is ICU's copy of the Windows table (0x80 = U+20AC, the user-defined areas and
// extension codes on private-use code points, A994 = U+E7F2); "gb18030" gives the four-byte form
// that we use for every character code page 936 lacks.
//
// We fill the encoder from the decoder's side on purpose: ICU's windows-936-2000 encoder silently
// drops default-ignorable characters it cannot map (U+200D, U+FE0F, U+00AD ...), which would lose
// the joiners and variation selectors of emoji.

namespace lumo::platform {
namespace {

constexpr int kLeadFirst = 0x81;
constexpr int kLeadLast = 0xFE;
constexpr int kTrailCount = 0xFF - 0x40; // trail bytes 0x40..0xFE, 0x7F excluded below
constexpr int kBmpFourByteCount = 39420; // GB18030 four-byte codes 81308130..8431A439 cover the BMP
// Unpaired surrogates get four-byte codes that GB18030 leaves unassigned (8431A530 onwards), so even
// ill-formed UTF-16 survives a round trip.
constexpr int kSurrogateFourByteFirst = kBmpFourByteCount;
constexpr int kSupplementaryFourByteFirst = 189000; // 90308130 = U+10000
constexpr char16_t kReplacement = u'\uFFFD';

char *WriteFourByte(char *p, int index)
{
    p[0] = static_cast<char>(0x81 + index / 12600);
    p[1] = static_cast<char>(0x30 + index / 1260 % 10);
    p[2] = static_cast<char>(0x81 + index / 10 % 126);
    p[3] = static_cast<char>(0x30 + index % 10);
    return p + 4;
}

void AppendFourByte(std::string &out, int index)
{
    char bytes[4];
    out.append(bytes, WriteFourByte(bytes, index));
}

struct Tables {
    // For each BMP code unit: 0 when unset, else the code page bytes packed as
    // (length << 24) | bytes, or for four-byte forms (4 << 24) | index.
    std::array<std::uint32_t, 0x10000> encode{};
    // Double-byte code -> UTF-16, indexed by (lead - 0x81) * kTrailCount + (trail - 0x40).
    std::array<char16_t, 126 * kTrailCount> decodeDouble{};
    // Four-byte BMP index -> UTF-16.
    std::array<char16_t, kBmpFourByteCount> decodeFour{};
    std::array<char16_t, 256> decodeSingle{};
};

[[noreturn]] void Fail(const char *what, UErrorCode status)
{
    std::fprintf(stderr, "lumo: ICU cannot %s (%s); the installation is incomplete\n", what,
                 u_errorName(status));
    std::abort();
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

std::unique_ptr<Tables> BuildTables()
{
    auto tables = std::make_unique<Tables>();
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

const Tables &GetTables()
{
    static const std::unique_ptr<Tables> tables = BuildTables();
    return *tables;
}

// Writes the code page form of one code point (a lone surrogate included) at `p`, at most
// four bytes; returns the end of what it wrote.
char *WriteAnsi(char *p, const Tables &tables, char32_t c)
{
    if (c < 0x80) {
        *p = static_cast<char>(c);
        return p + 1;
    }
    if (c >= 0xD800 && c <= 0xDFFF)
        return WriteFourByte(p, kSurrogateFourByteFirst + static_cast<int>(c - 0xD800));
    if (c >= 0x10000)
        return WriteFourByte(p, kSupplementaryFourByteFirst + static_cast<int>(c - 0x10000));
    const std::uint32_t code = tables.encode[c];
    switch (code >> 24) {
    case 1:
        *p = static_cast<char>(code & 0xFF);
        return p + 1;
    case 2:
        p[0] = static_cast<char>((code >> 8) & 0xFF);
        p[1] = static_cast<char>(code & 0xFF);
        return p + 2;
    default:
        return WriteFourByte(p, static_cast<int>(code & 0xFFFFFF));
    }
}

} // namespace

void detail::AppendAnsi(std::string &out, char32_t c)
{
    char bytes[4];
    out.append(bytes, WriteAnsi(bytes, GetTables(), c));
}

std::string EncodeAnsi(std::u16string_view text)
{
    const Tables &tables = GetTables();
    // Sized for the longest form, written through a pointer, then trimmed: appending byte by
    // byte costs a third of a 1 MB conversion.
    std::string out(text.size() * 4, '\0');
    char *p = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        p = WriteAnsi(p, tables, c);
    }
    out.resize(static_cast<std::size_t>(p - out.data()));
    return out;
}

void DecodeAnsi(std::string_view bytes, std::u16string &out)
{
    const Tables &tables = GetTables();
    // No byte gives more than one code unit (four bytes give at most two).
    const std::size_t start = out.size();
    out.resize(start + bytes.size());
    char16_t *o = out.data() + start;
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char lead = b[i];
        switch (AnsiCharacterLength(b, i, n)) {
        case 2:
            *o++ = tables.decodeDouble[(lead - kLeadFirst) * kTrailCount + (b[i + 1] - 0x40)];
            i += 2;
            break;
        case 4: {
            const int index = FourByteIndex(b + i);
            if (index < kBmpFourByteCount) {
                *o++ = tables.decodeFour[index];
            } else if (index < kSurrogateFourByteFirst + 0x800) {
                *o++ = static_cast<char16_t>(0xD800 + index - kSurrogateFourByteFirst);
            } else if (index >= kSupplementaryFourByteFirst &&
                       index < kSupplementaryFourByteFirst + 0x100000) {
                const int offset = index - kSupplementaryFourByteFirst;
                *o++ = static_cast<char16_t>(0xD800 + (offset >> 10));
                *o++ = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
            } else {
                *o++ = kReplacement; // a well-formed but unassigned four-byte code
            }
            i += 4;
            break;
        }
        default:
            // ASCII, a single-byte code, or the last byte; a lead byte without a valid
            // continuation is one replacement character, and the byte after it is read
            // afresh, so an ASCII character there survives.
            if (lead >= kLeadFirst && lead <= kLeadLast && i + 1 < n)
                *o++ = kReplacement;
            else
                *o++ = tables.decodeSingle[lead];
            ++i;
            break;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

std::u16string DecodeAnsi(std::string_view bytes)
{
    std::u16string out;
    DecodeAnsi(bytes, out);
    return out;
}

int AnsiLength(std::string_view bytes)
{
    const std::size_t zero = bytes.find('\0');
    return static_cast<int>(zero == std::string_view::npos ? bytes.size() : zero);
}

} // namespace lumo::platform
