#include "platform/text/codepage.h"
#include "platform/text/scriptmap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>

namespace lp = lumo::platform;

namespace {

// Maps text the way the conversion does: through the code page, the mapping and back.
std::u16string ToTraditional(std::u16string_view text)
{
    const std::string source = lp::EncodeAnsi(text);
    std::string dest(source.size(), ' ');
    const int written = lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, source.data(),
                                         static_cast<int>(source.size()), dest.data(),
                                         static_cast<int>(dest.size()));
    EXPECT_EQ(written, static_cast<int>(source.size())) << lp::ScriptMapError();
    return lp::DecodeAnsi(dest);
}

std::string Utf8(std::u16string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct Reading {
    const char16_t *simplified;
    const char16_t *traditional;
};

void PrintTo(const Reading &r, std::ostream *os) { *os << Utf8(r.simplified); }

class Readings : public testing::TestWithParam<Reading> {};

TEST_P(Readings, MapToTaiwanTraditional)
{
    EXPECT_EQ(Utf8(ToTraditional(GetParam().simplified)), Utf8(GetParam().traditional));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(OpenCC, Readings, testing::Values(
    Reading{u"为了", u"為了"},
    Reading{u"里面", u"裡面"},
    Reading{u"头发", u"頭髮"},
    Reading{u"以后", u"以後"},
    Reading{u"皇后", u"皇后"},
    Reading{u"我们的", u"我們的"},
    Reading{u"着装", u"著裝"}
));

// OpenCC's greedy segmentation gets these wrong; our rows mend them.
INSTANTIATE_TEST_SUITE_P(Overrides, Readings, testing::Values(
    Reading{u"被发明", u"被發明"},
    Reading{u"前头发生", u"前頭發生"},
    Reading{u"粉丝发布", u"粉絲發佈"},
    Reading{u"一只只", u"一隻隻"},
    Reading{u"参与制造", u"參與製造"},
    Reading{u"面条干了", u"麵條乾了"},
    Reading{u"冲咖啡", u"沖咖啡"},
    Reading{u"头发生长", u"頭髮生長"},
    Reading{u"头发明显", u"頭髮明顯"}
));
// clang-format on

} // namespace
