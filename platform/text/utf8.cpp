#include "platform/text/utf8.h"

#include "platform/text/codepage.h"

namespace lumo::platform {

namespace {

// One pass over UTF-8: with a destination it writes the UTF-16 form there, without one it only
// checks, so that checking and decoding find the same first fault. Returns the end of what was
// written, or nullptr with errorOffset set.
template <bool Write> char16_t *Utf8Pass(std::string_view bytes, char16_t *dest, std::size_t &errorOffset)
{
    const auto *src = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    auto fail = [&](std::size_t at) -> char16_t * {
        errorOffset = at;
        return nullptr;
    };
    auto put = [&](char32_t c) {
        if constexpr (Write)
            *dest++ = static_cast<char16_t>(c);
    };
    auto trail = [&](std::size_t at) { return at < n && (src[at] & 0xC0) == 0x80; };
    while (i < n) {
        const unsigned char b = src[i];
        if (b < 0x80) {
            const std::size_t end = EndOfAscii(src, i, n);
            if constexpr (Write)
                for (; i < end; ++i)
                    *dest++ = src[i];
            i = end;
        } else if (b >= 0xE0 && b <= 0xEF) { // first: every Chinese character takes three bytes
            if (!trail(i + 1) || !trail(i + 2))
                return fail(i);
            const char32_t c = ((b & 0x0F) << 12) | ((src[i + 1] & 0x3F) << 6) | (src[i + 2] & 0x3F);
            if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))
                return fail(i);
            put(c);
            i += 3;
        } else if (b >= 0xC2 && b <= 0xDF) {
            if (!trail(i + 1))
                return fail(i);
            put(((b & 0x1F) << 6) | (src[i + 1] & 0x3F));
            i += 2;
        } else if (b >= 0xF0 && b <= 0xF4) {
            if (!trail(i + 1) || !trail(i + 2) || !trail(i + 3))
                return fail(i);
            const char32_t c = ((b & 0x07) << 18) | ((src[i + 1] & 0x3F) << 12) | ((src[i + 2] & 0x3F) << 6) |
                               (src[i + 3] & 0x3F);
            if (c < 0x10000 || c > 0x10FFFF)
                return fail(i);
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
            i += 4;
        } else {
            return fail(i);
        }
    }
    if constexpr (Write)
        return dest;
    else
        return reinterpret_cast<char16_t *>(1); // not written through: only tells success
}

} // namespace

bool DecodeUtf8(std::string_view bytes, std::u16string &out, std::size_t &errorOffset)
{
    const std::size_t start = out.size();
    out.resize(start + bytes.size()); // never more code units than bytes
    char16_t *end = Utf8Pass<true>(bytes, out.data() + start, errorOffset);
    if (end == nullptr) {
        out.resize(start);
        return false;
    }
    out.resize(static_cast<std::size_t>(end - out.data()));
    return true;
}

bool CheckUtf8(std::string_view bytes, std::size_t &errorOffset)
{
    return Utf8Pass<false>(bytes, nullptr, errorOffset) != nullptr;
}

void EncodeUtf8(std::u16string_view text, std::string &out)
{
    const std::size_t start = out.size();
    out.resize(start + text.size() * 3); // a UTF-16 code unit never takes more than 3 bytes
    char *dest = out.data() + start;
    auto put = [&dest](unsigned value) { *dest++ = static_cast<char>(value); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            put(c);
        } else if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) { // before the rarer forms: Chinese
            put(0xE0 | (c >> 12));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        } else if (c < 0x800) {
            put(0xC0 | (c >> 6));
            put(0x80 | (c & 0x3F));
        } else if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
            put(0xF0 | (c >> 18));
            put(0x80 | ((c >> 12) & 0x3F));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        } else {
            put(0xEF); // U+FFFD
            put(0xBF);
            put(0xBD);
        }
    }
    out.resize(static_cast<std::size_t>(dest - out.data()));
}

} // namespace lumo::platform
