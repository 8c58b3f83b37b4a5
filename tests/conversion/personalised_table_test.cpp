#include "conversion/personalised_table.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::literals;
using lumo::conversion::ApplyPersonalisedTable;
using lumo::conversion::ApplyPersonalisedTableRowByRow;
using lumo::conversion::PersonalisedTable;

struct Case {
    const char *name;
    std::u16string_view input;
    std::u16string_view expected;
};

// clang-format off
const Case kCases[] = {
    {"wo_de_chain",            u"我的",                 u"莪dé"},
    {"wo_alone",               u"我",                   u"ωǒ"},
    {"de_alone",               u"的",                   u"dé"},
    {"men_breaks_chain",       u"我們的",               u"ωǒ們dé"},
    {"typed_wo_de",            u"ωǒdé",                 u"莪dé"},
    {"typed_wo_then_de",       u"ωǒ的",                 u"莪dé"},
    {"wo_then_typed_de",       u"我dé",                 u"莪dé"},
    {"chain_repeats",          u"我的我的",             u"莪dé莪dé"},
    {"wo_wo_de_de",            u"我我的的",             u"ωǒ莪dédé"},
    {"half_typed_fragments",   u"ωǒd的ǒdé",             u"ωǒddéǒdé"},
    {"omega_alone",            u"ω的",                  u"ωdé"},
    {"simple_rows",            u"好人",                 u"恏魜"},
    {"greek_phi",              u"中出",                 u"Φ岀"},
    {"traditional_only_rows",  u"沒時愛",               u"嘸塒薆"},
    {"simplified_forms_stay",  u"没时爱",               u"没时爱"},
    {"digits_520",             u"520",                  u"\u248C\u2489" u"0."},
    {"digits_10",              u"10",                   u"\u2488" u"0."},
    {"digits_2010",            u"2010",                 u"\u2489" u"0.\u2488" u"0."},
    {"all_digits",             u"1234567890",           u"⒈⒉⒊⒋⒌⒍⒎⒏⒐0."},
    {"fullwidth_digits_stay",  u"\uFF10\uFF11\uFF19",   u"\uFF10\uFF11\uFF19"},
    {"latin_stays",            u"Hello, World!",        u"Hello, World!"},
    {"nothing_to_find",        u"風雨無阻。\r\n",       u"風雨無阻。\r\n"},
    {"empty",                  u"",                     u""},
    {"emoji_and_lone_halves",  u"\U0001F600人\xD800我\xDC00", u"\U0001F600魜\xD800ωǒ\xDC00"},
    {"sentence",               u"我的朋友不是小明，他是老王。", u"莪dé倗友鈈諟尛朙，怹諟咾王。"},
};
// clang-format on

class TableCase : public testing::TestWithParam<Case> {};

TEST_P(TableCase, RowByRowReference)
{
    EXPECT_EQ(ApplyPersonalisedTableRowByRow(GetParam().input), GetParam().expected);
}
TEST_P(TableCase, OnePass)
{
    EXPECT_EQ(ApplyPersonalisedTable(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Edge, TableCase, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case> &p) { return std::string(p.param.name); });

// The one pass must equal the rows applied one by one, on text made of the
// table's own pieces and their fragments, so every chain and near-chain shows up.
TEST(PersonalisedTableDifferential, OnePassEqualsRowByRow)
{
    std::vector<std::u16string> pieces;
    for (const auto &row : PersonalisedTable) {
        pieces.emplace_back(row.find);
        pieces.emplace_back(row.replace);
    }
    for (const std::u16string_view extra : std::initializer_list<std::u16string_view>{
             u"ω",  u"ǒ",  u"d",  u"é",    u"ωǒ",     u"dé",     u"ωǒd",        u"ǒdé",    u"ǒd",    u"莪",
             u"們", u"0.", u"00", u"9",    u"\uFF10", u"\uFF15", u"\r\n",       u"\n",     u" ",     u"?",
             u"风", u"體", u"A",  u"\0"sv, u"\xD800", u"\xDC00", u"\U0001F600", u"\uE7F2", u"\u0E01"})
        pieces.emplace_back(extra);

    std::mt19937 rng(20100520);
    for (int round = 0; round < 20000; ++round) {
        std::u16string text;
        const std::size_t count = rng() % 24;
        for (std::size_t k = 0; k < count; ++k)
            text += pieces[rng() % pieces.size()];
        ASSERT_EQ(ApplyPersonalisedTable(text), ApplyPersonalisedTableRowByRow(text)) << "round " << round;
    }
}

TEST(PersonalisedTableDifferential, LongTextWithManyMatches)
{
    std::u16string text;
    for (int k = 0; k < 5000; ++k)
        text += u"我的ωǒ的我dé 2010年，我們的中國心。\n";
    EXPECT_EQ(ApplyPersonalisedTable(text), ApplyPersonalisedTableRowByRow(text));
}

} // namespace
