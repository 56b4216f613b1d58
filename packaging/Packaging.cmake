# Installation layout and the Debian package (cpack -G DEB in the build folder).
include(GNUInstallDirs)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/corvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/corvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Man pages are installed compressed, as Debian wants them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(CORVANE_MAN_GZ ${CMAKE_BINARY_DIR}/corvane-cli.1.gz)
add_custom_command(OUTPUT ${CORVANE_MAN_GZ}
  COMMAND ${GZIP_PROGRAM} -9n -c ${CMAKE_CURRENT_LIST_DIR}/corvane-cli.1 > ${CORVANE_MAN_GZ}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/corvane-cli.1 VERBATIM)
add_custom_target(corvane_manpage ALL DEPENDS ${CORVANE_MAN_GZ})
install(FILES ${CORVANE_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VENDOR "Equipe do Corvane")
set(CPACK_PACKAGE_CONTACT "Equipe do Corvane <suporte@corvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "registro de certificados de um organismo de certificação")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "O Corvane mantém o registro dos certificados emitidos por um organismo de certificação de produtos\n"
  "e troca esse registro com o Quelora (remessas, resultados, tabelas auxiliares).\n"
  "Inclui o programa com janelas (corvane) e a ferramenta de linha de comando (corvane-cli).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link are found by dpkg-shlibdeps; the Qt plugins
# they load at run time (the SQLite driver) and the fonts are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-dejavu-core | fonts-liberation2")
set(CPACK_STRIP_FILES ON)
include(CPack)
