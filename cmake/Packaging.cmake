# The install layout and the Debian package. The program goes to
# lib/lurvane, with a small launcher as bin/lurvane that runs it in each
# player's own directory; the read-only data goes to share/lurvane/Data.
# Installing and packaging take what the build made; they do not build the
# whole tree (tests and benchmarks included) first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS lurvane RUNTIME DESTINATION lib/lurvane)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/tools/launcher/lurvane.sh DESTINATION bin RENAME lurvane)
# Saves left by a game played in the build directory are not shipped.
install(DIRECTORY ${LURVANE_DATA_DIR}/ DESTINATION share/lurvane/Data
    PATTERN settings.dat EXCLUDE
    PATTERN highscores.dat EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/data/lurvane.desktop DESTINATION share/applications)
install(DIRECTORY ${LURVANE_ICON_DIR}/hicolor DESTINATION share/icons FILES_MATCHING PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lurvane)
set(CPACK_PACKAGE_VENDOR "Lurvane developers")
set(CPACK_PACKAGE_CONTACT "Lurvane developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Snake arcade game with zones of tile-map levels")
set(CPACK_PACKAGE_DESCRIPTION
    "Steer a snake through levels drawn as tile maps, eat all the food before the time runs out and keep clear of walls and your own tail. Levels come in zones; players can add their own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links and the fonts it draws its text with;
# scaled texture drawing needs SDL 2.0.12.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libgcc-s1, libstdc++6, libsdl2-2.0-0 (>= 2.0.12), libsdl2-ttf-2.0-0, libsdl2-mixer-2.0-0, libjpeg62-turbo, fonts-liberation")
include(CPack)
