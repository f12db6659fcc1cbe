# The Debian package: the program, recorvan-db, a desktop entry with the desk's icon and
# recorvan-db's manual page. `make package` runs cpack in the build folder.
install(TARGETS recorvan recorvan-db RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/recorvan.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/src/order/icons/desk.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME recorvan.svg)

# Debian keeps manual pages compressed, without a time stamp.
set(RECORVAN_MANUAL ${CMAKE_BINARY_DIR}/recorvan-db.1.gz)
add_custom_command(OUTPUT ${RECORVAN_MANUAL}
    COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/recorvan-db.1 > ${RECORVAN_MANUAL}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/recorvan-db.1
    VERBATIM)
add_custom_target(recorvan_manual ALL DEPENDS ${RECORVAN_MANUAL})
install(FILES ${RECORVAN_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME recorvan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${RECORVAN_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "toma de pedidos para el vendedor viajante")
# CPack puts the summary above the description and indents the description's lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Recorvan busca en el catálogo de artículos de la empresa, arma el pedido del
cliente línea por línea, lo guarda, lo imprime y exporta los pedidos del día
en PDF. Guarda todo en una base SQLite en la carpeta de datos del usuario.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipo de Recorvan <recorvan@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link come from dpkg-shlibdeps; Qt's drivers are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core")
include(CPack)
