#include "palettes/palette_layouts.h"
#include "platform/constant_text.h"
#include "resources/product.h"

namespace lumo::palettes {

namespace {
using platform::ControlDef;
using platform::WindowDef;
using enum platform::ControlType;

// Four characters, six blanks and a hyphen, then the domain.
constexpr std::u16string_view kCaptionParts[] = {u"表情选择      -", product::kWebDomain};
constexpr auto kCaption = platform::JoinText<platform::TotalLength(kCaptionParts)>(kCaptionParts);

// Every emoticon button inserts exactly its caption; the look-alikes (full-width
// hyphen, Greek omicron and omega, prime, wavy low line) are written as escapes.
// Tab order runs against the control numbers (33 minus the number). Command1 is
// the default button: Enter inserts its emoticon.
// clang-format off
constexpr ControlDef kControls[] = {
    // name        type    container caption                left   top  width height tab tool tip
    {"Frame1",    Frame,  "",       u"选择要插入的表情：",     60,   60, 3855, 4395,  0, u""},
    {"Command32", Button, "Frame1", u"关闭",                2400, 3720, 1215,  375,  1, u"可爱呦!"},
    {"Command1",  Button, "Frame1", u"~@^_^@~",          2400, 2520, 1215, 255, 32, u"", platform::DefaultButton},
    {"Command2",  Button, "Frame1", u"(^_^)∠※",          2400, 2160, 1215, 255, 31, u"送你一束花"},
    {"Command3",  Button, "Frame1", u"O_O",               240,  720,  855, 255, 30, u"吃惊"},
    {"Command4",  Button, "Frame1", u">o<",               240, 1080,  855, 255, 29, u"愤怒"},
    {"Command5",  Button, "Frame1", u"e_e",               240, 1440,  855, 255, 28, u"困，想睡觉"},
    {"Command6",  Button, "Frame1", u">_<",               240, 1800,  855, 255, 27, u"表示要发飚了，准备收拾人"},
    {"Command7",  Button, "Frame1", u"\uFF0DO\uFF0D",     240, 2160,  855, 255, 26, u"打呵欠"},
    {"Command8",  Button, "Frame1", u"^^v",               240, 2520,  855, 255, 25, u"成功了，高兴地笑"},
    {"Command9",  Button, "Frame1", u"^_^",               240, 2880,  855, 255, 24, u"快乐"},
    {"Command10", Button, "Frame1", u"@_@",               240, 3240,  855, 255, 23, u"晕。。"},
    {"Command11", Button, "Frame1", u"T_T",               240, 3600,  855, 255, 22, u"流泪"},
    {"Command12", Button, "Frame1", u"?_?",               240, 3960,  855, 255, 21, u"茫然，不明所以"},
    {"Command13", Button, "Frame1", u"$_$",               240,  360,  855, 255, 20, u"贪心"},
    {"Command14", Button, "Frame1", u"=_=",              1320,  360,  855, 255, 19, u"无奈"},
    {"Command15", Button, "Frame1", u"+_+",              1320,  720,  855, 255, 18, u"昏迷"},
    {"Command16", Button, "Frame1", u"→_→",              1320, 1440,  855, 255, 17, u"怀疑的眼神"},
    {"Command17", Button, "Frame1", u"〒_〒",              1320, 1800,  855, 255, 16, u" 鸣~~我在哭.."},  // leading blank
    {"Command18", Button, "Frame1", u"╰_╯",              1320, 2160,  855, 255, 15, u"发火了!! "},    // trailing blank
    {"Command19", Button, "Frame1", u"O_o",              1320, 2520,  855, 255, 14, u"惊讶"},
    {"Command20", Button, "Frame1", u"↖(^\u03C9^)↗",     2400, 3240, 1215, 255, 13, u"小猪为你打气!"},
    {"Command21", Button, "Frame1", u"╯-╰",              1320, 3240,  855, 255, 12, u"一脸苦瓜"},
    {"Command22", Button, "Frame1", u"ㄒoㄒ",              1320, 3600,  855, 255, 11, u"流泪中..."},
    {"Command23", Button, "Frame1", u"~_~",              1320, 3960,  855, 255, 10, u"生气"},
    {"Command24", Button, "Frame1", u"^_~",              1320, 1080,  855, 255,  9, u"俏皮地向对方眨眼睛"},
    {"Command25", Button, "Frame1", u"^\u03BF^",         1320, 2880,  855, 255,  8, u"呵呵"},
    {"Command26", Button, "Frame1", u"`(*^\uFE4F^*)\u2032", 2400, 2880, 1215, 255,  7, u"超级羞羞"},
    {"Command27", Button, "Frame1", u"(⊙o⊙)",            2400,  360, 1215, 255,  6, u"目瞪口呆"},
    {"Command28", Button, "Frame1", u"(-.-)=3",          2400,  720, 1215, 255,  5, u"松一口气~"},
    {"Command29", Button, "Frame1", u"#^_^#",            2400, 1080, 1215, 255,  4, u"脸红了!"},
    {"Command30", Button, "Frame1", u"∩__∩y",            2400, 1440, 1215, 255,  3, u"耶~~^^ (装可爱?!)"},
    {"Command31", Button, "Frame1", u"( *^_^* )",        2400, 1800, 1215, 255,  2, u"笑"},
};
// clang-format on

constexpr WindowDef kWindow{
    .caption = platform::TextView(kCaption),
    .clientWidth = 3990,
    .clientHeight = 4545,
    .placement = platform::Placement::Fixed,
    .left = 960,
    .top = 4275,
    .minimizeBox = false,
    .controls = kControls,
};
} // namespace

const platform::WindowDef &Form3Layout()
{
    return kWindow;
}

} // namespace lumo::palettes
