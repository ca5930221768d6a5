# Installation as a Linux desktop game:
#   bin/trobz3                        the launcher (runs the game in the player's directory)
#   libexec/trobz3/trobz3             the game itself
#   share/trobz3/data/*.zda           the four archives
#   share/trobz3/maps/test.bin        the sample stage of test mode
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man6
# The launcher finds the game and the archives relative to itself, so an installed tree
# works wherever it is unpacked (DESTDIR staging included).
include(GNUInstallDirs)

set(TROBZ_APP_ID io.trobz3.trobz3)
set(TROBZ_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(TROBZ_INSTALL_GAMEDIR ${CMAKE_INSTALL_LIBEXECDIR}/trobz3)
set(TROBZ_INSTALL_SHAREDIR ${CMAKE_INSTALL_DATADIR}/trobz3)

install(TARGETS trobz3 RUNTIME DESTINATION ${TROBZ_INSTALL_GAMEDIR})
install(FILES ${TROBZ_ARCHIVES} DESTINATION ${TROBZ_INSTALL_SHAREDIR}/data)
install(FILES ${TROBZ_TEST_MAP} DESTINATION ${TROBZ_INSTALL_SHAREDIR}/maps)

# the launcher, with the paths from bin/ to the game and its data
file(RELATIVE_PATH TROBZ_REL_GAME ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TROBZ_INSTALL_GAMEDIR}/trobz3)
file(RELATIVE_PATH TROBZ_REL_DATA ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TROBZ_INSTALL_SHAREDIR}/data)
file(RELATIVE_PATH TROBZ_REL_SAMPLE_MAP ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TROBZ_INSTALL_SHAREDIR}/maps/test.bin)
configure_file(${TROBZ_PACKAGING}/trobz3.in ${CMAKE_BINARY_DIR}/packaging/trobz3 @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/trobz3 DESTINATION ${CMAKE_INSTALL_BINDIR})

# The metainfo lists the releases, newest first, each with its date: the newest must be the
# one being built.
set(TROBZ_METAINFO ${TROBZ_PACKAGING}/${TROBZ_APP_ID}.metainfo.xml)
file(READ ${TROBZ_METAINFO} trobz_metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" trobz_metainfo_release "${trobz_metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL TROBZ_VERSION)
    message(FATAL_ERROR "packaging/${TROBZ_APP_ID}.metainfo.xml: the newest release is "
                        "\"${CMAKE_MATCH_1}\", not ${TROBZ_VERSION} of debian/changelog")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TROBZ_METAINFO})

install(FILES ${TROBZ_PACKAGING}/${TROBZ_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TROBZ_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TROBZ_PACKAGING}/trobz3.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
foreach(size ${TROBZ_GFX_ICON_SIZES})
    install(FILES ${TROBZ_GFX_DIR}/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME trobz3.png)
endforeach()

# The install test stages an installation into the build tree and checks all of it.
if(TROBZ_TESTS)
    add_test(NAME release_install
        COMMAND sh ${PROJECT_SOURCE_DIR}/tests/release/install_test.sh
                ${CMAKE_BINARY_DIR} ${TROBZ_APP_ID}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(release_install PROPERTIES TIMEOUT 300 LABELS slow)
endif()
