# Installs the programs into the usual freedesktop.org and GNU layout under
# CMAKE_INSTALL_PREFIX, and describes the Debian package CPack makes of that:
#   bin/                                      the viewer and the command-line tools
#   share/applications/, share/metainfo/      menu entry and AppStream entry
#   share/mime/packages/ostrel-viewer.xml     the pattern file types (the desktop's
#                                             database compiles them; no cache is installed)
#   share/icons/hicolor/<size>/apps/          the program icon, scalable and 16-256 px
#   share/man/man1/, share/bash-completion/   manual pages and completions
#   share/doc/ostrel-viewer/                  README, licence, Debian copyright and changelog
# The installed viewer keeps settings.ini in the user's configuration folder and finds its
# optional run-time files ("Ostrel3d.exe", "guide.pdf") in share/ostrel-viewer/ as well as
# beside itself.

cmake_path(SET OSTREL_RESOURCES_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../resources")
set(OSTREL_PACKAGE_NAME ostrel-viewer)
set(OSTREL_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/${OSTREL_PACKAGE_NAME}")
set(OSTREL_APPSTREAM_ID org.example.OstrelViewer)

set(OSTREL_PROGRAMS ostrel-inspect ostrel-convert)
if(OSTREL_WITH_UI)
  list(APPEND OSTREL_PROGRAMS OstrelViewer ostrel-print)
endif()
install(TARGETS ${OSTREL_PROGRAMS} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

# Manual pages, compressed as Debian wants them (-n: no name or time stamp inside, so the
# same page always gives the same bytes).
set(manual_pages)
foreach(program IN LISTS OSTREL_PROGRAMS)
  set(page "${CMAKE_SOURCE_DIR}/man/${program}.1")
  set(packed "${CMAKE_BINARY_DIR}/man/${program}.1.gz")
  add_custom_command(OUTPUT "${packed}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/man"
    COMMAND gzip -9 -n -c "${page}" > "${packed}"
    DEPENDS "${page}" VERBATIM)
  list(APPEND manual_pages "${packed}")
  # bash-completion loads a command's completion from a file named after the command.
  install(FILES "${OSTREL_RESOURCES_DIR}/ostrel.bash-completion"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions" RENAME "${program}")
endforeach()
add_custom_target(manual_pages ALL DEPENDS ${manual_pages})
install(FILES ${manual_pages} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

if(OSTREL_WITH_UI)
  install(FILES "${OSTREL_RESOURCES_DIR}/OstrelViewer.desktop"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  configure_file("${OSTREL_RESOURCES_DIR}/${OSTREL_APPSTREAM_ID}.metainfo.xml.in"
                 "${CMAKE_BINARY_DIR}/${OSTREL_APPSTREAM_ID}.metainfo.xml" @ONLY)
  install(FILES "${CMAKE_BINARY_DIR}/${OSTREL_APPSTREAM_ID}.metainfo.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
  install(FILES "${OSTREL_RESOURCES_DIR}/ostrel-viewer-mime.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME ostrel-viewer.xml)
  install(FILES "${OSTREL_RESOURCES_DIR}/icons/ostrel-viewer.svg"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
  # The PNGs were made once from the SVG: rsvg-convert -w N -h N ostrel-viewer.svg
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES "${OSTREL_RESOURCES_DIR}/icons/hicolor/ostrel-viewer-${size}.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
            RENAME ostrel-viewer.png)
  endforeach()
endif()

# The changelog's date is the release date written as RFC 2822 wants it ("Tue, 08 Dec 2026
# 00:00:00 +0000"); the weekday by Zeller's congruence.
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" date_ok "${OSTREL_RELEASE_DATE}")
if(NOT date_ok)
  message(FATAL_ERROR "OSTREL_RELEASE_DATE must be YYYY-MM-DD, not '${OSTREL_RELEASE_DATE}'")
endif()
math(EXPR year "${CMAKE_MATCH_1}")
math(EXPR month "1${CMAKE_MATCH_2} - 100")
set(day "${CMAKE_MATCH_3}")
set(zeller_month ${month})
set(zeller_year ${year})
if(month LESS 3)  # January and February count as months 13 and 14 of the year before
  math(EXPR zeller_month "${month} + 12")
  math(EXPR zeller_year "${year} - 1")
endif()
math(EXPR weekday "(1${day} - 100 + 13 * (${zeller_month} + 1) / 5 + ${zeller_year} % 100 + \
  ${zeller_year} % 100 / 4 + ${zeller_year} / 400 + 5 * (${zeller_year} / 100)) % 7")
set(weekday_names Sat Sun Mon Tue Wed Thu Fri)
list(GET weekday_names ${weekday} weekday_name)
math(EXPR month_index "${month} - 1")
set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET month_names ${month_index} month_name)
set(OSTREL_RELEASE_DATE_RFC2822 "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000")
configure_file("${OSTREL_RESOURCES_DIR}/debian-changelog.in" "${CMAKE_BINARY_DIR}/changelog"
               @ONLY)
add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/changelog.gz"
  COMMAND gzip -9 -n -c "${CMAKE_BINARY_DIR}/changelog" > "${CMAKE_BINARY_DIR}/changelog.gz"
  DEPENDS "${CMAKE_BINARY_DIR}/changelog" VERBATIM)
add_custom_target(package_changelog ALL DEPENDS "${CMAKE_BINARY_DIR}/changelog.gz")
install(FILES "${CMAKE_SOURCE_DIR}/README.md" "${CMAKE_SOURCE_DIR}/LICENSE"
              "${CMAKE_BINARY_DIR}/changelog.gz" DESTINATION "${OSTREL_DOC_DIR}")
install(FILES "${OSTREL_RESOURCES_DIR}/debian-copyright" DESTINATION "${OSTREL_DOC_DIR}"
        RENAME copyright)

# A direct install into the prefix the build was configured for refreshes the desktop's
# caches, as a package manager's triggers would. Staging installs (another prefix, DESTDIR,
# CPack) leave them alone: a generated cache must never end up in a package.
install(CODE "set(OSTREL_CONFIGURED_PREFIX \"${CMAKE_INSTALL_PREFIX}\")")
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "" AND CMAKE_INSTALL_PREFIX STREQUAL OSTREL_CONFIGURED_PREFIX)
    find_program(OSTREL_UPDATE_MIME update-mime-database)
    find_program(OSTREL_UPDATE_DESKTOP update-desktop-database)
    if(OSTREL_UPDATE_MIME)
      execute_process(COMMAND "${OSTREL_UPDATE_MIME}" "${CMAKE_INSTALL_PREFIX}/share/mime")
    endif()
    if(OSTREL_UPDATE_DESKTOP)
      execute_process(COMMAND "${OSTREL_UPDATE_DESKTOP}" "${CMAKE_INSTALL_PREFIX}/share/applications")
    endif()
  endif()
]])

# The Debian package (scripts/package.sh): the files above under the configured prefix,
# its dependencies read from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${OSTREL_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Ostrel Viewer developers")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ostrel Viewer developers <ostrel-viewer@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "antenna radiation pattern viewer")
# The long description, in paragraphs; CPack puts the summary above it and indents it as the
# control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ostrel Viewer opens antenna radiation pattern files (Ostrel text, Verizon,
NSMA WG16.99.050 and EDX formats), lists their key figures in a sortable
table and draws the horizontal and vertical cuts side by side as polar or
Cartesian graphs. Patterns can be rotated, printed, converted and shown
in 3D.

The command-line tools ostrel-inspect, ostrel-convert and ostrel-print
report on, convert and print pattern files without a display.

Licence: MIT.")
include(CPack)
