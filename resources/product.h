#pragma once

// The product's names and addresses, in one place. The hosts are invented
// names under the reserved .example domain: they point at no real site.

namespace lumo::product {

/// The product name, as the version block and the desktop know it.
inline constexpr char16_t kProductName[] = u"Lumo个性繁体转换器";
/// The publisher, as the version block and the application object know it.
inline constexpr char16_t kOrganisationName[] = u"鹿鸣工作室";
/// The reverse-DNS application id: names the desktop entry, the AppStream metadata and the icon.
inline constexpr char kAppId[] = "example.lumo.Lumo";

/// The product's web domain, shown in window captions and the default text.
inline constexpr char16_t kWebDomain[] = u"www.lumo.example";

/// The advert page shown in the main window's web panel.
inline constexpr char kAdvertUrl[] = "https://www.lumo.example/gg/002/index.html?V=2.1";
/// The home page, opened by the "访问Lumo官方主页" link.
inline constexpr char kHomePageUrl[] = "https://www.lumo.example/";
/// The forum, opened by the "访问Lumo官方论坛" link.
inline constexpr char kForumUrl[] = "https://bbs.lumo.example/";

/// The download site named in the default text, its short name and the program's page there.
inline constexpr char16_t kDownloadSiteName[] = u"青柠软件园";
inline constexpr char16_t kDownloadSiteShortName[] = u"青柠";
inline constexpr char16_t kDownloadPageUrl[] = u"http://soft.qingning.example/lumo.html";

/// The author's signature at the foot of the default text.
inline constexpr char16_t kAuthorSignature[] = u"鹿鸣工作室";

} // namespace lumo::product
