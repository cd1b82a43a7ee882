# Installation: the editor and zindle-cli in bin/, the manual and the About
# sound in share/zindle/ (where the editor looks after its start directory),
# and the desktop integration: menu entry, icon and the two file types.
include(GNUInstallDirs)

# The About sound is rendered from its .zdl by our own renderer at build time,
# so it always matches what the editor would play for that file. It goes into
# build/data with a copy of the manual: the editor run from the build tree
# (./dev run) looks there, as an installed one looks in share/zindle.
set(ZINDLE_ABOUT_ZDL ${PROJECT_SOURCE_DIR}/data/About.zdl)
set(ZINDLE_ABOUT_WAV ${CMAKE_BINARY_DIR}/data/About.wav)
set(ZINDLE_BUILD_MANUAL ${CMAKE_BINARY_DIR}/data/Zindle.html)
# The manual's pictures, beside it wherever it is read from.
set(ZINDLE_MANUAL_IMAGES ${PROJECT_SOURCE_DIR}/docs/sound-bank.png)
set(ZINDLE_BUILD_MANUAL_IMAGES ${CMAKE_BINARY_DIR}/data/sound-bank.png)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/data)
add_custom_command(OUTPUT ${ZINDLE_ABOUT_WAV}
    COMMAND zindle-cli render ${ZINDLE_ABOUT_ZDL} -o ${ZINDLE_ABOUT_WAV}
    DEPENDS zindle-cli ${ZINDLE_ABOUT_ZDL}
    COMMENT "Rendering About.wav from About.zdl"
    VERBATIM)
add_custom_command(OUTPUT ${ZINDLE_BUILD_MANUAL}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/Zindle.html ${ZINDLE_BUILD_MANUAL}
    COMMAND ${CMAKE_COMMAND} -E copy ${ZINDLE_MANUAL_IMAGES} ${CMAKE_BINARY_DIR}/data
    BYPRODUCTS ${ZINDLE_BUILD_MANUAL_IMAGES}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/Zindle.html ${ZINDLE_MANUAL_IMAGES}
    COMMENT "Copying the manual into the build tree"
    VERBATIM)
add_custom_target(zindle_data ALL DEPENDS ${ZINDLE_ABOUT_WAV} ${ZINDLE_BUILD_MANUAL})
add_dependencies(zindle zindle_data)

install(TARGETS zindle zindle-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/Zindle.html ${ZINDLE_MANUAL_IMAGES} ${ZINDLE_ABOUT_WAV}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/zindle)
install(FILES ${PROJECT_SOURCE_DIR}/data/zindle.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/zindle32.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME zindle.png)
install(FILES ${PROJECT_SOURCE_DIR}/resources/zindle16.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps RENAME zindle.png)
install(FILES ${PROJECT_SOURCE_DIR}/data/zindle-mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME zindle.xml)

# libzindle for programs that render sounds themselves: the library with its
# soname links, the header, and a pkg-config file. The .pc file is written at
# install time, so that it names the prefix actually installed into
# (cmake --install --prefix).
install(TARGETS zindle_library LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/libzindle/include/zindle/zindle.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zindle)
set(ZINDLE_PC ${CMAKE_BINARY_DIR}/zindle.pc)
install(CODE "
    set(PROJECT_VERSION \"${PROJECT_VERSION}\")
    set(CMAKE_INSTALL_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
    set(CMAKE_INSTALL_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
    configure_file(\"${PROJECT_SOURCE_DIR}/src/libzindle/zindle.pc.in\" \"${ZINDLE_PC}\" @ONLY)
")
install(FILES ${ZINDLE_PC} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Installs this build into a scratch prefix and checks what arrives there,
# compiling the library's example against it. Needs a full build (the
# programs, the library and About.wav). The example takes the sanitizer flags
# the library was built with, or its link would fail.
if(ZINDLE_TESTS)
    add_test(NAME zindle_install_test
        COMMAND ${CMAKE_COMMAND}
            -DBUILD_DIR=${CMAKE_BINARY_DIR}
            -DPREFIX=${CMAKE_BINARY_DIR}/install-test
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DLIBDIR=${CMAKE_INSTALL_LIBDIR}
            "-DSANITIZE_FLAGS=$<$<BOOL:${ZINDLE_SANITIZE}>:-fsanitize=address,undefined>"
            -P ${PROJECT_SOURCE_DIR}/cmake/InstallCheck.cmake)
endif()
