# How the game installs on Linux: the executable in libexec, the shipped data in share, a
# launcher on the PATH that runs the game in the player's own data folder, a menu entry with
# icons and AppStream metadata; and a Debian package of the same tree through CPack.
include(GNUInstallDirs)

set(CD_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
if(TARGET assetgen)
  set(CD_ICON_STAMP ${CMAKE_BINARY_DIR}/icons.stamp)
  add_custom_command(OUTPUT ${CD_ICON_STAMP}
    COMMAND assetgen --icons ${CD_ICON_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${CD_ICON_STAMP}
    DEPENDS assetgen
    COMMENT "Drawing the desktop icons")
  add_custom_target(app_icons ALL DEPENDS ${CD_ICON_STAMP})
  # The install test installs this build tree, icons included.
  if(TARGET unit_tests)
    add_dependencies(unit_tests app_icons)
  endif()
endif()

# The launcher finds the game and its data relative to itself: no installed path is baked in.
set(CD_GAME_INSTALL_DIR ${CMAKE_INSTALL_LIBEXECDIR}/crockery-drift)
set(CD_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/crockery-drift)
file(RELATIVE_PATH CD_BIN_TO_GAME ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBEXECDIR}/crockery-drift)
file(RELATIVE_PATH CD_BIN_TO_DATA ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/crockery-drift)
configure_file(${CMAKE_SOURCE_DIR}/scripts/crockery-drift.in ${CMAKE_BINARY_DIR}/launcher/crockery-drift
               @ONLY)

install(TARGETS crockery-drift RUNTIME DESTINATION ${CD_GAME_INSTALL_DIR})
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/crockery-drift DESTINATION ${CMAKE_INSTALL_BINDIR})
# Only the shipped folders: a played build folder also holds a log, settings, scores and shots.
install(DIRECTORY ${CD_GAME_DIR}/Files/Common ${CD_GAME_DIR}/Files/295
        DESTINATION ${CD_DATA_INSTALL_DIR}/Files
        PATTERN "nuscores.dat" EXCLUDE
        PATTERN "crash.dat" EXCLUDE)
install(FILES packaging/crockery-drift.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/io.example.CrockeryDrift.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CD_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
file(GLOB CD_FONT_NOTES ${CMAKE_SOURCE_DIR}/assets/fonts/LICENSE-*.txt
     ${CMAKE_SOURCE_DIR}/assets/fonts/README.md)
install(FILES ${CD_FONT_NOTES} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/crockery-drift/fonts)

# CPack would otherwise build every target, tests and benchmarks included, before packaging;
# `make package` builds the game and its icons itself.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME crockery-drift)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Crockery Drift developers <crockery-drift@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Arcade game: swing a plate on a beam to guard the head")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsdl2-2.0-0, libopenal1, libpng16-16, libfreetype6, libgl1, zlib1g")
set(CPACK_STRIP_FILES ON)
include(CPack)
