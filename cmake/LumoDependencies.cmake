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

# The conversion's data: the packages pinned in zhconv/chain.lock, fetched and checked by
# scripts/fetch-data.sh into a cache outside the source tree, every file checked again here.
if(DEFINED ENV{LUMO_CACHE_DIR})
  set(lumo_cache "$ENV{LUMO_CACHE_DIR}")
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(lumo_cache "$ENV{XDG_CACHE_HOME}/lumo")
else()
  set(lumo_cache "$ENV{HOME}/.cache/lumo")
endif()
set(LUMO_DATA_DIR "${lumo_cache}" CACHE PATH "The conversion's data, as scripts/fetch-data.sh leaves it")
set(LUMO_CHAIN "${PROJECT_SOURCE_DIR}/zhconv/chain.lock")
include(VerifyChainData)
lumo_read_chain("${LUMO_CHAIN}" LUMO_CHAIN)
set(lumo_integrity_files)
foreach(name IN LISTS LUMO_CHAIN_PACKAGES)
  set(dir "${LUMO_DATA_DIR}/${name}-${LUMO_CHAIN_${name}_VERSION}")
  set(integrity)
  if(EXISTS "${dir}/integrity")
    file(STRINGS "${dir}/integrity" integrity LIMIT_COUNT 1)
  endif()
  if(NOT integrity STREQUAL LUMO_CHAIN_${name}_INTEGRITY)
    message(FATAL_ERROR "npm package ${name}@${LUMO_CHAIN_${name}_VERSION} is not in ${dir}, or not the "
      "pinned one: run scripts/fetch-data.sh (scripts/setup.sh does).")
  endif()
  list(APPEND lumo_integrity_files "${dir}/integrity")
endforeach()
lumo_verify_chain_data("${LUMO_CHAIN}" "${LUMO_DATA_DIR}")
# Every file of the chain, for the table's dependencies.
set(LUMO_CHAIN_DATA_FILES)
foreach(entry IN LISTS LUMO_CHAIN_FILES)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 1 name)
  list(GET fields 2 path)
  list(APPEND LUMO_CHAIN_DATA_FILES "${LUMO_DATA_DIR}/${name}-${LUMO_CHAIN_${name}_VERSION}/package/${path}")
endforeach()
set(LUMO_OPENCC_VERSION "${LUMO_CHAIN_opencc_VERSION}")
# Re-run the configure step when the chain or the fetched data changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${LUMO_CHAIN}" ${lumo_integrity_files})
