# Installing Glimm like a desktop game: the real program out of the PATH, its media under share/,
# a launcher on the PATH that runs it in the player's own folder, desktop integration, and a .deb.
include(GNUInstallDirs)

# The launcher goes to bin/ rather than Debian's games/: root's PATH and many other systems'
# PATHs lack games/, and the game must start from a terminal in any folder.
set(GLIMM_LAUNCHER_DIR "${CMAKE_INSTALL_BINDIR}" CACHE STRING
    "Where the glimm launcher is installed (relative to the prefix, or absolute)")
set(GLIMM_GAME_DIR "${CMAKE_INSTALL_LIBEXECDIR}/glimm")
# Debian's games layout: the game's data in share/games/glimm, never share/glimm, which under
# the ~/.local prefix is the player's own folder ($XDG_DATA_HOME/glimm) with the high score.
set(GLIMM_DATA_DIR "${CMAKE_INSTALL_DATADIR}/games/glimm")
set(GLIMM_PACKAGE_MAINTAINER "Glimm developers <glimm@users.noreply.github.com>" CACHE STRING
    "Maintainer named in the .deb")
set(GLIMM_HOMEPAGE "https://github.com/glimm/glimm")
set(GLIMM_PACKAGING_DIR "${CMAKE_SOURCE_DIR}/packaging")

install(TARGETS glimm RUNTIME DESTINATION "${GLIMM_GAME_DIR}")
# The launcher starts the game through it, at the window scale that fits the screen.
install(PROGRAMS "${GLIMM_PACKAGING_DIR}/run-scaled" DESTINATION "${GLIMM_GAME_DIR}")

# By folder, so whatever the media tool adds is installed too.
install(DIRECTORY "${CMAKE_SOURCE_DIR}/Media/Game" "${CMAKE_SOURCE_DIR}/Media/Lumadeck"
    DESTINATION "${GLIMM_DATA_DIR}/Media"
    REGEX "/\\.[^/]*$" EXCLUDE)

# The launcher learns the install paths when it is installed, so `cmake --install --prefix` and
# CPack's /usr both get the right ones. Each prefix gets its own copy in the build folder, so two
# installs at once cannot swap launchers.
install(CODE "
set(glimmLauncherSource \"${GLIMM_PACKAGING_DIR}/glimm.in\")
set(glimmLauncherBuildDir \"${CMAKE_BINARY_DIR}/packaging\")
set(glimmLauncherDir \"${GLIMM_LAUNCHER_DIR}\")
set(glimmGameDir \"${GLIMM_GAME_DIR}\")
set(glimmDataDir \"${GLIMM_DATA_DIR}\")
")
install(CODE [[
foreach(dir glimmLauncherDir glimmGameDir glimmDataDir)
    if(NOT IS_ABSOLUTE "${${dir}}")
        set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
    endif()
endforeach()
set(GLIMM_GAME "${glimmGameDir}/glimm")
set(GLIMM_MEDIA "${glimmDataDir}/Media")
file(RELATIVE_PATH GLIMM_BIN_TO_GAME "${glimmLauncherDir}" "${GLIMM_GAME}")
file(RELATIVE_PATH GLIMM_BIN_TO_MEDIA "${glimmLauncherDir}" "${GLIMM_MEDIA}")
# The paths go into single quotes in the script.
foreach(path GLIMM_GAME GLIMM_MEDIA GLIMM_BIN_TO_GAME GLIMM_BIN_TO_MEDIA)
    string(REPLACE "'" "'\\''" ${path} "${${path}}")
endforeach()
string(MD5 glimmInstallKey "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(glimmLauncherBuilt "${glimmLauncherBuildDir}/launcher-${glimmInstallKey}/glimm")
configure_file("${glimmLauncherSource}" "${glimmLauncherBuilt}" @ONLY)
file(INSTALL DESTINATION "${glimmLauncherDir}" TYPE PROGRAM FILES "${glimmLauncherBuilt}")
]])

# Desktop integration.
install(FILES "${GLIMM_PACKAGING_DIR}/glimm.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${GLIMM_PACKAGING_DIR}/io.github.glimm.Glimm.metainfo.xml"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${GLIMM_PACKAGING_DIR}/icons/glimm.svg"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps" OPTIONAL)
foreach(size 16 32 48 64 128 256)
    install(FILES "${GLIMM_PACKAGING_DIR}/icons/${size}x${size}/glimm.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps" OPTIONAL)
endforeach()

# Debian wants the manual page and the changelog compressed, without a time stamp in the header.
foreach(document glimm.6 changelog)
    set(compressed "${CMAKE_BINARY_DIR}/packaging/${document}.gz")
    add_custom_command(OUTPUT "${compressed}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/packaging"
        COMMAND gzip -9nc "${GLIMM_PACKAGING_DIR}/${document}" > "${compressed}"
        DEPENDS "${GLIMM_PACKAGING_DIR}/${document}"
        COMMENT "Compressing ${document}"
        VERBATIM)
    list(APPEND GLIMM_COMPRESSED_DOCUMENTS "${compressed}")
endforeach()
add_custom_target(glimm-documents ALL DEPENDS ${GLIMM_COMPRESSED_DOCUMENTS})
install(FILES "${CMAKE_BINARY_DIR}/packaging/glimm.6.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
install(FILES "${CMAKE_BINARY_DIR}/packaging/changelog.gz" "${GLIMM_PACKAGING_DIR}/copyright"
    DESTINATION "${CMAKE_INSTALL_DOCDIR}")
install(FILES "${GLIMM_PACKAGING_DIR}/glimm.lintian-overrides"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME glimm)

# The .deb: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "glimm")
set(CPACK_PACKAGE_VENDOR "Glimm developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tunnel shooter played with the mouse")
set(CPACK_PACKAGE_HOMEPAGE_URL "${GLIMM_HOMEPAGE}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${GLIMM_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# sdl12-compat scales the window on big screens; xprop and xdpyinfo tell the launcher their size.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsdl1.2-compat, x11-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary first and indents the rest as the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Glimm is a small arcade game: rings with circular holes come out of the
distance and form a bending tunnel, and the mouse turns the view. Enemies
ride out on some of the rings; a left or right click destroys every enemy
under the pointer. An enemy that reaches you costs health, and when the
health runs out a new round starts at once. The best score is kept.

Escape opens a pause dashboard over the frozen game, with a clock and
buttons to resume, to quit, or to save the game frame as a BMP file.")
include(CPack)

# Install tests: the installed tree and its launcher, the game started from it under its own X
# server (on the runtime LD_LIBRARY_PATH picks), the desktop metadata, and the .deb.
if(GLIMM_TESTS AND NOT GLIMM_SANITIZE)
    foreach(check tree player deb)
        add_test(NAME install.${check}
            COMMAND bash "${CMAKE_SOURCE_DIR}/tests/install/test_install.sh" ${check})
        # cpack and the installs share the build folder's install manifest: one at a time. Also
        # labelled player: they play the installed game, and a fault run over the player-level
        # tests takes them in.
        set_tests_properties(install.${check} PROPERTIES
            LABELS "install;player"
            TIMEOUT 600
            RESOURCE_LOCK glimm-install
            ENVIRONMENT "GLIMM_SOURCE_DIR=${CMAKE_SOURCE_DIR};GLIMM_BUILD_DIR=${CMAKE_BINARY_DIR};\
GLIMM_LAUNCHER_DIR=${GLIMM_LAUNCHER_DIR};GLIMM_LIBEXEC_DIR=${CMAKE_INSTALL_LIBEXECDIR};\
GLIMM_DATAROOT_DIR=${CMAKE_INSTALL_DATADIR};GLIMM_MAN_DIR=${CMAKE_INSTALL_MANDIR};\
GLIMM_DOC_DIR=${CMAKE_INSTALL_DOCDIR}")
    endforeach()
endif()
