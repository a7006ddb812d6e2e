# What `cmake --install` puts on a Linux desktop beside the two programs, and the .deb that CPack
# makes of it (`make package`).
if(NOT WIN32)
  install(FILES data/korvanthiel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES data/korvanthiel.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES data/korvanthiel.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
endif()
install(FILES examples/tavern.tlk examples/tavern.erm examples/tavern.ini
        DESTINATION ${CMAKE_INSTALL_DATADIR}/korvanthiel/examples)

set(CPACK_PACKAGE_NAME korvanthiel)
set(CPACK_PACKAGE_VENDOR "Korvanthiel")
set(CPACK_PACKAGE_CONTACT "Korvanthiel developers <korvanthiel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The shared libraries the programs link come from dpkg-shlibdeps; what is loaded at run time
# and no linker sees is named here: Qt's platform plugins (without them the window cannot
# open) and the Russian texts of Qt's own dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
