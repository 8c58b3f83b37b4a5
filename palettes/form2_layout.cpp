#include "palettes/palette_layouts.h"
#include "platform/constant_text.h"
#include "resources/product.h"

namespace lumo::palettes {

namespace {
using platform::ControlDef;
using platform::WindowDef;
using enum platform::ControlType;

constexpr std::u16string_view kCaptionParts[] = {u"特殊符号表 - ", product::kWebDomain};
constexpr auto kCaption = platform::JoinText<platform::TotalLength(kCaptionParts)>(kCaptionParts);

// Every symbol button inserts exactly its caption. Left block (columns at 240,
// 720, 1200) filled column by column, right block (1680, 2160, 2640) row by
// row; the tab index is the control number.
// clang-format off
constexpr ControlDef kControls[] = {
    // name        type    container caption     left   top  width height tab tool tip
    {"Frame1",    Frame,  "",       u"选择要插入的符号：", 60, 60, 3135, 4455, 0, u""},
    {"Command1",  Button, "Frame1", u"关闭",    1800, 3720, 1095, 375,  1, u""},
    {"Command2",  Button, "Frame1", u"〣",       240,  360, 255, 255,  2, u""},  // U+3023
    {"Command3",  Button, "Frame1", u"℅",       240,  720, 255, 255,  3, u""},  // U+2105
    {"Command4",  Button, "Frame1", u"\uE7EE",  240, 1080, 255, 255,  4, u""},  // U+E7EE
    {"Command5",  Button, "Frame1", u"◇",       240, 1440, 255, 255,  5, u""},  // U+25C7
    {"Command6",  Button, "Frame1", u"\u0398",  240, 1800, 255, 255,  6, u""},  // U+0398
    {"Command7",  Button, "Frame1", u"\uE83A",  240, 2160, 255, 255,  7, u""},  // U+E83A
    {"Command8",  Button, "Frame1", u"\u0010",  240, 2520, 255, 255,  8, u""},  // U+0010
    {"Command9",  Button, "Frame1", u"\uE7EC",  240, 2880, 255, 255,  9, u""},  // U+E7EC
    {"Command10", Button, "Frame1", u"━",       240, 3240, 255, 255, 10, u""},  // U+2501
    {"Command11", Button, "Frame1", u"卐",       240, 3600, 255, 255, 11, u""},  // U+5350
    {"Command12", Button, "Frame1", u"°",       240, 3960, 255, 255, 12, u""},  // U+00B0
    {"Command13", Button, "Frame1", u"ぐ",       720,  360, 255, 255, 13, u""},  // U+3050
    {"Command14", Button, "Frame1", u"\u042A",  720,  720, 255, 255, 14, u""},  // U+042A
    {"Command15", Button, "Frame1", u"┳",       720, 1080, 255, 255, 15, u""},  // U+2533
    {"Command16", Button, "Frame1", u"㊣",       720, 1440, 255, 255, 16, u""},  // U+32A3
    {"Command17", Button, "Frame1", u"㈱",       720, 1800, 255, 255, 17, u""},  // U+3231
    {"Command18", Button, "Frame1", u"〥",       720, 2160, 255, 255, 18, u""},  // U+3025
    {"Command19", Button, "Frame1", u"〤",       720, 2520, 255, 255, 19, u""},  // U+3024
    {"Command20", Button, "Frame1", u"〢",       720, 2880, 255, 255, 20, u""},  // U+3022
    {"Command21", Button, "Frame1", u"〦",       720, 3240, 255, 255, 21, u""},  // U+3026
    {"Command22", Button, "Frame1", u"〧",       720, 3600, 255, 255, 22, u""},  // U+3027
    {"Command23", Button, "Frame1", u"〨",       720, 3960, 255, 255, 23, u""},  // U+3028
    {"Command24", Button, "Frame1", u"〩",      1200,  360, 255, 255, 24, u""},  // U+3029
    {"Command25", Button, "Frame1", u"\uFE49", 1200,  720, 255, 255, 25, u""},  // U+FE49
    {"Command26", Button, "Frame1", u"\uFE4A", 1200, 1080, 255, 255, 26, u""},  // U+FE4A
    {"Command27", Button, "Frame1", u"\uFE4B", 1200, 1440, 255, 255, 27, u""},  // U+FE4B
    {"Command28", Button, "Frame1", u"\uFE4C", 1200, 1800, 255, 255, 28, u""},  // U+FE4C
    {"Command29", Button, "Frame1", u"\uFE3D", 1200, 2160, 255, 255, 29, u""},  // U+FE3D
    {"Command30", Button, "Frame1", u"\uFE3E", 1200, 2520, 255, 255, 30, u""},  // U+FE3E
    {"Command31", Button, "Frame1", u"\uFE3F", 1200, 2880, 255, 255, 31, u""},  // U+FE3F
    {"Command32", Button, "Frame1", u"\uFE40", 1200, 3240, 255, 255, 32, u""},  // U+FE40
    {"Command33", Button, "Frame1", u"╥",      1200, 3600, 255, 255, 33, u""},  // U+2565
    {"Command34", Button, "Frame1", u"▓",      1200, 3960, 255, 255, 34, u""},  // U+2593
    {"Command35", Button, "Frame1", u"◎",      1680,  360, 255, 255, 35, u""},  // U+25CE
    {"Command36", Button, "Frame1", u"∪",      2160,  360, 255, 255, 36, u""},  // U+222A
    {"Command37", Button, "Frame1", u"①",      2640,  360, 255, 255, 37, u""},  // U+2460
    {"Command38", Button, "Frame1", u"\u03A8", 1680,  720, 255, 255, 38, u""},  // U+03A8
    {"Command39", Button, "Frame1", u"∩",      2160,  720, 255, 255, 39, u""},  // U+2229
    {"Command40", Button, "Frame1", u"②",      2640,  720, 255, 255, 40, u""},  // U+2461
    {"Command41", Button, "Frame1", u"⊙",      1680, 1080, 255, 255, 41, u""},  // U+2299
    {"Command42", Button, "Frame1", u"∈",      2160, 1080, 255, 255, 42, u""},  // U+2208
    {"Command43", Button, "Frame1", u"③",      2640, 1080, 255, 255, 43, u""},  // U+2462
    {"Command44", Button, "Frame1", u"∷",      1680, 1440, 255, 255, 44, u""},  // U+2237
    {"Command45", Button, "Frame1", u"↑",      2160, 1440, 255, 255, 45, u""},  // U+2191
    {"Command46", Button, "Frame1", u"④",      2640, 1440, 255, 255, 46, u""},  // U+2463
    {"Command47", Button, "Frame1", u"じ",      1680, 1800, 255, 255, 47, u""},  // U+3058
    {"Command48", Button, "Frame1", u"↓",      2160, 1800, 255, 255, 48, u""},  // U+2193
    {"Command49", Button, "Frame1", u"⑤",      2640, 1800, 255, 255, 49, u""},  // U+2464
    {"Command50", Button, "Frame1", u"ぁ",      1680, 2160, 255, 255, 50, u""},  // U+3041
    {"Command51", Button, "Frame1", u"←",      2160, 2160, 255, 255, 51, u""},  // U+2190
    {"Command52", Button, "Frame1", u"⑥",      2640, 2160, 255, 255, 52, u""},  // U+2465
    {"Command53", Button, "Frame1", u"々",      1680, 2520, 255, 255, 53, u""},  // U+3005
    {"Command54", Button, "Frame1", u"→",      2160, 2520, 255, 255, 54, u""},  // U+2192
    {"Command55", Button, "Frame1", u"⑦",      2640, 2520, 255, 255, 55, u""},  // U+2466
    {"Command56", Button, "Frame1", u"ぷ",      1680, 2880, 255, 255, 56, u""},  // U+3077
    {"Command57", Button, "Frame1", u"↘",      2160, 2880, 255, 255, 57, u""},  // U+2198
    {"Command58", Button, "Frame1", u"⑧",      2640, 2880, 255, 255, 58, u""},  // U+2467
    {"Command59", Button, "Frame1", u"ぃ",      1680, 3240, 255, 255, 59, u""},  // U+3043
    {"Command60", Button, "Frame1", u"↙",      2160, 3240, 255, 255, 60, u""},  // U+2199
    {"Command61", Button, "Frame1", u"⑨",      2640, 3240, 255, 255, 61, u""},  // U+2468
};
// clang-format on

constexpr WindowDef kWindow{
    .caption = platform::TextView(kCaption),
    .clientWidth = 3345,
    .clientHeight = 4590,
    .placement = platform::Placement::Fixed,
    .left = 12780,
    .top = 4275,
    .minimizeBox = false,
    .controls = kControls,
};
} // namespace

const platform::WindowDef &Form2Layout()
{
    return kWindow;
}

} // namespace lumo::palettes
