# Where `cmake --install` puts the program on a desktop, and the Debian package around it
# (`cpack -G DEB` in the build folder).

# Debian names the documentation folder after the package, not after the project.
set(CMAKE_INSTALL_DOCDIR share/doc/kavelmark)
include(GNUInstallDirs)

set(KAVELMARK_APP_ID org.example.Kavelmark)
set(data ${PROJECT_SOURCE_DIR}/data)

install(TARGETS kavelmark kavelmark-file RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${data}/${KAVELMARK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/${KAVELMARK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${data}/icons/kavelmark.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${data}/icons/kavelmark-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kavelmark.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/src/ui/help/kavelmark-hilfe.html ${data}/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Debian wants manual pages and the changelog compressed, reproducibly.
set(compressed ${CMAKE_CURRENT_BINARY_DIR}/compressed)
file(MAKE_DIRECTORY ${compressed})
add_custom_command(OUTPUT ${compressed}/kavelmark.1.gz ${compressed}/kavelmark-file.1.gz ${compressed}/changelog.gz
    COMMAND gzip -9n -c ${data}/man/kavelmark.1 > ${compressed}/kavelmark.1.gz
    COMMAND gzip -9n -c ${data}/man/kavelmark-file.1 > ${compressed}/kavelmark-file.1.gz
    COMMAND gzip -9n -c ${data}/changelog > ${compressed}/changelog.gz
    DEPENDS ${data}/man/kavelmark.1 ${data}/man/kavelmark-file.1 ${data}/changelog)
add_custom_target(kavelmark_compressed_docs ALL
    DEPENDS ${compressed}/kavelmark.1.gz ${compressed}/kavelmark-file.1.gz ${compressed}/changelog.gz)
install(FILES ${compressed}/kavelmark.1.gz ${compressed}/kavelmark-file.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${compressed}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavelmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}.0)
set(CPACK_PACKAGE_VENDOR Brenkholt)
set(CPACK_PACKAGE_CONTACT "Brenkholt <kavelmark@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "password manager that keeps secrets in one encrypted file")
set(CPACK_PACKAGE_DESCRIPTION "Kavelmark keeps logins for FTP, dial-up, telnet, web sites and
databases, PINs, TANs and free notes in one file, encrypted with Twofish
under one password. It shows the entries in a list filtered by category
and masks secret values until the user looks at them. Its user interface
is German. The package also holds kavelmark-file, which loads and saves
password files from the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.org/kavelmark)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the shared libraries do not name: the window-system plugins and Qt's German texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
