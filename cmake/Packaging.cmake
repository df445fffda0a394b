# The install layout and the Debian package. The program goes to
# lib/lurvane, with a small launcher as games/lurvane (Debian keeps the
# commands of games there) that runs it in each player's own directory; the
# read-only data goes to share/lurvane/Data.
# Installing and packaging take what the build made; they do not build the
# whole tree (tests and benchmarks included) first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS lurvane RUNTIME DESTINATION lib/lurvane)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/tools/launcher/lurvane.sh DESTINATION games RENAME lurvane)
# Saves left by a game played in the build directory are not shipped.
install(DIRECTORY ${LURVANE_DATA_DIR}/ DESTINATION share/lurvane/Data
    PATTERN settings.dat EXCLUDE
    PATTERN highscores.dat EXCLUDE)
# The level maker's tools, under names no other package takes; the zones'
# block sheets they compile with are in Data/Sheets. Renamed, they are
# installed as plain programs, so the package strips them here.
foreach(tool levelc fmpinfo)
    install(PROGRAMS $<TARGET_FILE:${tool}> DESTINATION games RENAME lurvane-${tool})
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/games/lurvane-${tool}\")
    endif()")
endforeach()

# What desktops, software centres and packagers read: the desktop entry and
# the metainfo under the application's id, the icons, the manual pages
# (compressed, as Debian wants them), the licence and the changelog.
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${LURVANE_APP_ID}.desktop
    DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${LURVANE_APP_ID}.metainfo.xml
    DESTINATION share/metainfo)
install(DIRECTORY ${LURVANE_ICON_DIR}/hicolor DESTINATION share/icons
    FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")
set(LURVANE_DOC_DIR ${CMAKE_BINARY_DIR}/doc)
set(compressed_docs "")
foreach(doc man/lurvane.6 man/lurvane-levelc.6 man/lurvane-fmpinfo.6 debian/changelog)
    get_filename_component(name ${doc} NAME)
    # The manual pages name the version.
    configure_file(${CMAKE_SOURCE_DIR}/data/${doc} ${LURVANE_DOC_DIR}/${name} @ONLY)
    set(output ${LURVANE_DOC_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${LURVANE_DOC_DIR}/${name} ${output}
        DEPENDS ${LURVANE_DOC_DIR}/${name}
        VERBATIM
    )
    list(APPEND compressed_docs ${output})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed_docs})
install(FILES ${LURVANE_DOC_DIR}/lurvane.6.gz ${LURVANE_DOC_DIR}/lurvane-levelc.6.gz
    ${LURVANE_DOC_DIR}/lurvane-fmpinfo.6.gz DESTINATION share/man/man6)
install(FILES ${LURVANE_DOC_DIR}/changelog.gz ${CMAKE_SOURCE_DIR}/data/debian/copyright
    DESTINATION share/doc/lurvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lurvane)
set(CPACK_PACKAGE_VENDOR "Lurvane developers")
set(CPACK_PACKAGE_CONTACT "Lurvane developers <developers@lurvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "snake arcade game with zones of tile-map levels")
set(CPACK_PACKAGE_DESCRIPTION "Steer a snake through levels drawn as tile maps, eat all the food
before the time runs out and keep clear of walls and your own tail.
Levels come in zones; players can make their own with the level
compiler that comes with the game.")
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
