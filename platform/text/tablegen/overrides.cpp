#include "platform/text/tablegen/tablebuilder.h"

// Our own rows, consulted before OpenCC's dictionaries. Every row keeps the length of its key.
//
// Rows without a value are words that OpenCC already reads right on their own, but that a greedy
// phrase in front of them swallows the first character of: 被发明 is read 被发|明 (被髮明) because
// 被发 is a phrase. Listing 发明 lets the segmentation weigh 被|发明 against 被发|明; see
// platform/text/scriptengine.cpp for how it decides.

namespace lumo::platform::detail {

// clang-format off
static constexpr OverrideRow kOverrideRows[] = {
    // 发 read 發, after phrases that read it 髮 (被发, 头发, 丝发 ...).
    {"发明", nullptr}, {"发生", nullptr}, {"发布", nullptr}, {"发展", nullptr}, {"发现", nullptr},
    {"发表", nullptr}, {"发出", nullptr}, {"发送", nullptr}, {"发给", nullptr}, {"发动", nullptr},
    {"发掘", nullptr}, {"发觉", nullptr}, {"发射", nullptr}, {"发放", nullptr}, {"发起", nullptr},
    {"发配", nullptr}, {"发行", nullptr}, {"发言", nullptr}, {"发挥", nullptr}, {"发达", nullptr},
    {"发烧", nullptr}, {"发热", nullptr}, {"发音", nullptr}, {"发电", nullptr}, {"发育", nullptr},
    {"发酵", nullptr}, {"发扬", nullptr}, {"发誓", nullptr}, {"发票", nullptr}, {"发货", nullptr},
    {"发财", nullptr}, {"发抖", nullptr}, {"发呆", nullptr}, {"发愁", nullptr}, {"发怒", nullptr},
    {"发作", nullptr}, {"发疯", nullptr},
    // 制 read 製, after phrases that read it 制 (参与制, 自制 ...). Not 制成: 多党制成为.
    {"制造", nullptr}, {"制作", nullptr},
    // 只 read 只 after 这 and 那, which OpenCC reads as 这只 (這隻); numerals keep 隻 (一只能).
    // Not 只好: 这只好可爱 is as common as 那只好作罢.
    {"只能", nullptr},
    // The measure word repeated: 一只只 (one after another).
    {"一只只", "一隻隻"},
    // Words ending in 头 or 丝 that are not hair (头发, 丝发): 前头发生, 粉丝发布.
    {"前头", nullptr}, {"里头", nullptr}, {"外头", nullptr}, {"上头", nullptr}, {"后头", nullptr},
    {"粉丝", nullptr},
    // 冲 read 沖 (pour water on), not 衝 (rush).
    {"冲咖啡", "沖咖啡"}, {"冲奶粉", "沖奶粉"}, {"冲牛奶", "沖牛奶"}, {"冲奶茶", "沖奶茶"},
    {"冲麦片", "沖麥片"}, {"冲豆浆", "沖豆漿"}, {"冲蜂蜜", "沖蜂蜜"}, {"冲一杯", "沖一杯"},
    {"冲了一杯", "沖了一杯"}, {"冲杯", "沖杯"}, {"冲个澡", "沖個澡"}, {"冲马桶", "沖馬桶"},
    {"冲药", "沖藥"}, {"冲调", "沖調"},
    // 干 read 乾 (dry) after things that get dry; OpenCC reads 干了 as 幹了 (did).
    {"衣服干", "衣服乾"}, {"头发干", "頭髮乾"}, {"面条干", "麵條乾"}, {"鞋子干", "鞋子乾"},
    {"裤子干", "褲子乾"}, {"被子干", "被子乾"}, {"毛巾干", "毛巾乾"}, {"袜子干", "襪子乾"},
    {"墙壁干", "牆壁乾"}, {"油漆干", "油漆乾"}, {"颜料干", "顏料乾"}, {"嘴唇干", "嘴唇乾"},
    {"皮肤干", "皮膚乾"}, {"嗓子干", "嗓子乾"}, {"喉咙干", "喉嚨乾"}, {"眼睛干", "眼睛乾"},
    {"地面干", "地面乾"},
};

// Characters that stand alone as words before another word (function words, pronouns). A split
// that leaves one of these on its own is as good as the greedy reading; see
// platform/text/scriptengine.cpp.
// Numerals and 每, 各, 某 are not among them: before 只 they make it a measure word (每只能).
static constexpr const char *kFreeCharacters =
    "被把将让叫使给对向在从又再也都就才还已不没很太最更是有和与及或而但却"
    "这那哪我你他她它谁";
// clang-format on

std::vector<OverrideRow> OverrideRows()
{
    return {std::begin(kOverrideRows), std::end(kOverrideRows)};
}

const char *FreeCharacters()
{
    return kFreeCharacters;
}

} // namespace lumo::platform::detail
