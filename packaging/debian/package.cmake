# The Debian package (cpack -G DEB in a build configured with
# -DKELWYRM_DEBIAN_PACKAGE=ON): Debian's copyright file, changelog and
# lintian override besides what every install holds, and the package's
# control fields.

set(KELWYRM_MAINTAINER "The Kelwyrm developers <kelwyrm@example.org>" CACHE STRING
    "The Debian package's maintainer, \"Name <address>\": set your own")

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/kelwyrm)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nkf changelog
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
install(FILES debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${doc_dir})
install(FILES debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME kelwyrm)

# The sound font patches.dat is made from, by its Debian package, if it
# comes from one.
execute_process(COMMAND dpkg-query -S ${SOUNDFONT}
                OUTPUT_VARIABLE font_owner OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
string(REGEX REPLACE ":.*" "" font_package "${font_owner}")
if(font_package)
  execute_process(COMMAND dpkg-query -W "-f=\${source:Package} (= \${source:Version})" ${font_package}
                  OUTPUT_VARIABLE CPACK_KELWYRM_BUILT_USING COMMAND_ERROR_IS_FATAL ANY)
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/debian/built-using.cmake)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_CONTACT "${KELWYRM_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# dpkg-shlibdeps finds the libraries the programs link (liballegro4.4 and
# the C++ runtime); message boxes need xmessage, which they can do without.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS x11-utils)
set(CPACK_STRIP_FILES ON)
