#include "platform/text/codepage.h"
#include "platform/text/scriptmap.h"
#include "platform/text/utf8.h"
#include "tools/s2twgen/tablebuilder.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace lp = lumo::platform;

namespace {

// Maps text the way the conversion does: through the code page, the mapping and back.
std::u16string ToTraditional(std::u16string_view text)
{
    const std::string source = lp::EncodeAnsi(text);
    std::string dest(source.size(), ' ');
    const int written =
        lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, source.data(),
                         static_cast<int>(source.size()), dest.data(), static_cast<int>(dest.size()));
    EXPECT_EQ(written, static_cast<int>(source.size())) << lp::ScriptMapError();
    return lp::DecodeAnsi(dest);
}

std::string Utf8(std::u16string_view s)
{
    std::string out;
    lp::EncodeUtf8(s, out);
    return out;
}

struct Reading {
    const char16_t *simplified;
    const char16_t *traditional;
};

void PrintTo(const Reading &r, std::ostream *os)
{
    *os << Utf8(r.simplified);
}

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

// Readings that OpenCC's dictionaries took up in 2024-2025 (from its phrases generated from regional
// vocabulary, its Taiwan variant phrases and its normalisation step); each was wrong before.
INSTANTIATE_TEST_SUITE_P(CurrentDictionaries, Readings, testing::Values(
    // 发 as 發 (develop), not 髮 (hair)
    Reading{u"婴儿的发育很正常", u"嬰兒的發育很正常"},
    // 干 as 乾 (dried), not 幹
    Reading{u"晒好的香蕉干很甜", u"曬好的香蕉乾很甜"},
    // 周 as 週 (week) but 周 in 周围 (around); 复 as 複 in 复习, 復 in 复盘
    Reading{u"下周复习数学", u"下週複習數學"},
    Reading{u"这周围很安静", u"這周圍很安靜"},
    Reading{u"比赛后复盘一下", u"比賽後復盤一下"},
    // 面 as 麵 (noodles) after its kinds
    Reading{u"一碗细面", u"一碗細麵"},
    // Taiwan writes 梁 for the beam, but names keep 樑
    Reading{u"房梁上有只猫", u"房梁上有隻貓"},
    Reading{u"张栋梁是我的同学", u"張棟樑是我的同學"},
    // Compatibility ideographs (U+F92C, U+FA0C) are read, and written, as the characters they stand for
    Reading{u"\uF92C\uFA0C", u"\u90CE\u5140"}
));

// OpenCC's greedy segmentation gets these wrong; our rows mend them.
INSTANTIATE_TEST_SUITE_P(Overrides, Readings, testing::Values(
    Reading{u"被发明", u"被發明"},
    Reading{u"前头发生", u"前頭發生"},
    Reading{u"粉丝发布", u"粉絲發布"},
    Reading{u"一只只", u"一隻隻"},
    Reading{u"参与制造", u"參與製造"},
    Reading{u"面条干了", u"麵條乾了"},
    Reading{u"冲咖啡", u"沖咖啡"},
    Reading{u"头发生长", u"頭髮生長"},
    Reading{u"头发明显", u"頭髮明顯"}
));

// The same classes of mistake elsewhere, and readings the mending must leave alone.
INSTANTIATE_TEST_SUITE_P(OverrideClasses, Readings, testing::Values(
    Reading{u"消息被发送了", u"消息被發送了"},
    Reading{u"工资被发放", u"工資被發放"},
    Reading{u"这只能说明", u"這只能說明"},
    Reading{u"一只只小鸟", u"一隻隻小鳥"},
    Reading{u"那只能这样", u"那只能這樣"},
    Reading{u"参与制作", u"參與製作"},
    Reading{u"里头发生了什么", u"裡頭發生了什麼"},
    Reading{u"冲了一杯咖啡", u"沖了一杯咖啡"},
    Reading{u"冲牛奶", u"沖牛奶"},
    Reading{u"衣服干了", u"衣服乾了"},
    Reading{u"头发干了", u"頭髮乾了"},
    // Greedy is right here: the character left alone would not stand as a word.
    Reading{u"控制成本", u"控制成本"},
    Reading{u"控制作用", u"控制作用"},
    Reading{u"把头发给剪了", u"把頭髮給剪了"},
    Reading{u"剪头发了", u"剪頭髮了"},
    Reading{u"头发放下来", u"頭髮放下來"},
    Reading{u"金发明星", u"金髮明星"},
    Reading{u"干了一杯", u"幹了一杯"},
    Reading{u"冲过去", u"衝過去"},
    Reading{u"一只手", u"一隻手"},
    Reading{u"每只能吃", u"每隻能吃"},
    Reading{u"不只只是", u"不只只是"},
    Reading{u"多党制成为", u"多黨制成為"}
));
// clang-format on

int Map(const std::string &source, char *dest, int capacity)
{
    return lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, source.data(),
                            static_cast<int>(source.size()), dest, capacity);
}

// The buffer the mapping writes into, with guard bytes on both sides.
struct GuardedBuffer {
    static constexpr int kGuard = 64;
    explicit GuardedBuffer(int capacity) : storage(capacity + 2 * kGuard, '\xA5') {}
    char *data() { return storage.data() + kGuard; }
    std::string Written(int n) const { return storage.substr(kGuard, n); }
    bool GuardsIntact(int capacity) const
    {
        for (int i = 0; i < kGuard; ++i)
            if (storage[i] != '\xA5' || storage[kGuard + capacity + i] != '\xA5')
                return false;
        return true;
    }
    std::string storage;
};

std::u16string FromUtf8(std::string_view s)
{
    std::u16string out;
    std::size_t offset = 0;
    lumo::platform::DecodeUtf8(s, out, offset);
    return out;
}

// A row that the loader had to drop (other length, characters outside code page 936) would be
// silently ignored; each row must take effect on its own key.
TEST(ScriptMapOverrides, EveryRowWithAValueTakesEffect)
{
    for (const auto &row : lumo::zhconv::OverrideRows()) {
        const std::u16string key = FromUtf8(row.key);
        EXPECT_GE(key.size(), 2u) << row.key;
        if (row.value != nullptr) {
            EXPECT_EQ(Utf8(ToTraditional(key)), row.value);
        }
    }
}

TEST(ScriptMapContract, WritesExactlyTheSourceLengthAndKeepsTheCharacterCount)
{
    const std::u16string texts[] = {
        u"头发以后为了里面，我们的皇后。2010年ABC",
        u"\u0E01泰文©«引号»\U0001F600表情\u200D\uFE0F发",
        u"鳤鱼", // its Traditional form U+4C98 lies outside code page 936 and would need four bytes
        std::u16string(u"发\0发\0", 4),
    };
    for (const auto &text : texts) {
        const std::string source = lp::EncodeAnsi(text);
        const int n = static_cast<int>(source.size());
        GuardedBuffer buffer(n);
        ASSERT_EQ(Map(source, buffer.data(), n), n) << lp::ScriptMapError();
        EXPECT_TRUE(buffer.GuardsIntact(n));
        EXPECT_EQ(lp::DecodeAnsi(buffer.Written(n)).size(), text.size());
    }
    // Characters whose mapping needs other bytes keep their source characters; the rest converts.
    EXPECT_EQ(ToTraditional(u"鳤鱼发"), u"鳤魚發");
    EXPECT_EQ(ToTraditional(u"\u0E01发©"), u"\u0E01發©");
    // Four-byte forms map where the result takes four bytes too (U+3129C -> U+2A23C); U+2B8B8
    // would become the two-byte 僤 and stays.
    EXPECT_EQ(ToTraditional(u"\U0003129C\U0002B8B8发"), u"\U0002A23C\U0002B8B8發");
    // Zero bytes do not end the text.
    EXPECT_EQ(ToTraditional(std::u16string(u"发\0发", 3)), std::u16string(u"發\0發", 3));
}

TEST(ScriptMapContract, NeverWritesPastTheCapacity)
{
    const std::string source = lp::EncodeAnsi(u"为了里面的头发");
    const int n = static_cast<int>(source.size());
    for (int capacity = 1; capacity < n; ++capacity) {
        GuardedBuffer buffer(capacity);
        EXPECT_EQ(Map(source, buffer.data(), capacity), 0);
        EXPECT_FALSE(lp::ScriptMapError().empty());
        EXPECT_TRUE(buffer.GuardsIntact(capacity)) << capacity;
    }
    GuardedBuffer roomy(n + 10);
    EXPECT_EQ(Map(source, roomy.data(), n + 10), n);
    EXPECT_TRUE(roomy.GuardsIntact(n + 10 - 10)); // bytes past n stay as they were
    EXPECT_EQ(roomy.storage.substr(GuardedBuffer::kGuard + n, 10), std::string(10, '\xA5'));
    // Capacity 0 asks for the size and writes nothing.
    EXPECT_EQ(Map(source, nullptr, 0), n);
}

TEST(ScriptMapContract, RejectsWhatItCannotMap)
{
    char dest[8];
    const char src[] = "ab";
    constexpr std::uint32_t kSimplifiedChinese = 0x02000000; // LCMAP_SIMPLIFIED_CHINESE
    EXPECT_EQ(lp::LCMapStringA(1028, lp::LCMAP_TRADITIONAL_CHINESE, src, 2, dest, 8), 0);
    EXPECT_NE(lp::ScriptMapError().find("locale"), std::string::npos);
    EXPECT_EQ(lp::LCMapStringA(lp::kLocaleChinesePrc, kSimplifiedChinese, src, 2, dest, 8), 0);
    EXPECT_EQ(lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, nullptr, 2, dest, 8), 0);
    EXPECT_EQ(lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, src, 2, nullptr, 8), 0);
    EXPECT_EQ(lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, src, -2, dest, 8), 0);
    EXPECT_EQ(lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, src, 0, dest, 8), 0);
    // -1 means up to and including the zero byte.
    EXPECT_EQ(lp::LCMapStringA(lp::kLocaleChinesePrc, lp::LCMAP_TRADITIONAL_CHINESE, src, -1, dest, 8), 3);
    EXPECT_STREQ(dest, "ab");
    EXPECT_EQ(lp::ScriptMapError(), "");
}

TEST(ScriptMapContract, ArbitraryBytesPassThroughAndNothingElseChanges)
{
    std::mt19937 rng(0x804);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string fa = lp::EncodeAnsi(u"发");
    const std::string faTraditional = lp::EncodeAnsi(u"發");
    for (int round = 0; round < 3000; ++round) {
        std::string source;
        for (int k = round % 29; k > 0; --k)
            source.push_back(static_cast<char>(byte(rng)));
        source += fa; // a character that does change, after whatever came before
        const int n = static_cast<int>(source.size());
        GuardedBuffer buffer(n);
        ASSERT_EQ(Map(source, buffer.data(), n), n);
        ASSERT_TRUE(buffer.GuardsIntact(n));
        const std::string written = buffer.Written(n);
        // Whatever precedes is either mapped character for character or left alone, so the
        // decoded text keeps its length.
        ASSERT_EQ(lp::DecodeAnsi(written).size(), lp::DecodeAnsi(source).size());
    }
    // Bytes that form no character stay exactly as they were.
    const std::string bad = std::string("\x81", 1) + " " + std::string("\x81\x30\x20", 3) + fa + "\x81";
    std::string out(bad.size(), ' ');
    ASSERT_EQ(Map(bad, out.data(), static_cast<int>(out.size())), static_cast<int>(bad.size()));
    EXPECT_EQ(out, std::string("\x81 \x81\x30\x20", 5) + faTraditional + "\x81");
}

TEST(ScriptMapContract, MapsInPlace)
{
    std::string text = lp::EncodeAnsi(u"被发明的头发");
    const int n = static_cast<int>(text.size());
    ASSERT_EQ(Map(text, text.data(), n), n);
    EXPECT_EQ(lp::DecodeAnsi(text), u"被發明的頭髮");
}

TEST(ScriptMapContract, LongTextMapsAsItsLinesDo)
{
    // Long texts are read in windows; a line break ends every phrase, so mapping line by line
    // gives the reference wherever the windows happen to end.
    const std::u16string pieces[] = {u"被发明", u"头发生长", u"一只只",   u"\U00020000",
                                     u"\u0E01", u"参与制造", u"为了里面", u"冲了一杯咖啡",
                                     u"a",      u"面条干了", u"©",        u"以后皇后"};
    std::mt19937 rng(15);
    std::string whole, expected;
    while (whole.size() < 400 * 1024) {
        std::u16string line;
        for (int k = static_cast<int>(rng() % 40); k >= 0; --k)
            line += pieces[rng() % std::size(pieces)];
        line += u"\n";
        const std::string bytes = lp::EncodeAnsi(line);
        whole += bytes;
        std::string mapped(bytes.size(), ' ');
        ASSERT_EQ(Map(bytes, mapped.data(), static_cast<int>(mapped.size())), static_cast<int>(bytes.size()));
        expected += mapped;
    }
    std::string mapped(whole.size(), ' ');
    ASSERT_EQ(Map(whole, mapped.data(), static_cast<int>(mapped.size())), static_cast<int>(whole.size()));
    EXPECT_TRUE(mapped == expected);
}

TEST(ScriptMapThreads, TwoThreadsMapAtOnce)
{
    std::u16string text;
    for (int i = 0; i < 200; ++i)
        text += u"为了里面的头发，以后被发明了一只只冲咖啡的机器。";
    const std::u16string expected = ToTraditional(text);
    std::u16string results[2];
    std::thread threads[2];
    for (int t = 0; t < 2; ++t)
        threads[t] = std::thread([&, t] {
            for (int round = 0; round < 20; ++round) {
                results[t] = ToTraditional(text);
                if (results[t] != expected)
                    return;
            }
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(results[0], expected);
    EXPECT_EQ(results[1], expected);
}

} // namespace
