#include "conversion/personalised_table.h"

#include <cstdint>

namespace lumo::conversion {
namespace {

// Applied top to bottom. Rows 1 to 3 chain: 我 and 的 become ωǒ and dé, and
// row 3 then turns the sequence ωǒdé, however it came about, into 莪dé.
// clang-format off
constexpr std::array<PersonalisedRow, 75> kRows{{
    {u"\u6211",                  u"\u03C9\u01D2"},        //  1 我 -> ωǒ
    {u"\u7684",                  u"d\u00E9"},             //  2 的 -> dé
    {u"\u03C9\u01D2d\u00E9",     u"\u83AAd\u00E9"},       //  3 ωǒdé -> 莪dé
    {u"\u7CFB",                  u"\u55BA"},              //  4 系 -> 喺
    {u"\u5C0F",                  u"\u5C1B"},              //  5 小 -> 尛
    {u"\u6709",                  u"\u56FF"},              //  6 有 -> 囿
    {u"\u5F97",                  u"\u561A"},              //  7 得 -> 嘚
    {u"\u4EBA",                  u"\u9B5C"},              //  8 人 -> 魜
    {u"\u4F60",                  u"\u4F31"},              //  9 你 -> 伱
    {u"\u5973",                  u"\u56E1"},              // 10 女 -> 囡
    {u"\u65B0",                  u"\u85AA"},              // 11 新 -> 薪
    {u"\u54AF",                  u"\u56D6"},              // 12 咯 -> 囖
    {u"\u4E0D",                  u"\u9208"},              // 13 不 -> 鈈
    {u"\u53EF",                  u"\u9233"},              // 14 可 -> 鈳
    {u"\u91CE",                  u"\u5622"},              // 15 野 -> 嘢
    {u"\u7518",                  u"\u5481"},              // 16 甘 -> 咁
    {u"\u5929",                  u"\u5172"},              // 17 天 -> 兲
    {u"\u4E86",                  u"\u91D5"},              // 18 了 -> 釕
    {u"\u5FC3",                  u"\u4F08"},              // 19 心 -> 伈
    {u"\u5B9A",                  u"\u5576"},              // 20 定 -> 啶
    {u"\u5982",                  u"\u94F7"},              // 21 如 -> 铷
    {u"\u77E5",                  u"\u5001"},              // 22 知 -> 倁
    {u"\u662F",                  u"\u8ADF"},              // 23 是 -> 諟
    {u"\u6C92",                  u"\u5638"},              // 24 沒 -> 嘸
    {u"\u670B",                  u"\u5017"},              // 25 朋 -> 倗
    {u"\u8001",                  u"\u54BE"},              // 26 老 -> 咾
    {u"\u660E",                  u"\u6719"},              // 27 明 -> 朙
    {u"\u4E8E",                  u"\u5401"},              // 28 于 -> 吁
    {u"\u672C",                  u"\u5932"},              // 29 本 -> 夲
    {u"\u6700",                  u"\u855E"},              // 30 最 -> 蕞
    {u"\u5E03",                  u"\u5498"},              // 31 布 -> 咘
    {u"\u4E2D",                  u"\u03A6"},              // 32 中 -> Φ
    {u"\u51FA",                  u"\u5C80"},              // 33 出 -> 岀
    {u"\u610F",                  u"\u566B"},              // 34 意 -> 噫
    {u"\u6216",                  u"\u60D1"},              // 35 或 -> 惑
    {u"\u529B",                  u"\u4EC2"},              // 36 力 -> 仂
    {u"\u597D",                  u"\u604F"},              // 37 好 -> 恏
    {u"\u5230",                  u"\u6921"},              // 38 到 -> 椡
    {u"\u518D",                  u"\u6D05"},              // 39 再 -> 洅
    {u"\u5566",                  u"\u5587"},              // 40 啦 -> 喇
    {u"\u5B89",                  u"\u54B9"},              // 41 安 -> 咹
    {u"\u5168",                  u"\u94E8"},              // 42 全 -> 铨
    {u"\u4ED6",                  u"\u6039"},              // 43 他 -> 怹
    {u"\u4E48",                  u"\u5E85"},              // 44 么 -> 庅
    {u"\u751F",                  u"\u82FC"},              // 45 生 -> 苼
    {u"\u6708",                  u"\u5184"},              // 46 月 -> 冄
    {u"\u6C34",                  u"\u6C3A"},              // 47 水 -> 氺
    {u"\u767D",                  u"\u82E9"},              // 48 白 -> 苩
    {u"\u5C31",                  u"\u50E6"},              // 49 就 -> 僦
    {u"\u5B63",                  u"\u60B8"},              // 50 季 -> 悸
    {u"\u5148",                  u"\u7B45"},              // 51 先 -> 筅
    {u"\u5317",                  u"\u4E20"},              // 52 北 -> 丠
    {u"\u7238",                  u"\u593F"},              // 53 爸 -> 夿
    {u"\u547D",                  u"\u63B5"},              // 54 命 -> 掵
    {u"\u4E0A",                  u"\u4E04"},              // 55 上 -> 丄
    {u"\u4E0B",                  u"\u4E05"},              // 56 下 -> 丅
    {u"\u65E5",                  u"\u3116"},              // 57 日 -> ㄖ
    {u"\u6642",                  u"\u5852"},              // 58 時 -> 塒
    {u"\u5C1A",                  u"\u7DD4"},              // 59 尚 -> 緔
    {u"\u5DE6",                  u"\u5497"},              // 60 左 -> 咗
    {u"\u53E3",                  u"\u30ED"},              // 61 口 -> ロ
    {u"\u5207",                  u"\u82C6"},              // 62 切 -> 苆
    {u"\u5176",                  u"\u552D"},              // 63 其 -> 唭
    {u"\u50BB",                  u"\u7E4C"},              // 64 傻 -> 繌
    {u"\u611B",                  u"\u8586"},              // 65 愛 -> 薆
    {u"1",                       u"\u2488"},              // 66 1 -> ⒈
    {u"2",                       u"\u2489"},              // 67 2 -> ⒉
    {u"3",                       u"\u248A"},              // 68 3 -> ⒊
    {u"4",                       u"\u248B"},              // 69 4 -> ⒋
    {u"5",                       u"\u248C"},              // 70 5 -> ⒌
    {u"6",                       u"\u248D"},              // 71 6 -> ⒍
    {u"7",                       u"\u248E"},              // 72 7 -> ⒎
    {u"8",                       u"\u248F"},              // 73 8 -> ⒏
    {u"9",                       u"\u2490"},              // 74 9 -> ⒐
    {u"0",                       u"0."},                  // 75 0 -> 0.
}};
// clang-format on

// ApplyPersonalisedTable does the 75 rows in one pass. That gives the same
// result as the rows one after another only while the table keeps the shape
// checked here; a row added later that breaks it fails the build.
constexpr bool IsSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

constexpr bool TableFitsOnePass()
{
    const PersonalisedRow &first = kRows[0], &second = kRows[1], &chain = kRows[2];
    // The chain row's find is exactly what rows 1 and 2 write, one after the other.
    if (first.find.size() != 1 || second.find.size() != 1 || first.replace.size() != 2 ||
        second.replace.size() != 2 || chain.find.size() != 4 || chain.find.substr(0, 2) != first.replace ||
        chain.find.substr(2) != second.replace)
        return false;
    // ...and cannot overlap itself, so its matches never compete.
    for (std::size_t k = 1; k < chain.find.size(); ++k)
        if (chain.find.substr(k) == chain.find.substr(0, chain.find.size() - k))
            return false;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].find == chain.find.substr(0, 1))
            return false; // ω must stay free to mark a possible chain start
        if (i != 2 && (kRows[i].find.size() != 1 || IsSurrogate(kRows[i].find[0])))
            return false;
        for (std::size_t j = i + 1; j < kRows.size(); ++j) {
            if (kRows[j].find == kRows[i].find)
                return false;
            // Apart from the chain, no row rewrites what an earlier row wrote.
            if (kRows[i].replace.find(kRows[j].find) != std::u16string_view::npos)
                return false;
        }
    }
    return true;
}
static_assert(TableFitsOnePass(), "the one-pass table walk no longer matches the rows");

constexpr std::uint8_t kUntouched = 0;
constexpr std::uint8_t kChainOnly = 0xFF; // ω: starts a chain match, has no row of its own

// How many 256-unit blocks of UTF-16 hold a character some row finds.
constexpr std::size_t CountBlocks()
{
    std::array<bool, 256> used{};
    std::size_t count = 0;
    for (const PersonalisedRow &r : kRows) {
        const std::size_t high = r.find[0] >> 8;
        if (!used[high]) {
            used[high] = true;
            ++count;
        }
    }
    return count;
}

// For every UTF-16 code unit: 0, or 1 + the index of the single-character row that finds it
// (rows 1 and 2 included), or kChainOnly. Built at compile time in two levels, so that a short
// text reads a page of it rather than 64 KiB filled in at start.
struct RowLookup {
    std::array<std::uint8_t, 256> blockOf{}; // high byte -> 1 + block, 0: no row
    std::array<std::array<std::uint8_t, 256>, CountBlocks()> blocks{};

    constexpr RowLookup()
    {
        std::size_t next = 0;
        const auto set = [&](char16_t unit, std::uint8_t value) {
            std::uint8_t &block = blockOf[unit >> 8];
            if (block == 0)
                block = static_cast<std::uint8_t>(++next);
            blocks[block - 1][unit & 0xFF] = value;
        };
        for (std::size_t i = 0; i < kRows.size(); ++i)
            if (kRows[i].find.size() == 1)
                set(kRows[i].find[0], static_cast<std::uint8_t>(i + 1));
        set(kRows[2].find[0], kChainOnly);
    }

    constexpr std::uint8_t operator[](char16_t unit) const
    {
        const std::uint8_t block = blockOf[unit >> 8];
        return block == 0 ? kUntouched : blocks[block - 1][unit & 0xFF];
    }
};

static_assert(CountBlocks() < 0xFF, "block numbers are bytes");
constexpr RowLookup kLookup;

// Length of the source text at `at` that rows 1 and 2 turn into the chain
// row's find text (我 or ωǒ, then 的 or dé), or 0 when there is none.
std::size_t ChainMatchLength(std::u16string_view text, std::size_t at)
{
    const std::u16string_view wo = kRows[0].replace, de = kRows[1].replace;
    std::size_t first = 0;
    if (text[at] == kRows[0].find[0])
        first = 1;
    else if (text.substr(at, 2) == wo)
        first = 2;
    else
        return 0;
    const std::size_t next = at + first;
    if (next < text.size() && text[next] == kRows[1].find[0])
        return first + 1;
    if (text.substr(next, 2) == de)
        return first + 2;
    return 0;
}

} // namespace

const std::array<PersonalisedRow, 75> PersonalisedTable = kRows;

std::u16string ApplyPersonalisedTable(std::u16string_view text)
{
    const RowLookup &row = kLookup;
    std::u16string out;
    out.reserve(text.size() + text.size() / 4 + 8);
    std::size_t copied = 0; // text before this index is already in `out`
    std::size_t i = 0;
    while (i < text.size()) {
        const std::uint8_t r = row[text[i]];
        if (r == kUntouched) {
            ++i;
            continue;
        }
        if (r == kChainOnly || r == 1) {
            if (const std::size_t length = ChainMatchLength(text, i)) {
                out.append(text.substr(copied, i - copied));
                out.append(kRows[2].replace); // final: no later row finds any of it
                i += length;
                copied = i;
                continue;
            }
            if (r == kChainOnly) {
                ++i;
                continue;
            }
        }
        out.append(text.substr(copied, i - copied));
        out.append(kRows[r - 1].replace);
        copied = ++i;
    }
    out.append(text.substr(copied));
    return out;
}

std::u16string ApplyPersonalisedTableRowByRow(std::u16string_view text)
{
    std::u16string current(text);
    for (const PersonalisedRow &r : kRows) {
        std::u16string next;
        next.reserve(current.size());
        std::size_t from = 0;
        for (std::size_t at = current.find(r.find); at != std::u16string::npos;
             at = current.find(r.find, from)) {
            next.append(current, from, at - from);
            next.append(r.replace);
            from = at + r.find.size();
        }
        next.append(current, from);
        current = std::move(next);
    }
    return current;
}

} // namespace lumo::conversion
