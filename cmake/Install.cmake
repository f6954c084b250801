# What the desktop finds once the program is installed (`cmake --install` or the Debian package
# that scripts/package makes with CPack): the programs, the menu entry and its icons, the
# screen-saver hosts' files, man pages, shell completion, the AppStream description and the
# bundled palettes.
include(GNUInstallDirs)

# The AppStream id; the menu entry carries the same name, as AppStream expects.
set(VORTALIS_ID io.github.vortalis.vortalis)
set(VORTALIS_WEB "https://vortalis.github.io" CACHE STRING
    "The project's web site: the package's homepage, where AppStream finds the screenshot")
set(VORTALIS_MAINTAINER "The Vortalis developers <vortalis@example.org>" CACHE STRING
    "The Debian package's maintainer, as Name <address>")
set(VORTALIS_RELEASE_DATE 2026-12-08)
set(VORTALIS_CHANGELOG_DATE "Tue, 08 Dec 2026 00:00:00 +0000")
set(VORTALIS_SHOT_WIDTH 1600)
set(VORTALIS_SHOT_HEIGHT 900)

set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)
set(gen ${CMAKE_CURRENT_BINARY_DIR}/data)
file(MAKE_DIRECTORY ${gen})

# The smaller icons are the 256-pixel drawing scaled down, so that every size shows the
# same pattern.
add_executable(vortalis-scale-icon qt/icon_main.cpp)
target_link_libraries(vortalis-scale-icon PRIVATE Qt6::Gui)
set(generated)
foreach(size 48 128)
  add_custom_command(OUTPUT ${gen}/vortalis-${size}.png
    COMMAND vortalis-scale-icon ${CMAKE_CURRENT_BINARY_DIR}/vortalis.png ${size}
            ${gen}/vortalis-${size}.png
    DEPENDS vortalis-scale-icon vortalis-icon ${CMAKE_CURRENT_BINARY_DIR}/vortalis.png VERBATIM)
  list(APPEND generated ${gen}/vortalis-${size}.png)
endforeach()

# The scalable icon is the same drawing traced as vector paths, where the renderer writes SVG;
# a renderer without it leaves no file and the install goes on without the icon.
string(REPLACE ";" " " icon_args "${VORTALIS_ICON_ARGS}")
add_custom_command(OUTPUT ${gen}/vortalis-svg.stamp
  COMMAND ${CMAKE_COMMAND} -DRENDER=$<TARGET_FILE:vortalis-render> "-DARGS=${icon_args}"
          -DOUT=${gen}/vortalis.svg -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/svg-icon.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${gen}/vortalis-svg.stamp
  DEPENDS vortalis-render ${CMAKE_CURRENT_SOURCE_DIR}/cmake/svg-icon.cmake VERBATIM)
list(APPEND generated ${gen}/vortalis-svg.stamp)

# AppStream's screenshot, made by the renderer; it is installed too, for the web site to serve.
add_custom_command(OUTPUT ${gen}/screenshot-pattern.png
  COMMAND vortalis-render --pattern --seed 31415 --width ${VORTALIS_SHOT_WIDTH}
          --height ${VORTALIS_SHOT_HEIGHT} --size 160 --detail 14 --smoothness 3
          --colours true -o ${gen}/screenshot-pattern.png
  DEPENDS vortalis-render VERBATIM)
list(APPEND generated ${gen}/screenshot-pattern.png)

configure_file(${data}/${VORTALIS_ID}.metainfo.xml.in ${gen}/${VORTALIS_ID}.metainfo.xml @ONLY)

# Man pages and the Debian changelog, compressed without a time stamp as Debian wants them.
foreach(page vortalis.1 vortalis-render.1 debian/changelog)
  get_filename_component(name ${page} NAME)
  configure_file(${data}/${page}.in ${gen}/${name} @ONLY)
  add_custom_command(OUTPUT ${gen}/${name}.gz
    COMMAND gzip -n -9 -c ${gen}/${name} > ${gen}/${name}.gz
    DEPENDS ${gen}/${name} ${data}/${page}.in)
  list(APPEND generated ${gen}/${name}.gz)
endforeach()
add_custom_target(vortalis-data ALL DEPENDS ${generated})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(share ${CMAKE_INSTALL_DATADIR})
install(TARGETS vortalis vortalis-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/${VORTALIS_ID}.desktop DESTINATION ${share}/applications)
install(FILES ${gen}/${VORTALIS_ID}.metainfo.xml DESTINATION ${share}/metainfo)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vortalis.png DESTINATION ${share}/icons/hicolor/256x256/apps)
foreach(size 48 128)
  install(FILES ${gen}/vortalis-${size}.png
          DESTINATION ${share}/icons/hicolor/${size}x${size}/apps RENAME vortalis.png)
endforeach()
install(CODE "
  if(EXISTS \"${gen}/vortalis.svg\")
    # file(INSTALL) puts DESTDIR in front itself.
    file(INSTALL \"${gen}/vortalis.svg\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${share}/icons/hicolor/scalable/apps\")
  endif()
")
install(FILES ${gen}/screenshot-pattern.png DESTINATION ${share}/vortalis/screenshots
        RENAME pattern.png)
install(FILES ${gen}/vortalis.1.gz ${gen}/vortalis-render.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/completion/vortalis data/completion/vortalis-render
        DESTINATION ${share}/bash-completion/completions)
install(FILES data/debian/copyright ${gen}/changelog.gz DESTINATION ${share}/doc/vortalis)
# The bundled palettes and where each came from; the programs find them from bin/.
install(DIRECTORY data/palettes/ DESTINATION ${share}/vortalis/palettes)
# XScreenSaver's settings dialog lists the savers it has a configuration file for.
install(FILES data/vortalis.xml DESTINATION ${share}/xscreensaver/config)

# The MATE and Xfce screen savers list the entries of applications/screensavers; the entry names
# the program by its absolute path, as the hosts' own entries do. The hack folder of
# XScreenSaver (and of xsecurelock) holds a link to it. Both follow the prefix given at install
# time, not the one the build was configured with.
install(CODE "
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(bindir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  set(entry \"\${root}/${share}/applications/screensavers/vortalis.desktop\")
  message(STATUS \"Installing: \${entry}\")
  configure_file(\"${data}/vortalis-screensaver.desktop.in\" \"\${entry}\" @ONLY)
  set(hack \"\${root}/${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver/vortalis\")
  file(RELATIVE_PATH target \"\${root}/${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver\"
       \"\${root}/${CMAKE_INSTALL_BINDIR}/vortalis\")
  message(STATUS \"Installing: \${hack} -> \${target}\")
  file(MAKE_DIRECTORY \"\${root}/${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver\")
  file(REMOVE \"\${hack}\")
  file(CREATE_LINK \"\${target}\" \"\${hack}\" SYMBOLIC)
")

# The Debian package (scripts/package): its dependencies are computed from the programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vortalis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vortalis developers")
set(CPACK_PACKAGE_CONTACT ${VORTALIS_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "symmetric shapes and patterns, in a window or as a screen saver")
set(CPACK_PACKAGE_DESCRIPTION "Vortalis draws random abstract shapes with the eight-fold symmetry of a
square, and repeating patterns made of such shapes, filled with colour. The
user tunes how shapes are made and how they are coloured, and saves or prints
what was drawn.

It also runs as a screen saver for XScreenSaver, MATE and Xfce, with a new
drawing every few seconds, and vortalis-render makes drawings without a window.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VORTALIS_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VORTALIS_WEB})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver | xfce4-screensaver")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The install-time rules above need the real prefix, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/strip-comments.cmake)
include(CPack)
