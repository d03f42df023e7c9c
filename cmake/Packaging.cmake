# Desktop integration and the Debian package: the desktop entry, icons, AppStream metainfo
# and manual page go beside the program (src/ installs bin/riduduz), and CPack builds a .deb
# from the same install rules:  cpack -G DEB  in the build folder, or the `package` target.
include(GNUInstallDirs)

set(RIDUDUZ_APP_ID com.example.riduduz)
set(RIDUDUZ_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# The version in the metainfo and the manual page comes from project().
configure_file(${RIDUDUZ_PACKAGING_DIR}/${RIDUDUZ_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/${RIDUDUZ_APP_ID}.metainfo.xml @ONLY)
configure_file(${RIDUDUZ_PACKAGING_DIR}/riduduz.1.in ${PROJECT_BINARY_DIR}/packaging/riduduz.1
               @ONLY)

install(FILES ${RIDUDUZ_PACKAGING_DIR}/${RIDUDUZ_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${RIDUDUZ_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_BINARY_DIR}/packaging/riduduz.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Icons are named after the desktop entry's Icon key.
foreach(size 16 32 48 128)
    install(FILES ${PROJECT_SOURCE_DIR}/res/icons/riduduz-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${RIDUDUZ_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/res/icons/riduduz.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${RIDUDUZ_APP_ID}.svg)

# ---- the Debian package ----
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME riduduz)
set(CPACK_PACKAGE_VENDOR "The Riduduz developers")
set(CPACK_PACKAGE_CONTACT "Riduduz developers <riduduz@example.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "count how long you have worked today")
set(CPACK_PACKAGE_DESCRIPTION
    "Riduduz is a small desktop timer for the working day. One window shows a large
hh:mm:ss read-out of the time worked today, with Start/Pause and Reset. The total of
each day is kept in a small INI file in the user's data folder.")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.riduduz.example.com/riduduz/index.html")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps adds the libraries the program links (FLTK, X11, C++ run time, ...);
# the fonts its skin draws with and the opener of the home page are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core, xdg-utils")
include(CPack)
