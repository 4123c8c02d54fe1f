# Installing and packaging the Linux program: `cmake --install` puts vusk,
# vusk-script, jisfont.bin (when `make jisfont` has built it), the Unicode
# glyph file unicodefont.bin (built with the programs), the desktop entry and
# the icon under the prefix; `cpack -G DEB` wraps the same files
# into a .deb.

# The icon is drawn by our own raster code at build time.
add_executable(make_icon tools/make_icon.cpp)
target_link_libraries(make_icon PRIVATE vusk_headless vusk_posix vusk_core)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/vusk.png
  COMMAND make_icon ${CMAKE_BINARY_DIR}/vusk.png
  DEPENDS make_icon
  COMMENT "Drawing the icon")
add_custom_target(vusk_icon ALL DEPENDS ${CMAKE_BINARY_DIR}/vusk.png)

include(GNUInstallDirs)
install(TARGETS vusk-script RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(VUSK_SDL)
  install(TARGETS vusk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/vusk.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_BINARY_DIR}/vusk.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
endif()
# The program looks for the fonts in ../share/vusk/ beside its own folder.
install(FILES ${CMAKE_BINARY_DIR}/jisfont.bin DESTINATION ${CMAKE_INSTALL_DATADIR}/vusk OPTIONAL)
install(FILES ${CMAKE_BINARY_DIR}/unicodefont.bin DESTINATION ${CMAKE_INSTALL_DATADIR}/vusk OPTIONAL)

set(CPACK_PACKAGE_NAME vusk)
set(CPACK_PACKAGE_VERSION 0.91)
set(CPACK_PACKAGE_CONTACT "Vusk developers <vusk@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Small text editor that also edits binary files as hex listings")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The file dialogs are zenity's; without it the program asks for paths in a
# prompt of its own, so zenity is recommended, not required.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS zenity)
# dpkg-shlibdeps (dpkg-dev) names the exact libraries the programs link;
# without it, the ones a Debian 12 build links.
find_program(VUSK_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VUSK_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1, libsdl2-2.0-0 (>= 2.0.12)")
endif()
include(CPack)
