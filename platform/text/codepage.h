#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace lumo::platform {

/// Encodes UTF-16 text in the Chinese ANSI code page (Windows code page 936,
/// including its private-use mappings such as A994 <-> U+E7F2). Characters
/// that code page 936 cannot represent are written in their GB18030 four-byte
/// form instead of becoming "?", so DecodeAnsi(EncodeAnsi(t)) == t for every
/// well-formed t. (The few characters that GB18030-2005 moved to two-byte codes which code page
/// 936 reads as private-use characters, such as U+1E3F at A8BC, keep their GB18030-2000
/// four-byte codes.) An unpaired surrogate is written as a four-byte code that GB18030 leaves
/// unassigned (from 84 31 A5 30 on), which DecodeAnsi reads back as the same surrogate, so the
/// round trip holds for any UTF-16 string.
std::string EncodeAnsi(std::u16string_view text);
/// The same; fourByteForms tells whether any character took its four-byte form.
std::string EncodeAnsi(std::u16string_view text, bool &fourByteForms);

/// Decodes Chinese ANSI code page bytes (as written by EncodeAnsi) to UTF-16.
/// Covers the whole byte string, embedded zero bytes and trailing spaces included. A lead byte
/// without a valid continuation, or an unassigned four-byte code, gives U+FFFD; the bytes after a
/// bad lead byte are read afresh.
std::u16string DecodeAnsi(std::string_view bytes);
/// The same, appended to `out`.
void DecodeAnsi(std::string_view bytes, std::u16string &out);

/// The end of the run of ASCII bytes that starts at `b[from]`: the first byte from there on that
/// is not ASCII, or n. ASCII is the same bytes in code page 936 and in UTF-8. Eight bytes at a
/// time, as most of a manual or a web page is ASCII.
inline std::size_t EndOfAscii(const unsigned char *b, std::size_t from, std::size_t n)
{
    std::size_t end = from;
    for (std::uint64_t word; end + 8 <= n; end += 8) {
        std::memcpy(&word, b + end, 8);
        if (word & 0x8080808080808080ull)
            break;
    }
    while (end < n && b[end] < 0x80)
        ++end;
    return end;
}

/// Length in bytes of the code page character that starts at `b[at]` (`at < n`): 2 for a lead
/// byte and a trail byte, 4 for a GB18030 four-byte form (second and fourth bytes digits), else 1.
inline std::size_t AnsiCharacterLength(const unsigned char *b, std::size_t at, std::size_t n)
{
    const auto isLead = [](unsigned char c) { return c >= 0x81 && c <= 0xFE; };
    const auto isDigit = [](unsigned char c) { return c >= 0x30 && c <= 0x39; };
    if (!isLead(b[at]) || at + 1 >= n)
        return 1;
    const unsigned char second = b[at + 1];
    if (second >= 0x40 && second <= 0xFE && second != 0x7F)
        return 2;
    if (isDigit(second) && at + 3 < n && isLead(b[at + 2]) && isDigit(b[at + 3]))
        return 4;
    return 1;
}

/// Writes the GB18030 four-byte form with the given index at `p` (the inverse of FourByteIndex);
/// returns the end of what it wrote.
inline char *WriteFourByte(char *p, int index)
{
    p[0] = static_cast<char>(0x81 + index / 12600);
    p[1] = static_cast<char>(0x30 + index / 1260 % 10);
    p[2] = static_cast<char>(0x81 + index / 10 % 126);
    p[3] = static_cast<char>(0x30 + index % 10);
    return p + 4;
}

/// The GB18030 index of the four-byte form at `b` (81 30 81 30 is 0).
inline int FourByteIndex(const unsigned char *b)
{
    return (((b[0] - 0x81) * 10 + (b[1] - 0x30)) * 126 + (b[2] - 0x81)) * 10 + (b[3] - 0x30);
}

/// lstrlenA: the number of bytes before the first zero byte. Nothing in the program calls it today:
/// the conversion splits the text at U+0000 before encoding, so a stretch's whole encoding is its
/// byte count. It stays as the code page layer's measure for zero-terminated text.
int AnsiLength(std::string_view bytes);

namespace detail {
/// Appends the code page bytes of one code point, as EncodeAnsi writes them.
void AppendAnsi(std::string &out, char32_t c);
} // namespace detail

} // namespace lumo::platform
