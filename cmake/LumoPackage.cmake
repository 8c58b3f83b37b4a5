# The Debian package, made by CPack from the install rules: `cpack -G DEB` in a build directory
# (scripts/package.sh does it in a Release build with Debian's hardening flags).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumo)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Lumo Studio")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lumo Studio <packages@lumo.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.lumo.example/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turn Simplified Chinese into eye-catching Traditional Chinese")
# The extended description, one paragraph in lines under 80 columns; CPack indents it.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Paste Simplified Chinese into one big text box and press one button: the"
  "text becomes Traditional Chinese, common characters and the digits are"
  "swapped for rare look-alikes (unless you switch that off), and the result"
  "is on the clipboard, ready for a chat signature. Symbol buttons and two"
  "palettes, one of symbols and one of text emoticons, insert decorative"
  "strings at the caret. The command-line tool lumo-convert converts files"
  "the same way.")
# Libraries come from dpkg-shlibdeps. Qt loads its platform plugins at run time, so no library
# pulls them in: the X11 one (qt6-qpa-plugins) and the Wayland one.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
# Fonts with a glyph for every character of the symbol and look-alike tables; AR PL UMing is the
# one with code page 936's private-use symbols (U+E7EC, U+E7EE, U+E7F2, U+E822, U+E823, U+E83A).
# Qt 6 talks to ibus by itself (libqt6gui6), to fcitx5 only through its front end. The front
# end is a small Qt plugin and brings no input method; the input methods themselves stay the
# user's choice, so they are only suggested.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, fonts-arphic-uming, fcitx5-frontend-qt6")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fcitx5-pinyin | ibus-libpinyin")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Debian packages carry no compiler .comment section (lintian notes it otherwise).
set(CPACK_LUMO_OBJCOPY "${CMAKE_OBJCOPY}")
set(CPACK_LUMO_MODULE_DIR "${LUMO_MODULE_DIR}")
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/LumoStripComment.cmake")
include(CPack)
