# Run by CPack on its staging folder before it makes the package.

# The programs know they are installed by the bindir they were configured for
# (src/files/CMakeLists.txt): a package for /usr needs a build for /usr.
if(NOT CPACK_PELKO_INSTALL_PREFIX STREQUAL CPACK_PACKAGING_INSTALL_PREFIX)
  message(FATAL_ERROR "this build is configured for ${CPACK_PELKO_INSTALL_PREFIX}, the package installs into "
                      "${CPACK_PACKAGING_INSTALL_PREFIX}: configure with -DCMAKE_INSTALL_PREFIX="
                      "${CPACK_PACKAGING_INSTALL_PREFIX} (scripts/package-check.sh does)")
endif()

# The programs are stripped as dh_strip strips them: no symbols, no debugging information, no
# .comment section.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*")
if(NOT programs)
  message(FATAL_ERROR "no programs to strip in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND ${CPACK_PELKO_STRIP} --remove-section=.comment --remove-section=.note ${program}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
