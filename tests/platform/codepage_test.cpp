#include "platform/text/codepage.h"
#include "platform/text/utf8.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using lumo::platform::AnsiLength;
using lumo::platform::DecodeAnsi;
using lumo::platform::EncodeAnsi;

namespace {

std::string Bytes(std::initializer_list<unsigned> values)
{
    std::string s;
    for (unsigned v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

struct KnownCode {
    const char *name;
    std::u16string text;
    std::string bytes;
};

// clang-format off
const KnownCode kKnownCodes[] = {
    {"private_use_E823",   u"\uE823",          Bytes({0xFE, 0x5E})},
    {"private_use_E822",   u"\uE822",          Bytes({0xFE, 0x5D})},
    {"private_use_E7F2",   u"\uE7F2",          Bytes({0xA9, 0x94})},
    {"katakana_iteration", u"\u30FE",          Bytes({0xA9, 0x64})},
    {"vertical_paren",     u"\uFE35",          Bytes({0xA6, 0xE0})},
    {"u4E44",              u"\u4E44",          Bytes({0x81, 0x57})},
    {"bopomofo_and_s",     u"\u3117s",         Bytes({0xA8, 0xD7, 0x73})},
    {"control_0E",         u"\u000E",          Bytes({0x0E})},
    {"currency_sign",      u"\u00A4",          Bytes({0xA1, 0xE8})},
    {"wavy_low_line",      u"\uFE4E",          Bytes({0xA9, 0x6D})},
    {"telephone_sign",     u"\u2121",          Bytes({0xA9, 0x59})},
    {"u706C",              u"\u706C",          Bytes({0xEC, 0xE1})},
    {"fullwidth_pound",    u"\uFFE1",          Bytes({0xA1, 0xEA})},
    {"swastika",           u"\u5350",          Bytes({0x85, 0x65})},
    {"euro_single_byte",   u"\u20AC",          Bytes({0x80})},
    {"f8f5_single_byte",   u"\uF8F5",          Bytes({0xFF})},
    {"user_defined_area",  u"\uE000",          Bytes({0xAA, 0xA1})},
    {"middle_dot_A1A4",    u"\u00B7",          Bytes({0xA1, 0xA4})},
    // Outside code page 936: GB18030's four-byte forms.
    {"thai_ko_kai",        u"\u0E01",          Bytes({0x81, 0x32, 0xCE, 0x39})},
    {"copyright",          u"\u00A9",          Bytes({0x81, 0x30, 0x84, 0x38})},
    {"guillemets",         u"\u00AB\u00BB",    Bytes({0x81, 0x30, 0x85, 0x30, 0x81, 0x30, 0x86, 0x33})},
    {"emoji_pair",         u"\U0001F600",      Bytes({0x94, 0x39, 0xFC, 0x36})},
    {"zero_width_joiner",  u"\u200D",          Bytes({0x81, 0x36, 0xA4, 0x39})},
    {"variation_select16", u"\uFE0F",          Bytes({0x84, 0x31, 0x82, 0x35})},
    {"katakana_mid_dot",   u"\u30FB",          Bytes({0x81, 0x39, 0xA7, 0x39})},
    // GB18030-2005 writes U+1E3F as A8BC, which code page 936 reads as U+E7C7.
    {"m_acute_not_A8BC",   u"\u1E3F",          Bytes({0x81, 0x35, 0xF4, 0x37})},
};
// clang-format on

class KnownCodes : public testing::TestWithParam<KnownCode> {};

TEST_P(KnownCodes, EncodeAndDecode)
{
    const KnownCode &c = GetParam();
    EXPECT_EQ(EncodeAnsi(c.text), c.bytes);
    EXPECT_EQ(DecodeAnsi(c.bytes), c.text);
}

INSTANTIATE_TEST_SUITE_P(CodePage, KnownCodes, testing::ValuesIn(kKnownCodes),
                         [](const auto &param) { return std::string(param.param.name); });

TEST(CodePage, EveryCodeUnitRoundTripsAndEncodesDistinctly)
{
    // Surrogates next to each other would pair up; they are checked one at a time below.
    std::u16string bmp;
    for (int u = 0; u < 0x10000; ++u)
        if (u < 0xD800 || u > 0xDFFF)
            bmp.push_back(static_cast<char16_t>(u));
    const std::string encoded = EncodeAnsi(bmp);
    EXPECT_EQ(DecodeAnsi(encoded), bmp); // so no two characters share a code
    for (char16_t s = 0xD800; s <= 0xDFFF && s != 0; ++s) {
        const std::u16string lone(1, s);
        ASSERT_EQ(EncodeAnsi(lone).size(), 4u);
        ASSERT_EQ(DecodeAnsi(EncodeAnsi(lone)), lone) << std::hex << int(s);
    }
}

TEST(CodePage, RoundTripsTextThatMixesEveryForm)
{
    const std::u16string samples[] = {
        u"",
        u"我们的 2010 ωǒdé",
        u"泰文\u0E01字 ©2024 «引号» \U0001F600\U0001F468\u200D\U0001F469 \u2764\uFE0F",
        u"a\u0000b\u0000",
        std::u16string{0xD800, u'x', 0xDFFF, 0xDC00, 0xD83D}, // unpaired surrogates in every position
        u"\U0010FFFF\U00020000\u4DAE\u2FF0\u1E3F\uE7C7\uE863",
        u"\r\n\t  ",
    };
    for (const auto &text : samples)
        EXPECT_EQ(DecodeAnsi(EncodeAnsi(text)), text);
}

TEST(CodePage, RoundTripsRandomUtf16)
{
    std::mt19937 rng(936);
    std::uniform_int_distribution<int> unit(0, 0xFFFF);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 2000; ++round) {
        std::u16string text;
        for (int n = length(rng); n > 0; --n)
            text.push_back(static_cast<char16_t>(unit(rng)));
        ASSERT_EQ(DecodeAnsi(EncodeAnsi(text)), text);
    }
}

TEST(CodePage, DecodesInvalidBytesWithoutLosingWhatFollows)
{
    // Lead byte at the end; lead byte before an ASCII byte that is no trail byte.
    EXPECT_EQ(DecodeAnsi(Bytes({'a', 0x81})), u"a\uFFFD");
    EXPECT_EQ(DecodeAnsi(Bytes({0xB0, 0x20, 'x'})), u"\uFFFD x");
    // A truncated four-byte code: the digit after the lead byte is kept.
    EXPECT_EQ(DecodeAnsi(Bytes({0x81, 0x30, 0x81})), u"\uFFFD0\uFFFD");
    EXPECT_EQ(DecodeAnsi(Bytes({0x81, 0x30, 0x20, 0x30})), u"\uFFFD0 0");
    // Well-formed but unassigned four-byte codes.
    EXPECT_EQ(DecodeAnsi(Bytes({0x85, 0x30, 0x81, 0x30})), u"\uFFFD");
    EXPECT_EQ(DecodeAnsi(Bytes({0xFE, 0x39, 0xFE, 0x39})), u"\uFFFD");
    // Zero bytes and trailing spaces are part of the text.
    EXPECT_EQ(DecodeAnsi(std::string("\xce\xd2\0  ", 5)), std::u16string(u"我\0  ", 4));
}

TEST(CodePage, DecodingArbitraryBytesIsStable)
{
    std::mt19937 rng(54936);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        for (int n = round % 37; n > 0; --n)
            bytes.push_back(static_cast<char>(byte(rng)));
        const std::u16string decoded = DecodeAnsi(bytes);
        ASSERT_EQ(DecodeAnsi(EncodeAnsi(decoded)), decoded);
    }
}

TEST(CodePage, AnsiLengthStopsAtTheFirstZeroByte)
{
    EXPECT_EQ(AnsiLength(""), 0);
    EXPECT_EQ(AnsiLength("\xce\xd2 a"), 4);
    EXPECT_EQ(AnsiLength(std::string_view("ab\0cd", 5)), 2);
    EXPECT_EQ(AnsiLength(EncodeAnsi(std::u16string(u"我\0们", 3))), 2);
}

// lumo-convert checks its whole input with CheckUtf8 before it decodes any of it: both must
// accept the same texts and name the same first bad byte, on valid text with faults put in at
// random and on arbitrary bytes.
TEST(Utf8, CheckingFindsTheFaultThatDecodingFinds)
{
    std::mt19937 rng(8);
    const std::string valid = "plain ASCII text, 简体中文，繁體中文, é, \xF0\x9F\x98\x80 and more ASCII";
    const std::string faults[] = {"\x80",     "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                  "\xE4\xB8", "\xFF",     "\xF0\x9F\x98"};
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        if (round % 2 == 0) {
            for (int k = 0; k < 6; ++k)
                bytes += valid.substr(rng() % valid.size());
            if (round % 4 == 0)
                bytes.insert(rng() % (bytes.size() + 1), faults[rng() % std::size(faults)]);
        } else {
            for (int k = static_cast<int>(rng() % 40); k > 0; --k)
                bytes.push_back(static_cast<char>(rng() % 4 == 0 ? rng() : rng() % 0x80));
        }
        std::u16string decoded;
        std::size_t decodeOffset = 0, checkOffset = 0;
        const bool decodes = lumo::platform::DecodeUtf8(bytes, decoded, decodeOffset);
        ASSERT_EQ(lumo::platform::CheckUtf8(bytes, checkOffset), decodes) << round;
        if (!decodes) {
            ASSERT_EQ(checkOffset, decodeOffset) << round;
        }
    }
}

} // namespace
