# The Debian package (cpack in the native build) and the Windows zip
# (cpack --config CPackWindowsConfig.cmake, over the two cross builds).
#
#   /usr/bin/vexmon                          the program
#   /usr/libexec/xscreensaver/vexmon         the hack: a link to it
#   /usr/share/vexmon/                       the content (scenes, Skins/, Sounds/)
#   /usr/share/xscreensaver/config/vexmon.xml
#   /usr/share/applications/vexmon.desktop, screensavers/vexmon.desktop
#   /usr/share/icons/hicolor/{48x48,128x128}/apps/vexmon.png
#   /usr/share/man/man6/vexmon.6.gz, /usr/share/doc/vexmon/{copyright,changelog.gz}
#
# Needs QM_CONTENT_DIR and QM_CONTENT_GEN from content/.
set(pkg_source ${PROJECT_SOURCE_DIR}/packaging)
set(pkg_build ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${pkg_build})
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian wants the manual page and the changelog compressed, reproducibly (-n: no name or time).
find_program(QM_GZIP gzip REQUIRED)
set(compressed)
foreach(pair "vexmon.6|vexmon.6.gz" "changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  add_custom_command(OUTPUT ${pkg_build}/${to}
    COMMAND ${QM_GZIP} -9nc ${pkg_source}/${from} > ${pkg_build}/${to}
    DEPENDS ${pkg_source}/${from}
    COMMENT "Compressing ${from}")
  list(APPEND compressed ${pkg_build}/${to})
endforeach()
add_custom_target(package_files ALL DEPENDS ${compressed})

# The hack is the same program; a relative link keeps an unpacked tree whole.
file(MAKE_DIRECTORY ${pkg_build}/hack)
file(CREATE_LINK ../../bin/vexmon ${pkg_build}/hack/vexmon SYMBOLIC)

install(TARGETS vexmon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${pkg_build}/hack/vexmon DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(DIRECTORY ${QM_CONTENT_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vexmon
  PATTERN QUELLMOOR.stream EXCLUDE)  # compiled into the program
install(FILES ${PROJECT_SOURCE_DIR}/data/vexmon.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${pkg_source}/vexmon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg_source}/vexmon-screensaver.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers
  RENAME vexmon.desktop)
foreach(size 48 128)
  install(FILES ${QM_CONTENT_GEN}/icons/${size}x${size}/vexmon.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${pkg_build}/vexmon.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${pkg_source}/copyright ${pkg_build}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vexmon)

# The Windows zip's own text, only for that package.
install(FILES ${pkg_source}/INSTALL-Windows.txt DESTINATION . RENAME INSTALL.txt
  COMPONENT windows_text EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexmon)
set(CPACK_PACKAGE_VENDOR "The Vexmon developers")
set(CPACK_PACKAGE_CONTACT "Vexmon developers <vexmon@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "little space ship's travels, as a screen saver")
set(CPACK_PACKAGE_DESCRIPTION "A space ship hangs in the middle of the screen while stars drift past.
From time to time a scene plays: the mascot lands on a planet, meets a local
and talks in speech balloons, flies along a path, or naps inside the ship.
.
Runs as an XScreenSaver hack, full screen, in a window, or records the
show into an animated GIF.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The speech balloons' faces; fontconfig falls back to any sans face.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-comic-neue, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The Windows zip: the programs of both cross builds, each beside its own
# copy of the content, and the text on installing it.
set(QM_WINDOWS_BUILDS "${CMAKE_BINARY_DIR}/../cross-x86_64-w64-mingw32;${CMAKE_BINARY_DIR}/../cross-i686-w64-mingw32"
  CACHE STRING "The 64- and 32-bit cross build folders the Windows zip is made from")
list(GET QM_WINDOWS_BUILDS 0 QM_WINDOWS_BUILD_64)
list(GET QM_WINDOWS_BUILDS 1 QM_WINDOWS_BUILD_32)
get_filename_component(QM_WINDOWS_BUILD_64 ${QM_WINDOWS_BUILD_64} ABSOLUTE)
get_filename_component(QM_WINDOWS_BUILD_32 ${QM_WINDOWS_BUILD_32} ABSOLUTE)
configure_file(${pkg_source}/CPackWindowsConfig.cmake.in ${CMAKE_BINARY_DIR}/CPackWindowsConfig.cmake @ONLY)

include(CPack)
