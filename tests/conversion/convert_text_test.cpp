// The whole conversion on the real code page and script mapping services.
#include "conversion/conversion.h"
#include "platform/text/scriptmap.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace std::literals;
using lumo::conversion::ConversionVariables;
using lumo::conversion::ConvertText;

struct Case {
    const char *name;
    std::u16string input;
    std::u16string personalised; // with look-alikes
    std::u16string plain;        // Traditional only
};

// clang-format off
const Case kCases[] = {
    {"chain_broken_by_men",   u"我们的",             u"ωǒ們dé",                   u"我們的"},
    {"chain",                 u"我的",               u"莪dé",                     u"我的"},
    {"typed_chain",           u"ωǒdé",               u"莪dé",                     u"ωǒdé"},
    {"digits",                u"2010",               u"\u2489" u"0.\u2488" u"0.",  u"2010"},
    {"fullwidth_digits",      u"\uFF12\uFF10\uFF11\uFF10", u"\uFF12\uFF10\uFF11\uFF10", u"\uFF12\uFF10\uFF11\uFF10"},
    {"spaces_only",           u"   ",                u"   ",                      u"   "},
    {"line_breaks",           u"\r\n\n\r",           u"\r\n\n\r",                 u"\r\n\n\r"},
    {"rows_on_traditional",   u"没有时间爱",         u"嘸囿塒間薆",               u"沒有時間愛"},
    {"already_traditional",   u"我們的時間",         u"ωǒ們dé塒間",               u"我們的時間"},
    {"phrases",               u"头发里面",           u"頭髮裡面",                 u"頭髮裡面"},
    {"sentence",              u"我的朋友是小明。",   u"莪dé倗友諟尛朙。",         u"我的朋友是小明。"},
    {"private_use",           u"\uE7F2发",           u"\uE7F2發",                 u"\uE7F2發"},
    // Characters code page 936 lacks are kept, and the text around them converts.
    {"outside_cp936",         u"\u0E01发\u00A9发\u00AB发\u00BB\U0001F600发", u"\u0E01發\u00A9發\u00AB發\u00BB\U0001F600發",
                                                                             u"\u0E01發\u00A9發\u00AB發\u00BB\U0001F600發"},
    // A phrase that holds such a character is still read as a phrase: 腌 stays 腌 in 腌䐶.
    {"phrase_outside_cp936",  u"腌䐶的肉",           u"腌䐶dé肉",                 u"腌䐶的肉"},
    // U+0000 no longer ends the conversion.
    {"zero",                  u"头发\0的头发1"s,     u"頭髮\0dé頭髮\u2488"s,      u"頭髮\0的頭髮1"s},
    // Unpaired surrogates stay where they are and disturb nothing.
    {"lone_surrogates",       u"\xD800为了\xDC00以后的\xDBFF", u"\xD800為釕\xDC00以後dé\xDBFF", u"\xD800為了\xDC00以後的\xDBFF"},
    {"swapped_pair",          u"\xDC00\xD800们",     u"\xDC00\xD800們",           u"\xDC00\xD800們"},
};
// clang-format on

class Conversion : public testing::TestWithParam<Case> {};

TEST_P(Conversion, PersonalisedAndPlain)
{
    const Case &c = GetParam();
    const auto personalised = ConvertText(c.input, false);
    ASSERT_TRUE(personalised.ok) << personalised.error;
    EXPECT_EQ(personalised.text, c.personalised);
    ConversionVariables vars;
    const auto plain = ConvertText(c.input, true, vars);
    ASSERT_TRUE(plain.ok) << plain.error;
    EXPECT_EQ(plain.text, c.plain);
    // The mapping keeps every character in its place.
    EXPECT_EQ(vars.ConvTextA, c.plain);
    EXPECT_EQ(vars.ConvTextB, c.input);
}

INSTANTIATE_TEST_SUITE_P(Texts, Conversion, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case> &p) { return std::string(p.param.name); });

TEST(ConversionVariables, OverwrittenByEachConversion)
{
    ConversionVariables vars;
    ASSERT_TRUE(ConvertText(u"我们的书架", false, vars).ok);
    EXPECT_EQ(vars.ConvTextB, u"我们的书架");
    EXPECT_EQ(vars.ConvTextA, u"我們的書架");
    EXPECT_EQ(vars.ConvByteLength, 10);
    ASSERT_TRUE(ConvertText(u"a\0b"s, false, vars).ok);
    EXPECT_EQ(vars.ConvTextA, u"a\0b"s);
    EXPECT_EQ(vars.ConvByteLength, 2); // the bytes mapped, on both sides of the zero
}

TEST(ConversionFailure, FailedMappingIsReportedWithItsReason)
{
    // A service that refuses the text, as the mapping does with a locale it does not know.
    const auto previous = lumo::conversion::SetScriptMapServiceForTesting(
        [](std::uint32_t, std::uint32_t flags, const char *src, int srcCount, char *dest, int destCapacity) {
            return lumo::platform::LCMapStringA(0x0409, flags, src, srcCount, dest, destCapacity);
        });
    ConversionVariables vars;
    const auto result = ConvertText(u"我们的 2010", false, vars);
    lumo::conversion::SetScriptMapServiceForTesting(previous);

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.text, u"");
    EXPECT_EQ(vars.ConvTextA, u"");
    EXPECT_NE(result.error.find("could not be converted to Traditional Chinese: "), std::string::npos)
        << result.error;
    EXPECT_NE(result.error.find("locale 1033"), std::string::npos)
        << "the reason is missing: " << result.error;
    // The real service works again.
    EXPECT_TRUE(ConvertText(u"我们", true).ok);
}

} // namespace
