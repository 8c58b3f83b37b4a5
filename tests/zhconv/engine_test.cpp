#include "platform/text/codepage.h"
#include "platform/text/utf8.h"
#include "zhconv/engine.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace lp = lumo::platform;
using lumo::zhconv::Engine;

namespace {

const Engine &TheEngine()
{
    static const Engine engine = [] {
        Engine e;
        std::string error;
        if (!e.Open(lumo::zhconv::CompiledTable(), error))
            throw std::runtime_error(error);
        return e;
    }();
    return engine;
}

std::string Ansi(const std::string &utf8)
{
    std::u16string text;
    std::size_t offset = 0;
    lp::DecodeUtf8(utf8, text, offset);
    return lp::EncodeAnsi(text);
}

std::string Utf8(const std::string &ansi)
{
    std::string out;
    lp::EncodeUtf8(lp::DecodeAnsi(ansi), out);
    return out;
}

std::string Map(const std::string &ansi)
{
    std::string out(ansi.size(), ' ');
    TheEngine().Map(ansi.data(), ansi.size(), out.data());
    return out;
}

// The text cut where the engine starts words, joined with '|'.
std::string Words(const std::string &utf8)
{
    const std::string bytes = Ansi(utf8);
    std::vector<std::size_t> starts = TheEngine().WordStarts(bytes.data(), bytes.size());
    starts.push_back(bytes.size());
    std::string out;
    for (std::size_t k = 0; k + 1 < starts.size(); ++k)
        out += (k ? "|" : "") + Utf8(bytes.substr(starts[k], starts[k + 1] - starts[k]));
    return out;
}

// Where greedy longest match lets a rare phrase take the first character of a common word, the
// more probable reading wins; where the phrase is the reading, it stays whole.
struct Segmentation {
    const char *text, *words;
};
class Segments : public testing::TestWithParam<Segmentation> {};

TEST_P(Segments, AreTheMostProbableReading)
{
    EXPECT_EQ(Words(GetParam().text), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(Frequency, Segments,
                         testing::Values(Segmentation{"被复制", "被|复制"},     // not the phrase 被复
                                         Segmentation{"执行复杂", "执行|复杂"}, // not 行复
                                         Segmentation{"此系统", "此|系统"},     // not 此系
                                         Segmentation{"对表格", "对|表格"},     // not 对表
                                         Segmentation{"头发生长",
                                                      "头发|生长"}, // the phrase wins where it is the reading
                                         Segmentation{"一只只", "一只只"},           // one of our rows, whole
                                         Segmentation{"将群组合并", "将|群组|合并"}, // not 群|组合|并
                                         Segmentation{"a头发b", "a|头发|b"}));       // ASCII ends every word

// Where a phrase would read a character one way and the word it belongs to another, the word wins;
// where the phrase is the reading, it stays.
struct Reading {
    const char *simplified, *traditional;
};
void PrintTo(const Reading &r, std::ostream *os)
{
    *os << r.simplified;
}
class Readings : public testing::TestWithParam<Reading> {};

TEST_P(Readings, FollowTheWordsAroundThem)
{
    EXPECT_EQ(Utf8(Map(Ansi(GetParam().simplified))), GetParam().traditional);
}

// 只 before a verb or preposition is "only"; after a numeral, or before what is counted, it is the
// measure word, even where a verb follows. After a number it stays 只; 斗 there is the measure.
INSTANTIATE_TEST_SUITE_P(
    AdverbOrMeasureWord, Readings,
    testing::Values(Reading{"这只适用于", "這只適用於"}, // not the phrase 这只 (這隻)
                    Reading{"那只影响了", "那只影響了"}, Reading{"这只会让事情更糟", "這只會讓事情更糟"},
                    Reading{"这只对管理员有效", "這只對管理員有效"}, Reading{"这只能说明", "這只能說明"},
                    Reading{"这只猫很可爱", "這隻貓很可愛"}, Reading{"一只狗", "一隻狗"},
                    Reading{"两只老虎", "兩隻老虎"}, Reading{"一只会说话的鹦鹉", "一隻會說話的鸚鵡"},
                    Reading{"每只能吃", "每隻能吃"}, // each one can eat
                    Reading{"SQL92 只声明了", "SQL92 只聲明了"}, Reading{"3只是", "3只是"},
                    Reading{"3只能", "3只能"}, Reading{"2斗", "2斗"},
                    Reading{"那只飞走了", "那隻飛走了"}, // that one flew away
                    Reading{"它是只在启动时读取", "它是只在啟動時讀取"}, Reading{"这是只猫", "這是隻貓"},
                    // Numerals of more than one character count too, but not 多数 and 余数.
                    Reading{"带给他三十只禾花雀", "帶給他三十隻禾花雀"}, Reading{"一万只乌鸦", "一萬隻烏鴉"},
                    Reading{"二十五只，", "二十五隻，"}, Reading{"多数只是", "多數只是"},
                    Reading{"余数只能是", "餘數只能是"}));

// 后 after a word is "after", also where the word's last character begins the title of a queen;
// the titles themselves keep 后.
INSTANTIATE_TEST_SUITE_P(AfterOrQueen, Readings,
                         testing::Values(Reading{"字元后", "字元後"},         // not the phrase 元后
                                         Reading{"删除字母后", "刪除字母後"}, // not 母后
                                         Reading{"更新后", "更新後"}, Reading{"安装后", "安裝後"},
                                         Reading{"皇后", "皇后"}, Reading{"王后", "王后"},
                                         Reading{"天后宫", "天后宮"}, Reading{"慈禧太后", "慈禧太后"},
                                         Reading{"埃及艳后", "埃及豔后"}));

// 周 after a numeral or a number counts weeks; 周 alone stays 周.
INSTANTIATE_TEST_SUITE_P(
    Weeks, Readings,
    testing::Values(Reading{"第三周", "第三週"}, Reading{"这是第二周的工作", "這是第二週的工作"},
                    Reading{"%d周", "%d週"}, Reading{"每 %d 周一次", "每 %d 週一次"},
                    Reading{"第3周", "第3週"}, Reading{"过去 12 周以来", "過去 12 週以來"},
                    Reading{"第３周", "第３週"}, Reading{"3周围", "3周圍"}, // a word of its own
                    Reading{"3  周", "3  周"},
                    Reading{"𠀀周", "𠀀周"}, // a four-byte form ends in a digit byte
                    Reading{"😀 周", "😀 周"}, Reading{"%s 周", "%s 周"}, Reading{"Linux 周", "Linux 周"},
                    Reading{"二十周", "二十週"}, Reading{"周围", "周圍"}, Reading{"统一周", "統一周"},
                    // Calendar words count weeks; the surroundings stay 周.
                    Reading{"在工作周模式中使用周编号", "在工作週模式中使用週編號"},
                    Reading{"%d 周前", "%d 週前"}, Reading{"房子四周前后", "房子四周前後"},
                    Reading{"应该周末去", "應該週末去"}, Reading{"周线图", "週線圖"},
                    Reading{"显示周日历", "顯示週日曆"}));

// 里 inside a name is 里; words the word list wrongly takes for names keep 裡, "inside".
INSTANTIATE_TEST_SUITE_P(NamesWithLi, Readings,
                         testing::Values(Reading{"埃里克", "埃里克"}, Reading{"海因里希", "海因里希"},
                                         Reading{"奥里诺科河", "奧里諾科河"}, Reading{"家里人", "家裡人"},
                                         Reading{"里边儿", "裡邊兒"}, Reading{"沙里淘金", "沙裡淘金"},
                                         Reading{"如坠云里雾里", "如墜雲裡霧裡"},
                                         // A name (卡里, 格里, 巴里) must not take the word in front
                                         // of 里, "inside".
                                         Reading{"存在记忆卡里", "存在記憶卡裡"},
                                         Reading{"这张卡里还有钱", "這張卡裡還有錢"},
                                         Reading{"在储存格里输入", "在儲存格裡輸入"},
                                         Reading{"嘴巴里", "嘴巴裡"}, Reading{"八万里", "八萬里"},
                                         Reading{"在印度新德里", "在印度新德里"},
                                         Reading{"格里芬", "格里芬"}));

// 里 after a number is the distance; after a count of other things it is still "inside".
INSTANTIATE_TEST_SUITE_P(Distances, Readings,
                         testing::Values(Reading{"七百里", "七百里"}, Reading{"走了三十里路", "走了三十里路"},
                                         Reading{"数十里", "數十里"}, Reading{"三千里，", "三千里，"},
                                         Reading{"这三个里面", "這三個裡面"}, Reading{"十年里", "十年裡"},
                                         Reading{"在这十里面", "在這十裡面"}, Reading{"大四里", "大四裡"}));

// 斗 after a numeral is the measure; 面 after a count of bowls or portions is noodles.
INSTANTIATE_TEST_SUITE_P(Measures, Readings,
                         testing::Values(Reading{"三斗米", "三斗米"}, Reading{"米长几斗。", "米長幾斗。"},
                                         Reading{"三斗争", "三鬥爭"},
                                         Reading{"他一口气吃了三碗面", "他一口氣吃了三碗麵"},
                                         Reading{"两份面", "兩份麵"}, Reading{"一份面试", "一份面試"},
                                         Reading{"一包面包", "一包麵包"}));

// 台 counting machines is 台 as Taiwan writes it, but a count word must not take the 台 of a word
// that follows another (统一|台湾, 第一|台风) or the 台 that OpenCC reads 颱, 檯.
INSTANTIATE_TEST_SUITE_P(CountedMachines, Readings,
                         testing::Values(Reading{"这台电脑", "這台電腦"}, Reading{"两台机器", "兩台機器"},
                                         Reading{"统一台湾", "統一臺灣"}, Reading{"第一台风", "第一颱風"},
                                         Reading{"一台灯", "一檯燈"}, Reading{"这台风扇", "這台風扇"},
                                         Reading{"这台阶", "這臺階"}, Reading{"柜台", "櫃檯"}));

// A spelling Taiwan uses holds in the longer phrases that contain the word, not only in the word
// alone; a phrase that reads the characters otherwise keeps its reading.
INSTANTIATE_TEST_SUITE_P(UsageInsidePhrases, Readings,
                         testing::Values(Reading{"跨平台", "跨平台"}, Reading{"在作业平台上", "在作業平台上"},
                                         Reading{"我不了解", "我不了解"}, Reading{"据了解", "據了解"},
                                         Reading{"人口分布", "人口分布"}, Reading{"常态分布", "常態分布"},
                                         Reading{"分布于", "分布於"}, Reading{"新闻发布会", "新聞發布會"},
                                         Reading{"五年计划", "五年計畫"},
                                         Reading{"切换全荧幕模式", "切換全螢幕模式"},
                                         Reading{"计划书", "計畫書"}, Reading{"为了解决", "為了解決"},
                                         Reading{"卷轴装", "卷軸裝"}, Reading{"天后宫", "天后宮"},
                                         Reading{"个旧市", "個舊市"}, Reading{"一个旧版本", "一個舊版本"},
                                         Reading{"马里语", "馬里語"}, Reading{"散布者", "散布者"},
                                         Reading{"尽快地", "盡快地"}, Reading{"电脑周边设备", "電腦週邊設備"},
                                         Reading{"几周边", "幾週邊"}, Reading{"跳过横杆", "跳過橫桿"}));

// A word keeps its reading before 上 ("on"), against OpenCC's phrases 台上 and 面上.
INSTANTIATE_TEST_SUITE_P(WordsOnTop, Readings,
                         testing::Values(Reading{"放在服务台上", "放在服務檯上"},
                                         Reading{"一碗面上", "一碗麵上"},
                                         Reading{"在控制台上显示", "在控制台上顯示"},
                                         Reading{"舞台上", "舞臺上"}, Reading{"表面上", "表面上"},
                                         Reading{"马上", "馬上"}, Reading{"台上", "臺上"}));

// Rows win over the phrases and characters beside them; those priced as phrases never over a
// likelier word.
INSTANTIATE_TEST_SUITE_P(PricedRows, Readings,
                         testing::Values(Reading{"该系基于", "該係基於"}, Reading{"体系基于", "體系基於"},
                                         Reading{"两者相冲", "兩者相衝"}, Reading{"真相冲击", "真相衝擊"},
                                         Reading{"回复预设值", "回復預設值"}, Reading{"回复邮件", "回覆郵件"},
                                         Reading{"你会想借由", "你會想藉由"}, Reading{"我想借书", "我想借書"},
                                         Reading{"故圣人云：", "故聖人云："},
                                         Reading{"岂不闻古人云", "豈不聞古人云"}, Reading{"白云", "白雲"},
                                         Reading{"以它为主干的", "以它為主幹的"}));

// 钟 alone is a clock or a bell; phrases, listed names and a surname before a title keep 鍾.
INSTANTIATE_TEST_SUITE_P(
    ClocksAndSurnames, Readings,
    testing::Values(Reading{"墙钟时间", "牆鐘時間"}, Reading{"这个钟很准", "這個鐘很準"},
                    Reading{"这个钟头", "這個鐘頭"}, Reading{"见表上正是十二点钟", "見表上正是十二點鐘"},
                    Reading{"早退课一刻钟", "早退課一刻鐘"},
                    Reading{"这只钟不是爷爷买的", "這隻鐘不是爺爺買的"}, Reading{"语罢暮天钟", "語罷暮天鐘"},
                    Reading{"CMOS 时间钟", "CMOS 時間鐘"}, Reading{"钱钟书", "錢鍾書"},
                    Reading{"见伐于钟繇", "見伐於鍾繇"}, Reading{"钟先生说", "鍾先生說"},
                    Reading{"彩袖殷勤捧玉钟", "彩袖殷勤捧玉鍾"}, Reading{"一见钟情", "一見鍾情"},
                    Reading{"请个钟点工", "請個鐘點工"}));

// 干 is dry (乾) for clothes, kin by adoption and tears, done (幹) by someone, and "concern" (干)
// in none of one's business.
INSTANTIATE_TEST_SUITE_P(
    DryDoneOrConcern, Readings,
    testing::Values(Reading{"他正换干衣服", "他正換乾衣服"}, Reading{"认干亲戚", "認乾親戚"},
                    Reading{"双袖龙钟泪不干", "雙袖龍鍾淚不乾"}, Reading{"是我干的", "是我幹的"},
                    Reading{"你干的好事", "你幹的好事"}, Reading{"他们干的事", "他們幹的事"},
                    Reading{"从小不能干的", "從小不能幹的"}, Reading{"不干你们的事", "不干你們的事"},
                    Reading{"晒干的衣服", "曬乾的衣服"}, Reading{"衣服干了", "衣服乾了"}));

// 冲 is water poured (沖) in a shower, and rushing (衝) elsewhere.
INSTANTIATE_TEST_SUITE_P(Rinsed, Readings,
                         testing::Values(Reading{"冲个热水澡", "沖個熱水澡"},
                                         Reading{"冲完澡再睡", "沖完澡再睡"},
                                         Reading{"用水冲一下", "用水沖一下"}, Reading{"冲过去", "衝過去"},
                                         Reading{"冲个凉", "沖個涼"}, Reading{"冲上去", "衝上去"},
                                         Reading{"咖啡冲好了", "咖啡沖好了"}));

// A verb in its common sense where OpenCC's phrases read the rarer one: 刮 scrapes (颳 only with
// the wind), 挨 is suffered, 吊 hangs, 扎 pricks.
INSTANTIATE_TEST_SUITE_P(
    VerbSenses, Readings,
    testing::Values(Reading{"刮了胡子", "刮了鬍子"}, Reading{"刮去表面的锈", "刮去表面的鏽"},
                    Reading{"大风刮了三天", "大風颳了三天"}, Reading{"风刮得很大", "風颳得很大"},
                    Reading{"外面刮着大风", "外面颳著大風"}, Reading{"台风刮走了屋顶", "颱風颳走了屋頂"},
                    Reading{"他挨了一顿打", "他挨了一頓打"}, Reading{"他会吊在树上", "他會吊在樹上"},
                    Reading{"被针扎了一下", "被針扎了一下"}, Reading{"扎了个辫子", "紮了個辮子"}));

// Accounts are 帳 as Taiwan writes them, in phrases too; 对表 is "on the table".
INSTANTIATE_TEST_SUITE_P(
    Spellings, Readings,
    testing::Values(Reading{"注册账号", "註冊帳號"}, Reading{"银行账户", "銀行帳戶"},
                    Reading{"请到柜台结账", "請到櫃檯結帳"}, Reading{"帐号", "帳號"},
                    Reading{"无法对表的内容加锁", "無法對表的內容加鎖"}, Reading{"请看下表", "請看下表"},
                    Reading{"显示表结构", "顯示表結構"}, Reading{"对表格排序", "對表格排序"},
                    Reading{"27英寸显示器", "27英吋顯示器"}, Reading{"销毁数组", "銷毀數組"},
                    Reading{"启用粘滞键", "啟用黏滯鍵"}, Reading{"复制粘贴", "複製黏貼"},
                    Reading{"一寸光阴一寸金", "一寸光陰一寸金"}, Reading{"尺寸", "尺寸"}));

// 系 is tied (繫) after 我 and 你 too, against OpenCC's Cantonese 我系 (我係, I am).
INSTANTIATE_TEST_SUITE_P(Tied, Readings,
                         testing::Values(Reading{"我系好了鞋带", "我繫好了鞋帶"},
                                         Reading{"你系着围巾", "你繫著圍巾"}, Reading{"关系好", "關係好"},
                                         Reading{"我系统地学习", "我系統地學習"}));

// Text may be cut in front of any ASCII character but a space or a 'd' (what a count of weeks looks
// back over: 3 周, %d 周), or after a line break, and mapped piece by piece with the same result:
// lumo-convert streams that way.
TEST(EngineCuts, PiecesCutAtAsciiMapAsTheWholeText)
{
    const std::vector<std::string> pieces = {"被复制到", "头发", "生长", "执行复杂的", "一只只", "系统",
                                             "发布",     "理发", "了解", "干",         "只能"};
    std::mt19937 rng(936);
    std::string whole;
    std::vector<std::size_t> cuts;
    for (int k = 0; k < 20000; ++k) {
        whole += Ansi(pieces[rng() % pieces.size()]);
        if (rng() % 7 == 0) {
            cuts.push_back(whole.size());
            whole += rng() % 2 ? "\n" : "a";
        }
    }
    const std::string expected = Map(whole);
    std::string joined;
    std::size_t begin = 0;
    for (std::size_t k = 0; k <= cuts.size(); ++k) {
        const std::size_t end = k < cuts.size() ? cuts[k] : whole.size();
        if (rng() % 3 == 0 && k < cuts.size())
            continue; // not every possible cut
        joined += Map(whole.substr(begin, end - begin));
        begin = end;
    }
    ASSERT_EQ(joined.size(), expected.size());
    EXPECT_TRUE(joined == expected);
}

// Whether a number stands before 周 is read from the text given and nothing before it.
TEST(EngineCuts, NoNumberIsSeenBeforeTheText)
{
    const std::string text = Ansi("3周，３周");
    EXPECT_EQ(Utf8(Map(text)), "3週，３週");
    const std::size_t second = text.size() - 2;
    std::string out(2, ' ');
    TheEngine().Map(text.data() + 1, 2, out.data());
    EXPECT_EQ(Utf8(out), "周");
    TheEngine().Map(text.data() + second, 2, out.data());
    EXPECT_EQ(Utf8(out), "周");

    // The engine reads long text a window at a time; a digit at the end of one still counts.
    const std::string filler = Ansi("。");
    for (std::size_t count = 32760; count <= 32770; ++count) {
        std::string longText;
        for (std::size_t k = 0; k < count; ++k)
            longText += filler;
        const std::string mapped = Map(longText + Ansi("３周"));
        EXPECT_EQ(Utf8(mapped.substr(longText.size())), "３週") << count;
    }
}

// A run with no character that ends words is segmented kMaxRun characters at a time, counted
// from where it starts, so the result is the same whether or not it straddles the engine's own
// windows of text.
TEST(EngineCuts, LongRunsAreCutWhereverTheyStart)
{
    std::string run;
    while (run.size() < 5 * Engine::kMaxRun)
        run += Ansi("被复制到头发生长的系统");
    for (const std::string prefix : {"", "a", "ab\n", "abc"}) {
        const std::string text = prefix + run;
        const std::string mapped = Map(text);
        EXPECT_EQ(mapped.substr(0, prefix.size()), prefix);
        EXPECT_TRUE(mapped.substr(prefix.size()) == Map(run)) << "after '" << prefix << "'";
    }
    const std::vector<std::size_t> starts = TheEngine().WordStarts(run.data(), run.size());
    bool cutAtMax = false;
    for (std::size_t s : starts)
        cutAtMax = cutAtMax || s == 2 * Engine::kMaxRun; // two bytes a character
    EXPECT_TRUE(cutAtMax);
}

// The table is linked into the program; one that is damaged or of another version is refused
// with a reason instead of being read.
TEST(EngineTable, OnlyAWholeTableOfThisVersionIsRead)
{
    const std::span<const unsigned char> table = lumo::zhconv::CompiledTable();
    const std::size_t size = table.size();
    struct alignas(16) Block {
        unsigned char bytes[16];
    };
    std::vector<Block> storage(size / 16 + 2);
    auto *copy = storage.front().bytes;
    std::memcpy(copy, table.data(), size);
    Engine engine;
    std::string error;
    EXPECT_TRUE(engine.Open({copy, size}, error)) << error;

    EXPECT_FALSE(engine.Open({copy, size / 2}, error));
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    EXPECT_FALSE(engine.Open({copy, 12}, error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_FALSE(engine.Open({copy + 1, size}, error)); // not aligned: the table is read in place
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    copy[4] ^= 0x20; // another magic
    EXPECT_FALSE(engine.Open({copy, size}, error));
    EXPECT_NE(error.find("version"), std::string::npos) << error;
}

} // namespace
