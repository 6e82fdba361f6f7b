# The Debian package (scripts/package): cpack -G DEB in the build folder.
include(GNUInstallDirs)

# Documentation files every Debian package carries: copyright, compressed changelog, manual pages.
set(kx_doc ${CMAKE_INSTALL_DATADIR}/doc/kinexo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${kx_doc})
foreach(f changelog kinexo.1 tabulo.1)
  set(gz ${CMAKE_BINARY_DIR}/packaging/${f}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" gzip ${PROJECT_SOURCE_DIR}/packaging/${f} ${gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${f} VERBATIM)
  list(APPEND kx_gz ${gz})
endforeach()
add_custom_target(paquet_docs ALL DEPENDS ${kx_gz})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${kx_doc})
install(FILES ${CMAKE_BINARY_DIR}/packaging/kinexo.1.gz ${CMAKE_BINARY_DIR}/packaging/tabulo.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kinexo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kinexo <kinexo@kinexo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measuring tool for physics teaching")
set(CPACK_PACKAGE_DESCRIPTION "Kinexo opens a recorded experiment (a video, a series of photos, a photo of a
graph, a stroboscopic photo, a diffraction pattern, a sound), sets a scale,
an origin and axes, and turns clicks or automatic tracking into a table of
measurements sent to the analysis program Tabulo, to the clipboard or to a
file. Its interface is in French. A stand-in for Tabulo is included.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Libraries from the binaries themselves (dpkg-shlibdeps). The Qt plugins it loads at run time
# (the desktop's display, the French texts of Qt's dialogs) are not linked, so they are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pavucontrol")
include(CPack)
