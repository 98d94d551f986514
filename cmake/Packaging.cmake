# What the installed program carries besides its binaries, and the Debian package:
#   cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF
#   cmake --build build-package -j2 && (cd build-package && cpack -G DEB)
# The package installs to /usr, so the build that makes it must be configured for /usr too: the
# man pages name the manual by its installed path.

# Debian wants a name and a mail address in the package's Maintainer field and its changelog. The
# project has no mail address, so whoever builds a package to hand on names themselves here; the
# default's reserved .invalid domain says that there is no one to write to.
set(WENDALE_PACKAGER "Wendale project <nobody@wendale.invalid>" CACHE STRING
  "Name <mail address> of whoever builds the Debian package")
set(WENDALE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/wendale)

# Debian's way of compressing: -9, and neither the file's name nor a time stamp inside, so that
# two builds of the same sources give the same file.
function(wendale_install_gzipped file destination)
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${file}.gz
    COMMAND gzip -9nkf ${file}
    DEPENDS ${file}
    VERBATIM)
  add_custom_target(gzip_${name} ALL DEPENDS ${file}.gz)
  install(FILES ${file}.gz DESTINATION ${destination})
endfunction()

# dist/NAME.SECTION.in, filled in with the version and the install paths.
function(wendale_install_man_page source)
  get_filename_component(page ${source} NAME_WLE)
  get_filename_component(section ${page} LAST_EXT)
  string(SUBSTRING ${section} 1 -1 section)
  configure_file(${source} ${CMAKE_CURRENT_BINARY_DIR}/${page} @ONLY)
  wendale_install_gzipped(${CMAKE_CURRENT_BINARY_DIR}/${page} ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()

install(FILES ${PROJECT_SOURCE_DIR}/dist/copyright DESTINATION ${WENDALE_DOC_DIR})

# The version carries no Debian revision (the project packages itself), so Debian reads the
# changelog from changelog.gz. Its date honours SOURCE_DATE_EPOCH.
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/changelog CONTENT
"wendale (${PROJECT_VERSION}) unstable; urgency=medium

  * Wendale ${PROJECT_VERSION}.

 -- ${WENDALE_PACKAGER}  ${changelog_date}
")
wendale_install_gzipped(${PROJECT_BINARY_DIR}/changelog ${WENDALE_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wendale)
set(CPACK_PACKAGE_VENDOR "Wendale project")
set(CPACK_PACKAGE_CONTACT ${WENDALE_PACKAGER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watch and drive serial (RS-232) ports")
set(CPACK_PACKAGE_DESCRIPTION
"Wendale shows every byte received on a serial port as binary, hex or
characters, a chosen number to a line with tick stamps, and sends typed data
as hex, decimal, binary or text. DTR and RTS can be driven and CTS, DSR, RI
and DCD watched. Ports may also be remote, behind an RFC 2217 or raw TCP
network serial server.

Fixed device profiles connect an IRMan infrared receiver, a Creative infrared
adapter, a GSM data terminal and an X10 CM11/CM12 power-line interface;
Transparent relays every byte between two ports while showing each direction.

The package also holds wendale-devsim, which plays these devices on
pseudo-terminals so that the program can be tried without hardware.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageFolderModes.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt and C++ libraries are found by dpkg-shlibdeps (package dpkg-dev); the fixed-pitch font
# of the received-data view is not a library.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
