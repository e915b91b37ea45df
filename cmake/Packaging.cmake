# Installation and the Debian package. The version comes from project() alone: the manual pages'
# .TH line, the AppStream release and the package take it from there. The date of that release
# is the date of the latest entry of resources/debian/changelog, whose version must be the same
# (scripts/package-check.sh fails otherwise).

set(PELKO_APPSTREAM_ID org.example.pelkoeditor)  # reverse-DNS; example.org is a placeholder
set(generated ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${generated})
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The latest changelog entry: "pelkoeditor (VERSION) ..." and " -- NAME <MAIL>  Mon, 07 Dec 2026 ...".
set(changelog ${PROJECT_SOURCE_DIR}/resources/debian/changelog)
file(STRINGS ${changelog} entry_line LIMIT_COUNT 1 REGEX "^${PELKO_PACKAGE} \\(")
file(STRINGS ${changelog} trailer LIMIT_COUNT 1 REGEX "^ -- ")
string(REGEX MATCH "\\(([^)]+)\\)" _ "${entry_line}")
set(PELKO_CHANGELOG_VERSION "${CMAKE_MATCH_1}")
if(NOT PELKO_CHANGELOG_VERSION STREQUAL PROJECT_VERSION)
  message(WARNING "resources/debian/changelog's latest entry is ${PELKO_CHANGELOG_VERSION}, "
                  "project() says ${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
endif()
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
string(REGEX MATCH ", ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) " _ "${trailer}")
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
list(FIND months "${CMAKE_MATCH_2}" month)
math(EXPR month "${month} + 1")
string(REGEX REPLACE "^([0-9])$" "0\\1" day "${day}")
string(REGEX REPLACE "^([0-9])$" "0\\1" month "${month}")
set(PELKO_RELEASE_DATE "${year}-${month}-${day}")

# Compressed with gzip -9n (no name, no time stamp), so that the package is reproducible.
function(pelko_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${generated}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${generated}/${name}.gz DESTINATION ${destination})
endfunction()

foreach(page pelkoEditor.1 pelkoTool.1)
  configure_file(resources/man/${page}.in ${generated}/${page} @ONLY)
  pelko_install_gzipped(${generated}/${page} ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${changelog} ${generated}/changelog COPYONLY)
pelko_install_gzipped(${generated}/changelog ${CMAKE_INSTALL_DOCDIR})
configure_file(resources/${PELKO_APPSTREAM_ID}.metainfo.xml.in ${generated}/${PELKO_APPSTREAM_ID}.metainfo.xml @ONLY)

install(TARGETS pelkoEditor pelkoTool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/pelkoEditor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/pelkoEditor.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${generated}/${PELKO_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY samples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/pelkoEditor/samples)
install(FILES resources/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The README with every picture it shows (![...](path)), at the same place relative to it.
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
file(STRINGS README.md readme_lines REGEX "!\\[[^]]*\\]\\(")
string(REGEX MATCHALL "!\\[[^]]*\\]\\([^):]+\\)" pictures "${readme_lines}")
foreach(picture IN LISTS pictures)
  string(REGEX REPLACE "^.*\\(([^)]+)\\)$" "\\1" picture "${picture}")
  get_filename_component(folder ${picture} DIRECTORY)
  install(FILES ${picture} DESTINATION ${CMAKE_INSTALL_DOCDIR}/${folder})
endforeach()

# The Debian package, for /usr: scripts/package-check.sh builds and checks it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PELKO_PACKAGE})
set(CPACK_PACKAGE_VENDOR "PelkoEditor team")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Grid editor for a strategy game's unit, building and projectile data files")
# Read here: CPACK_PACKAGE_DESCRIPTION_FILE would come out XML-escaped (&apos;).
file(READ resources/debian/description CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/debian/description)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "PelkoEditor team <pelkoeditor@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)  # an editor of game data, not a game
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)  # the window's font (src/editor/PlatformQt.cpp)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PELKO_STRIP ${CMAKE_STRIP})
set(CPACK_PELKO_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackStaging.cmake)  # checks the prefix, strips
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
include(CPack)
