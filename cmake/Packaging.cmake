# The Debian package: `cpack -G DEB` in a build configured with CMAKE_INSTALL_PREFIX=/usr
# (tools/package does all of it). Its dependencies on libraries are computed by dpkg-shlibdeps;
# what is loaded at run time rather than linked is named here.
set(KB_MAINTAINER "Kringbaas developers <ontwikkelaars@kringbaas.nl>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kringbaas)
set(CPACK_PACKAGE_VENDOR "Kringbaas")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KB_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kringbaas.nl/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins (the window on X11 and Wayland) are loaded, not linked; the Dutch
# texts of Qt's own buttons (Ja, Nee, Annuleren) come with Qt's translations; a font for the
# screen and the print-out.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "net controller's log for amateur radio nets (kringbaas)")
# CPack puts one blank before each line of the long description, as Debian wants it.
set(CPACK_PACKAGE_DESCRIPTION
    "Kringbaas is the program of the net controller (the kringbaas) of an amateur
radio net. During a round it keeps the list of up to 30 stations, gives each
its turn and watches the planned time. It stores every round, prints or
exports the participant list as PDF, keeps a list of known radio amateurs with
distances from Maidenhead locators, and keeps notes. While a round runs it can
share the list as a live web page that others on the local network follow in
any browser. Its user interface is Dutch.")

# Debian wants the copyright and a changelog in the package's documentation folder.
configure_file(${PROJECT_SOURCE_DIR}/desktop/debian/changelog.in
               ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
    COMMAND gzip -9 -n -f -k ${PROJECT_BINARY_DIR}/debian/changelog.Debian
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian)
add_custom_target(kb_debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
configure_file(${PROJECT_SOURCE_DIR}/desktop/kringbaas.1 ${PROJECT_BINARY_DIR}/debian/kringbaas.1
               COPYONLY)
add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/debian/kringbaas.1.gz
    COMMAND gzip -9 -n -f -k ${PROJECT_BINARY_DIR}/debian/kringbaas.1
    DEPENDS ${PROJECT_BINARY_DIR}/debian/kringbaas.1)
add_custom_target(kb_manual_page ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/kringbaas.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/debian/kringbaas.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/debian/copyright
              ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kringbaas)

include(CPack)
