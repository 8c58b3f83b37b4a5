# Third-party libraries, all from Debian packages (scripts/setup.sh installs them).
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
find_package(Qt6 6.2 REQUIRED COMPONENTS Core Gui Widgets Network Test)
find_package(ICU REQUIRED COMPONENTS uc i18n data)
find_package(PkgConfig REQUIRED)
# Debian's OpenCC 1.1.6 reports itself as 1.1.5 and ships no CMake package.
pkg_check_modules(OPENCC REQUIRED IMPORTED_TARGET opencc>=1.1.5)
pkg_get_variable(OPENCC_PREFIX opencc prefix)
set(LUMO_OPENCC_DATA_DIR "${OPENCC_PREFIX}/share/opencc" CACHE PATH "Where OpenCC's configurations and dictionaries are installed")
