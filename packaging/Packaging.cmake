# Install rules and the Debian package (CPack, DEB generator), included by the top-level CMakeLists.
# scripts/package.sh builds the package; scripts/check-package.sh checks it.
include(GNUInstallDirs)

set(TESSALINE_APP_ID org.tessaline.Tessaline)
set(TESSALINE_PKG_DIR ${CMAKE_CURRENT_LIST_DIR})
set(TESSALINE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tessaline)

if(TARGET tessaline)
  install(TARGETS tessaline RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS tessaline-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${TESSALINE_PKG_DIR}/${TESSALINE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TESSALINE_PKG_DIR}/${TESSALINE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TESSALINE_PKG_DIR}/${TESSALINE_APP_ID}-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${TESSALINE_APP_ID}.xml)
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/tessaline.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${TESSALINE_APP_ID}.svg)
# Relative to the /usr prefix: /usr/lib/udev/rules.d and /usr/lib/systemd/user.
install(FILES ${TESSALINE_PKG_DIR}/udev/70-tessaline-plotter.rules DESTINATION lib/udev/rules.d)
install(FILES ${TESSALINE_PKG_DIR}/systemd/tessaline-queue.service DESTINATION lib/systemd/user)
install(FILES ${TESSALINE_PKG_DIR}/copyright DESTINATION ${TESSALINE_DOC_DIR})

# Man pages and the changelog go compressed, without a time stamp in the gzip header.
find_program(TESSALINE_GZIP gzip)
if(TESSALINE_GZIP)
  set(gzipped)
  foreach(source man/tessaline.1 man/tessaline-cli.1 changelog)
    get_filename_component(name ${source} NAME)
    set(target ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${target}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
      COMMAND ${TESSALINE_GZIP} -9nc ${TESSALINE_PKG_DIR}/${source} > ${target}
      DEPENDS ${TESSALINE_PKG_DIR}/${source} VERBATIM)
    list(APPEND gzipped ${target})
  endforeach()
  add_custom_target(tessaline_packaging_files ALL DEPENDS ${gzipped})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/tessaline.1.gz ${CMAKE_BINARY_DIR}/packaging/tessaline-cli.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${TESSALINE_DOC_DIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaline)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tessaline developers")
set(CPACK_PACKAGE_CONTACT "Tessaline Team <packages@tessaline.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://tessaline.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Labels are drawn with the CJK Ming face.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming")
# Qt's own translations of its standard dialogs and buttons, in the operator's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "print queue and preview for inkjet marker plotters
Tessaline is the workstation program of a wide-format inkjet marker plotter
for garment cutting rooms. It queues the HPGL plot files that CAD systems
export into a task folder, previews them, turns each into raster data for up
to four inkjet heads and streams it over USB to the plotter's controller,
segment by segment, each verified by checksum.
.
The package holds the desktop program, the command-line tool with a headless
queue (run as a systemd user service), the udev rule of the plotter's board
and a built-in virtual plotter for training and tests.")
include(CPack)
