#include "palettes/main_symbols.h"

namespace lumo::palettes {

namespace {

using platform::ControlDef;
using platform::ControlType;

constexpr ControlType B = ControlType::Button;

// Three of the symbols are GBK extension codes that the Windows code page maps into the
// Private Use Area (A994, FE5D, FE5E); Command11 inserts the control character SO.
// clang-format off
constexpr ControlDef kSymbols[] = {
    // name        type container caption          left  top   width height tab
    {"Command5",  B, "Frame3", u"\uE823",        1560,  240, 255, 255, 10},
    {"Command6",  B, "Frame3", u"\u30FE",        1080,  240, 255, 255, 11}, // ヾ
    {"Command7",  B, "Frame3", u"\uFE35",         600,  960, 255, 255, 12}, // ︵
    {"Command8",  B, "Frame3", u"\u4E44",         600, 1320, 255, 255, 13}, // 乄
    {"Command9",  B, "Frame3", u"\u3117s",       1080, 3120, 735, 255, 14}, // ㄗs
    {"Command11", B, "Frame3", u"\u000E",         120, 2040, 255, 255, 15},
    {"Command12", B, "Frame3", u"\u00A4",         120, 2400, 255, 255, 16}, // ¤
    {"Command13", B, "Frame3", u"\u309E",        1080,  600, 255, 255, 27}, // ゞ
    {"Command14", B, "Frame3", u"\uFE4E",         120,  600, 255, 255, 17}, // ﹎
    {"Command15", B, "Frame3", u"\uE7F2",         600,  600, 255, 255, 18},
    {"Command17", B, "Frame3", u"\u00A7",         120, 1320, 255, 255, 20}, // §
    {"Command18", B, "Frame3", u"\u306E",         600, 1680, 255, 255, 21}, // の
    {"Command19", B, "Frame3", u"\u2121",         600, 2040, 255, 255, 22}, // ℡
    {"Command20", B, "Frame3", u"\u2116",         600, 2400, 255, 255, 23}, // №
    {"Command21", B, "Frame3", u"\u706C",        1560,  600, 255, 255, 28}, // 灬
    {"Command23", B, "Frame3", u"\u203B",         600, 2760, 255, 255, 25}, // ※
    {"Command24", B, "Frame3", u"\uFFE1",         120, 2760, 255, 255, 26}, // ￡ (full-width)
    {"Command25", B, "Frame3", u"\uFE56",         120,  240, 255, 255, 29}, // ﹖
    {"Command26", B, "Frame3", u"\uE822",         600,  240, 255, 255, 30},
    {"Command27", B, "Frame3", u"\u2642",        1080,  960, 255, 255, 31}, // ♂
    {"Command28", B, "Frame3", u"\u2640",        1560,  960, 255, 255, 32}, // ♀
    {"Command29", B, "Frame3", u"\u300E",        1080, 1320, 255, 255, 33}, // 『
    {"Command30", B, "Frame3", u"\u300F",        1560, 1320, 255, 255, 34}, // 』
    {"Command31", B, "Frame3", u"\u226E",        1080, 1680, 255, 255, 35}, // ≮
    {"Command32", B, "Frame3", u"\u226F",        1560, 1680, 255, 255, 36}, // ≯
    {"Command33", B, "Frame3", u"\u221A",        1080, 2040, 255, 255, 37}, // √
    {"Command34", B, "Frame3", u"\uFFE0",        1560, 2040, 255, 255, 38}, // ￠ (full-width)
    {"Command35", B, "Frame3", u"\u2103",        1080, 2400, 255, 255, 39}, // ℃
    {"Command36", B, "Frame3", u"\u2211",        1560, 2400, 255, 255, 40}, // ∑
    {"Command37", B, "Frame3", u"\u2260",        1080, 2760, 255, 255, 41}, // ≠
    {"Command38", B, "Frame3", u"\u2235",        1560, 2760, 255, 255, 42}, // ∵
    {"Command39", B, "Frame3", u"\u2606",         120, 3120, 255, 255, 43}, // ☆
    {"Command40", B, "Frame3", u"\u2605",         600, 3120, 255, 255, 44}, // ★
    {"Command41", B, "Frame3", u"\uFFE1",         120,  960, 255, 255, 45}, // ￡ (full-width)
    {"Command42", B, "Frame3", u"\u221E",         120, 1680, 255, 255, 46}, // ∞
};
// clang-format on

} // namespace

std::span<const ControlDef> MainWindowSymbols()
{
    return kSymbols;
}

} // namespace lumo::palettes
