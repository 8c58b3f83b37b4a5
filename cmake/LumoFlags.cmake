# Shared compiler settings: every target of ours links lumo_flags.
add_library(lumo_flags INTERFACE)
target_compile_features(lumo_flags INTERFACE cxx_std_20)
target_compile_options(lumo_flags INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough>)
target_compile_definitions(lumo_flags INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS)
target_include_directories(lumo_flags INTERFACE "${PROJECT_SOURCE_DIR}")

# Sanitizer builds: cmake -DLUMO_SANITIZE=address,undefined
set(LUMO_SANITIZE "" CACHE STRING "Comma-separated sanitizers for every target")
if(LUMO_SANITIZE)
  target_compile_options(lumo_flags INTERFACE -fsanitize=${LUMO_SANITIZE} -fno-sanitize-recover=all
    -fno-omit-frame-pointer)
  target_link_options(lumo_flags INTERFACE -fsanitize=${LUMO_SANITIZE})
endif()

# lumo_add_area_subdirectories(): adds every folder below the current one that has a
# CMakeLists.txt (tests/<area>/, bench/<area>/).
function(lumo_add_area_subdirectories)
  file(GLOB dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*")
  foreach(dir IN LISTS dirs)
    if(IS_DIRECTORY "${dir}" AND EXISTS "${dir}/CMakeLists.txt")
      add_subdirectory("${dir}")
    endif()
  endforeach()
endfunction()
