# The Debian package, made by CPack from the install rules (scripts/package runs it).
# ZERVA_DEBIAN_PACKAGE adds what Debian wants in /usr/share/doc/zerva (the licence in the
# machine-readable copyright format instead of a plain LICENSE, and a changelog) and the marker
# that hands updates to the package manager.
include(GNUInstallDirs)

option(ZERVA_DEBIAN_PACKAGE "Install Debian's copyright and changelog files instead of LICENSE"
  OFF)
set(ZERVA_MAINTAINER "The zerva developers <developers@zerva.org>" CACHE STRING
  "Maintainer named in the package and its changelog")
set(ZERVA_DEBIAN_REVISION 1)
set(ZERVA_DEBIAN_VERSION ${PROJECT_VERSION}-${ZERVA_DEBIAN_REVISION})

if(ZERVA_DEBIAN_PACKAGE)
  set(debian_dir ${CMAKE_BINARY_DIR}/debian)
  file(MAKE_DIRECTORY ${debian_dir})

  # copyright: the MIT text of LICENSE, one space in front of each line and " ." for an empty one.
  # The title and the copyright line are left out: the fields above the text state them.
  file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence_body)
  string(REGEX REPLACE "^MIT License\n+Copyright [^\n]*\n+" "" licence_body "${licence_body}")
  string(REGEX REPLACE "\n+$" "" licence_body "${licence_body}")
  string(REPLACE "\n\n" "\n.\n" licence_body "${licence_body}")
  string(REPLACE "\n" "\n " licence_body " ${licence_body}")
  file(WRITE ${debian_dir}/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: zerva\n"
    "Upstream-Contact: ${ZERVA_MAINTAINER}\n"
    "Source: ${ZERVA_HOMEPAGE_URL}\n"
    "\n"
    "Files: *\n"
    "Copyright: 2026 The zerva developers\n"
    "License: MIT\n"
    "\n"
    "License: MIT\n"
    "${licence_body}\n")

  # changelog.Debian.gz: one entry for this version, dated like the release (SOURCE_DATE_EPOCH
  # when set), compressed
  # without a time stamp so that a rebuild gives the same bytes.
  string(TIMESTAMP changelog_day "%a, %d %b %Y" UTC)
  file(WRITE ${debian_dir}/changelog.Debian
    "zerva (${ZERVA_DEBIAN_VERSION}) unstable; urgency=medium\n"
    "\n"
    "  * Release ${PROJECT_VERSION}.\n"
    "\n"
    " -- ${ZERVA_MAINTAINER}  ${changelog_day} 00:00:00 +0000\n")
  find_program(ZERVA_GZIP_FOR_PACKAGE gzip REQUIRED)
  execute_process(COMMAND ${ZERVA_GZIP_FOR_PACKAGE} -9nf ${debian_dir}/changelog.Debian
    RESULT_VARIABLE gzip_result)
  if(NOT gzip_result EQUAL 0)
    message(FATAL_ERROR "gzip of the Debian changelog failed")
  endif()

  install(FILES ${debian_dir}/copyright ${debian_dir}/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

  # Tells the program that dpkg owns its files: its update check then only reports a newer
  # version instead of replacing files in /usr/bin behind the package manager's back.
  file(WRITE ${debian_dir}/package-managed
    "zerva was installed by the Debian package zerva; updates come through the package manager.\n")
  install(FILES ${debian_dir}/package-managed DESTINATION ${ZERVA_DATA_DESTINATION})
else()
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zerva)
set(CPACK_PACKAGE_VENDOR "The zerva developers")
set(CPACK_PACKAGE_CONTACT "${ZERVA_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prepare photo albums and upload them to the web")
# The long description under the summary; CPack indents it and turns an empty line into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "zerva turns a folder of photos and videos into a web album. It shows the
pictures as thumbnails, lets you rotate, name, describe and place them on a
map, then shrinks each one to the size the album needs and uploads the whole
album in the background, resuming after a dropped connection.

The package holds the window (zerva), a command-line uploader for scripts
(zerva-cli), a stand-in of the album service for local use and tests
(zerva-server) and the program updater (zerva-updater).")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZERVA_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${ZERVA_DEBIAN_REVISION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Depends comes from the shared libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Videos are converted by the ffmpeg program and the zerva:// handler is registered with
# xdg-mime; both are run, not linked, and zerva works without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
