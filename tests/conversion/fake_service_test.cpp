// The conversion around a stand-in mapping service: what reaches the service,
// and how its failures are reported.
#include "conversion/conversion.h"
#include "platform/text/codepage.h"
#include "platform/text/scriptmap.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// UpperCaseAscii: a-z to A-Z. AlsoForeign: also changes the last byte of every four-byte form.
// Reorders: also moves the first four-byte form to the end of what it is given.
enum class Mode { UpperCaseAscii, AlsoForeign, Reorders, Fail, Partial };
Mode gMode = Mode::UpperCaseAscii;
std::vector<std::string> gCalls;

int FakeMap(std::uint32_t locale, std::uint32_t flags, const char *src, int srcCount, char *dest,
            int destCapacity)
{
    EXPECT_EQ(locale, lumo::platform::kLocaleChinesePrc);
    EXPECT_EQ(flags, lumo::platform::LCMAP_TRADITIONAL_CHINESE);
    EXPECT_LE(srcCount, destCapacity);
    gCalls.emplace_back(src, static_cast<std::size_t>(srcCount));
    if (gMode == Mode::Fail)
        return 0;
    const int count = gMode == Mode::Partial ? srcCount / 2 : srcCount;
    std::string out(src, static_cast<std::size_t>(count));
    for (char &c : out)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    for (std::size_t k = 0; k + 3 < out.size(); ++k) {
        if ((out[k] & 0x80) == 0 || out[k + 1] < '0' || out[k + 1] > '9')
            continue;
        if (gMode == Mode::AlsoForeign)
            out[k + 3] = static_cast<char>(out[k + 3] ^ 1);
        if (gMode == Mode::Reorders) {
            const std::string form = out.substr(k, 4);
            out.erase(k, 4);
            out += form;
            break;
        }
        k += 3;
    }
    std::memcpy(dest, out.data(), out.size());
    return count;
}

using namespace std::literals;
using lumo::conversion::ConversionVariables;
using lumo::conversion::ConvertText;

class FakeService : public testing::Test {
  protected:
    void SetUp() override
    {
        gMode = Mode::UpperCaseAscii;
        gCalls.clear();
        lumo::conversion::SetScriptMapServiceForTesting(&FakeMap);
    }
    void TearDown() override { lumo::conversion::SetScriptMapServiceForTesting(nullptr); }
};

TEST_F(FakeService, MapsAroundZeroesLoneSurrogatesAndForeignCharacters)
{
    // Every stretch between the pieces that cannot go through the code page still
    // reaches the service whole, characters the code page lacks included; the pieces
    // and those characters come out untouched, whatever the service does to them.
    const std::u16string text = u"ab\0cd\xD800"
                                u"ef\xDC00gh\U0001F600ij\u00A9kl\u0E01mn\xDBFF"s;
    const std::u16string expected = u"AB\0CD\xD800"
                                    u"EF\xDC00GH\U0001F600IJ\u00A9KL\u0E01MN\xDBFF"s;
    for (const Mode mode : {Mode::UpperCaseAscii, Mode::AlsoForeign, Mode::Reorders}) {
        gMode = mode;
        gCalls.clear();
        ConversionVariables vars;
        const auto result = ConvertText(text, true, vars);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.text, expected);
        EXPECT_EQ(vars.ConvTextA, result.text);
        EXPECT_EQ(vars.ConvTextB, text);
        EXPECT_EQ(vars.ConvByteLength, 14 + 3 * 4); // 14 ASCII letters; 😀, ©, ก in four GB18030 bytes
        for (const std::string &call : gCalls)
            EXPECT_EQ(call.find('\0'), std::string::npos);
        // ab, cd, ef, then the rest in one call; a service that moves characters about has the
        // rest mapped again, piece by piece between the four-byte forms.
        EXPECT_EQ(gCalls.size(), mode == Mode::Reorders ? 4u + 4u : 4u);
    }
}

TEST_F(FakeService, ChineseTextGoesToTheServiceInOneCall)
{
    const auto result = ConvertText(u"我们的\r\n2010 年", true);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.text, u"我们的\r\n2010 年");
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0], lumo::platform::EncodeAnsi(u"我们的\r\n2010 年"));
}

TEST_F(FakeService, FailureIsReportedNotPassedOffAsText)
{
    for (const Mode mode : {Mode::Fail, Mode::Partial}) {
        gMode = mode;
        ConversionVariables vars;
        const auto result = ConvertText(u"我们的朋友", false, vars);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.text, u"");
        EXPECT_EQ(vars.ConvTextA, u"");
        EXPECT_NE(result.error.find("could not be converted"), std::string::npos) << result.error;
    }
}

TEST_F(FakeService, EmptyAndForeignOnlyTextsConvertWithoutTheService)
{
    EXPECT_TRUE(ConvertText(u"", false).ok);
    EXPECT_TRUE(gCalls.empty());
    // Nothing in it needs mapping, so a failing service does not fail the conversion.
    gMode = Mode::Fail;
    const auto result = ConvertText(u"\U0001F600\0\xD800"s, false);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.text, u"\U0001F600\0\xD800"s);
}

} // namespace
