#include "platform/text/codepage.h"

#include "platform/text/codepage_tables.h"

#include <cstdint>
#include <vector>

// Code page 936 is small enough to hold as flat tables, so encoding and decoding are one table
// look-up per character. The tables are computed from ICU's converters when the program is built
// (tools/codepagegen/codepage_builder.cpp) and linked in as constant data.

namespace lumo::platform {
namespace {

using detail::kBmpFourByteCount;
using detail::kLeadFirst;
using detail::kLeadLast;
using detail::kReplacement;
using detail::kSupplementaryFourByteFirst;
using detail::kSurrogateFourByteFirst;
using detail::kTrailCount;

struct Tables {
    const std::uint32_t *encode = detail::kEncode;
    const char16_t *decodeDouble = detail::kDecodeDouble;
    const char16_t *decodeFour = detail::kDecodeFour;
    const char16_t *decodeSingle = detail::kDecodeSingle;
};

const Tables &GetTables()
{
    static constexpr Tables tables;
    return tables;
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

std::string EncodeAnsi(std::u16string_view text, bool &fourByteForms)
{
    const Tables &tables = GetTables();
    // Written through a pointer into a scratch buffer sized for the longest form, then copied
    // out at its real length: appending byte by byte costs a third of a 1 MB conversion, and a
    // string of four times the length filled with zeros first is not much cheaper.
    thread_local std::vector<char> scratch;
    if (scratch.size() < text.size() * 4)
        scratch.resize(text.size() * 4);
    char *const start = scratch.data();
    char *p = start;
    bool four = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) { // most of a text in a Latin script or of markup
            *p++ = static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        char *const before = p;
        p = WriteAnsi(p, tables, c);
        four = four || p - before == 4;
    }
    fourByteForms = four;
    return std::string(start, p);
}

std::string EncodeAnsi(std::u16string_view text)
{
    bool fourByteForms = false;
    return EncodeAnsi(text, fourByteForms);
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
        if (lead < 0x80) {
            *o++ = lead;
            ++i;
            continue;
        }
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
