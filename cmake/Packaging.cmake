# The Debian package: the program, recorvan-db, a desktop entry with the desk's icon, the AppStream
# metadata, the manual pages and the documents Debian asks for (copyright, changelog). `make
# package` runs cpack in the build folder; tests/package/tst_package checks the result with lintian.
install(TARGETS recorvan recorvan-db RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# CPack strips the symbols; the compiler's comment section goes too, as Debian's own builds do.
foreach(program recorvan recorvan-db)
    install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" COMMAND_ERROR_IS_FATAL ANY)")
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/recorvan.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/src/order/icons/desk.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME recorvan.svg)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/ar.com.recorvan.pedidos.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian keeps manual pages and changelogs compressed, without a time stamp. The pages are in
# Spanish, the program's only language, and so go where every reader finds them.
set(RECORVAN_GZIPPED)
foreach(document recorvan.1 recorvan-db.1 changelog)
    set(gzipped ${CMAKE_BINARY_DIR}/packaging/${document}.gz)
    add_custom_command(OUTPUT ${gzipped}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/${document} > ${gzipped}
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${document}
        VERBATIM)
    list(APPEND RECORVAN_GZIPPED ${gzipped})
endforeach()
add_custom_target(recorvan_documents ALL DEPENDS ${RECORVAN_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/packaging/recorvan.1.gz ${CMAKE_BINARY_DIR}/packaging/recorvan-db.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/recorvan)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME recorvan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${RECORVAN_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "toma de pedidos para el vendedor viajante")
# CPack puts the summary above the description and indents the description's lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Recorvan busca en el catálogo de artículos de la empresa, arma el pedido del
cliente línea por línea, lo guarda, lo imprime y exporta los pedidos del día
en PDF. Guarda todo en una base SQLite en la carpeta de datos del usuario,
que solo él puede leer.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipo de Recorvan <paquetes@recorvan.com.ar>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://recorvan.com.ar/")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link come from dpkg-shlibdeps; Qt's drivers are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core")
include(CPack)
