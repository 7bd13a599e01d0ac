# The Linux program's installation and its Debian package (cpack -G DEB).
# Desktop integration: menu entry, icon, AppStream metadata.
include(GNUInstallDirs)
install(FILES data/${BARCODES_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${BARCODES_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/${BARCODES_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The licence, as a Debian copyright file: LICENSE below a machine-readable
# header, each line indented by one space and empty lines as " .".
file(READ LICENSE BARCODES_LICENSE)
string(STRIP "${BARCODES_LICENSE}" BARCODES_LICENSE)
string(REPLACE "\n\n" "\n.\n" BARCODES_LICENSE "${BARCODES_LICENSE}")
string(REPLACE "\n" "\n " BARCODES_LICENSE "${BARCODES_LICENSE}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: barcodes\n\n"
     "Files: *\nCopyright: ${BARCODES_COPYRIGHT}\nLicense: MIT\n ${BARCODES_LICENSE}\n")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The changelog and the manual page, compressed as Debian wants them: gzip -9
# without a name or a time stamp, so that every build makes the same bytes.
# The package is native (its version has no Debian revision), so its
# changelog is changelog.gz, not changelog.Debian.gz.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS data/changelog)
file(STRINGS data/changelog BARCODES_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT BARCODES_CHANGELOG_TOP MATCHES "^barcodes \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/changelog starts with \"${BARCODES_CHANGELOG_TOP}\": "
                      "its first entry must be for version ${PROJECT_VERSION}")
endif()
configure_file(data/barcodes.1 ${PROJECT_BINARY_DIR}/barcodes.1 @ONLY)
find_program(GZIP_EXECUTABLE gzip REQUIRED)
foreach(doc IN ITEMS ${PROJECT_SOURCE_DIR}/data/changelog ${PROJECT_BINARY_DIR}/barcodes.1)
  get_filename_component(name ${doc} NAME)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${name}.gz
                     COMMAND ${GZIP_EXECUTABLE} -9n -c ${doc} > ${PROJECT_BINARY_DIR}/${name}.gz
                     DEPENDS ${doc} VERBATIM)
endforeach()
add_custom_target(compressed_docs ALL
                  DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_BINARY_DIR}/barcodes.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_BINARY_DIR}/barcodes.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian package: cpack -G DEB in the build folder. The binary goes in
# stripped (build/.../app/barcodes keeps its debugging symbols). No -dbgsym
# package: CPack 3.25 writes its md5sums with the build folder's paths.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME barcodes)
set(CPACK_PACKAGE_CONTACT "Barcodes developers <barcodes@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Print one value as ITF-14, Code 39, UPC-A and EAN-13 barcodes")
# The extended description, below the summary; CPack indents its lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Type a value and the window shows it at once, with every keystroke, as four
barcodes: ITF-14 (Interleaved 2 of 5 with a check digit), Code 39, UPC-A and
EAN-13.

One button prints all four on one page of the default printer, without a
dialog: on the paper or labels the printer has loaded, at its own
resolution, each bar on its dot grid, and turned a quarter turn when only so
the page fits (as on a 4 x 6 in shipping label). For labelling cartons and
shelves.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Loaded at run time, so not found by shlibdeps: the SVG icon plugin, the
# metric-compatible stand-in for Courier New, and the Wayland platform
# plugin, without which the program cannot start on a Wayland-only desktop
# (a dependency, not a recommendation: installs without recommendations
# are common, and started from the menu the program has no terminal to
# say what is missing).
# The SVG icon plugin is in libqt6svg6 on Debian 12 and in qt6-svg-plugins
# from 13 on: the package that holds it here.
execute_process(COMMAND dpkg-query -S "*/qt6/plugins/iconengines/libqsvgicon.so"
                OUTPUT_VARIABLE BARCODES_SVG_PLUGINS ERROR_QUIET)
string(REGEX MATCH "^[^:,]+" BARCODES_SVG_PLUGINS "${BARCODES_SVG_PLUGINS}")
if(NOT BARCODES_SVG_PLUGINS)
  set(BARCODES_SVG_PLUGINS libqt6svg6)
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, ${BARCODES_SVG_PLUGINS}, qt6-wayland")
include(CPack)
