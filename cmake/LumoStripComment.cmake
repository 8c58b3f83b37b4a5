# Run by CPack on its staging folder before it packs (CPACK_PRE_BUILD_SCRIPTS): removes the
# compiler's .comment section from the programs and the network module, as Debian's own packaging
# (dh_strip) does.
set(staged "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(GLOB programs "${staged}/bin/*" "${staged}/${CPACK_LUMO_MODULE_DIR}/*.so")
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_LUMO_OBJCOPY}" --remove-section=.comment "${program}"
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objcopy could not remove .comment from ${program}")
  endif()
endforeach()
