# Installing and packaging: the programs, their place on the desktop (menu
# entry, file types, icons, AppStream data), manual pages, shell completion,
# and the data the program finds beside itself in share/tessel (help page,
# label catalogues). The programs look for that data at ../share/tessel from
# their own folder, so these paths stay bin/, libexec/ and share/ under any
# prefix. tessel-cli's drawing helper lives in libexec/.
#
# `cpack -G DEB` (or the `package` target) makes the Debian package. The
# desktop, MIME, icon and manual databases are refreshed by the dpkg triggers
# of desktop-file-utils, shared-mime-info, hicolor-icon-theme and man-db, so
# the package carries no maintainer scripts.

# The desktop id: names the menu entry, the AppStream component and the file
# type definitions, and is the window's application id on Wayland.
set(TESSEL_APP_ID example.orvane.Tessel)
set(TESSEL_DESKTOP ${PROJECT_SOURCE_DIR}/resources/desktop)

install(TARGETS tessel-cli RUNTIME DESTINATION bin)
install(FILES resources/completion/tessel-cli.bash
        DESTINATION share/bash-completion/completions RENAME tessel-cli)
# Label catalogues, for the program and the tool; the folder may not exist yet.
install(DIRECTORY resources/labels DESTINATION share/tessel OPTIONAL)

# Manual pages, compressed as Debian wants them. tessel-cli's lists the
# commands the tool itself reports, so it never falls behind.
set(man_dir ${PROJECT_BINARY_DIR}/man)
set(man_pages ${man_dir}/tessel-cli.1.gz)
add_custom_command(
  OUTPUT ${man_dir}/tessel-cli.1.gz
  COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:tessel-cli>
          -DIN=${PROJECT_SOURCE_DIR}/resources/man/tessel-cli.1.in -DOUT=${man_dir}/tessel-cli.1
          -DTESSEL_VERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/cli_man_page.cmake
  COMMAND gzip -9nkf ${man_dir}/tessel-cli.1
  DEPENDS tessel-cli resources/man/tessel-cli.1.in cmake/cli_man_page.cmake
  VERBATIM)

if(TESSEL_QT)
  target_compile_definitions(tessel PRIVATE TESSEL_APP_ID="${TESSEL_APP_ID}")
  install(TARGETS tessel RUNTIME DESTINATION bin)
  install(TARGETS tessel-cli-draw RUNTIME DESTINATION ${TESSEL_CLI_HELPER_DIR})
  install(DIRECTORY resources/help DESTINATION share/tessel)
  install(FILES ${TESSEL_DESKTOP}/${TESSEL_APP_ID}.desktop DESTINATION share/applications)
  install(FILES ${TESSEL_DESKTOP}/${TESSEL_APP_ID}.metainfo.xml DESTINATION share/metainfo)
  install(FILES ${TESSEL_DESKTOP}/${TESSEL_APP_ID}.xml DESTINATION share/mime/packages)
  install(FILES resources/icons/tessel.svg DESTINATION share/icons/hicolor/scalable/apps)
  install(FILES ${TESSEL_DESKTOP}/icons/application-x-tessel.svg
                ${TESSEL_DESKTOP}/icons/application-x-cardfile.svg
          DESTINATION share/icons/hicolor/scalable/mimetypes)

  add_custom_command(
    OUTPUT ${man_dir}/tessel.1.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/man/tessel.1 ${man_dir}/tessel.1
    COMMAND gzip -9nkf ${man_dir}/tessel.1
    DEPENDS resources/man/tessel.1
    VERBATIM)
  list(APPEND man_pages ${man_dir}/tessel.1.gz)
endif()
add_custom_target(tessel_man ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessel)
set(CPACK_PACKAGE_VENDOR "Orvane Software")
set(CPACK_PACKAGE_CONTACT "Orvane Software <tessel@orvane.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.orvane.example/tessel)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "index-card manager")
# The long description, in lines that fit a terminal as Debian wants them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tessel keeps a stack of index cards in one card file (*.tsl). Every card"
  "has an index line, its title and sort key, and a plain-text body; the cards"
  "stay sorted and show as a cascade whose front card is edited in place."
  "Tessel finds text, tags cards and prints, mails or labels them, dials a"
  "telephone number through a modem and imports Cardfile files (*.crd)."
  "tessel-cli looks into and converts card files from a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Libraries from the binaries; besides them what is loaded or run by name:
# Qt's SVG plugins draw every icon, xdg-utils hands mail and the help page
# over to the desktop, glabels-data holds the label geometry; a printer queue
# takes the finished pages through lp (cups-client).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TESSEL_QT)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, xdg-utils, glabels-data")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "glabels-data")
endif()
if(TESSEL_QT)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion, cups-client")
else()
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
endif()
include(CPack)
