#include "app/form1.h"
#include "palettes/main_symbols.h"
#include "platform/constant_text.h"
#include "resources/product.h"

#include <array>
#include <string_view>
#include <vector>

namespace lumo::app {

namespace {

using platform::ControlDef;
using platform::ControlType;
using platform::JoinText;
using platform::TextView;
using platform::TotalLength;
using namespace std::string_view_literals;

template <std::size_t N> constexpr std::array<char16_t, N> Repeated(char16_t c)
{
    std::array<char16_t, N> text{};
    text.fill(c);
    return text;
}

constexpr auto kSignatureIndent = Repeated<34>(u' ');
constexpr auto kRule = Repeated<36>(u'-');
constexpr std::u16string_view kCrLf = u"\r\n";

// clang-format off
// The window caption ends with the product's web domain.
constexpr std::u16string_view kCaptionParts[] = {
    u"\u201CLumo\u201DQQ个性繁体签名制作工具 V2.5 - ", product::kWebDomain,
};
constexpr auto kCaption = JoinText<TotalLength(kCaptionParts)>(kCaptionParts);

// The default text of Text1: 13 lines, each ending in CR LF.
constexpr std::u16string_view kDefaultTextParts[] = {
    u"请输入要转换的内容。     个性字库版本\uFF1AV1.5", kCrLf,
    kCrLf,
    TextView(kRule), kCrLf,
    u"欢迎使用\u201CLumo\u201DQQ个性繁体签名制作工具 V2.5!", kCrLf,
    kCrLf,
    u"请在\u201C", product::kDownloadSiteName, u"\u201D或\u201C", product::kWebDomain, u"\u201D下载本程序.", kCrLf,
    u"如在其他网站下载到本程序均属转载!不能保证是否被", kCrLf,
    u"捆绑木马程序!为确保您的安全,请从正规渠道下载和", kCrLf,
    u"获取本程序的最新版本.", kCrLf,
    product::kDownloadSiteShortName, u":", product::kDownloadPageUrl, u"   ", kCrLf,
    kCrLf,
    TextView(kSignatureIndent), product::kAuthorSignature, u" ", kCrLf,
    TextView(kSignatureIndent), u"2007.07.19 ", kCrLf,
};
// clang-format on
constexpr auto kDefaultText = JoinText<TotalLength(kDefaultTextParts)>(kDefaultTextParts);

constexpr ControlType Frame = ControlType::Frame;
constexpr ControlType TextBox = ControlType::TextBox;
constexpr ControlType Button = ControlType::Button;
constexpr ControlType CheckBox = ControlType::CheckBox;
constexpr ControlType Label = ControlType::Label;
constexpr ControlType WebPanel = ControlType::WebPanel;
using enum platform::ControlFlag;

// The main window's own controls; the symbol buttons of Frame3 come from the symbol table.
// clang-format off
constexpr ControlDef kControls[] = {
    // name          type      container  caption                 left  top   width height tab tool tip                                  flags      accessible name
    {"Frame1",      Frame,    "",        u"转换内容\uFF1A",        60,   60, 4815, 2835,  0, u""},
    {"Text1",       TextBox,  "Frame1",  TextView(kDefaultText),   120,  240, 4575, 2055,  1, u"",                                       MultiLine | VerticalScroll},
    {"Command1",    Button,   "Frame1",  u"转为繁体&F",            120, 2400, 1455,  350,  2, u"快捷键\u201CAlt + F\u201D"},
    {"Command4",    Button,   "Frame1",  u"复制&C",               3240, 2400,  735,  350,  3, u"快捷键\u201CAlt + C\u201D"},
    {"Command3",    Button,   "Frame1",  u"清空&X",               4080, 2400,  615,  350,  4, u"快捷键\u201CAlt + X\u201D"},
    {"Text2",       TextBox,  "Frame1",  u"Text2",                4680, 3120,  180,  270,  5, u"",                                       Invisible, u"首次提示标志"},
    {"Label3",      Label,    "",        u"访问Lumo官方论坛",       600, 3855, 1455,  255,  7, u"立即访问Lumo官方论坛",                     LinkLabel},
    {"Frame3",      Frame,    "",        u"快速插入",              4920,   60, 1935, 3900,  8, u""},
    {"WebBrowser1", WebPanel, "",        u"",                       60, 2950, 4815,  870,  9, u"",                                       NoFlags,   u"广告内容"},
    {"Command16",   Button,   "Frame3",  u"表情",                  120, 3440,  735,  375, 19, u""},
    {"Command22",   Button,   "Frame3",  u"更多",                 1080, 3440,  735,  375, 24, u""},
    {"Check1",      CheckBox, "Frame1",  u"禁用个性字转换",        1630, 2400, 1575,  375, 47, u"只转换为纯繁体,关闭个性繁体转换."},
    {"Label1",      Label,    "",        u"访问Lumo官方主页",      2880, 3840, 1575,  255, 48, u"立即访问Lumo官方主页",                     LinkLabel},
};
// clang-format on

} // namespace

std::u16string_view Form1DefaultText()
{
    return TextView(kDefaultText);
}

const platform::WindowDef &Form1Definition()
{
    static const std::vector<ControlDef> controls = [] {
        std::vector<ControlDef> all(std::begin(kControls), std::end(kControls));
        const auto symbols = palettes::MainWindowSymbols();
        all.insert(all.end(), symbols.begin(), symbols.end());
        return all;
    }();
    static const platform::WindowDef definition{
        .caption = TextView(kCaption),
        .clientWidth = 6900,
        .clientHeight = 4065,
        .placement = platform::Placement::CentreScreen,
        .minimizeBox = true,
        .controls = controls,
    };
    return definition;
}

} // namespace lumo::app
