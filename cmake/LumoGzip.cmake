# lumo_gzip(<target> <source> <output>): compresses <source> into <output> at build time, as
# Debian wants manual pages and changelogs (gzip -9n: no name or time stamp, so the result is
# reproducible), built by the custom target <target> as part of `all`.
find_program(LUMO_GZIP gzip REQUIRED)
function(lumo_gzip target source output)
  add_custom_command(OUTPUT "${output}"
    COMMAND ${LUMO_GZIP} -9nc "${source}" > "${output}"
    DEPENDS "${source}" VERBATIM)
  add_custom_target(${target} ALL DEPENDS "${output}")
endfunction()
