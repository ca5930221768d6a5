# The release number lives in one place, the newest entry of debian/changelog
# ("trobz3 (1.00) unstable; ..."), so the package and the game always agree. An epoch or a
# Debian revision there is the package's own and not part of the game's release.
# Read before project(), which takes it as the project's version.
set(TROBZ_CHANGELOG ${CMAKE_CURRENT_LIST_DIR}/../debian/changelog)
file(STRINGS ${TROBZ_CHANGELOG} trobz_changelog_head LIMIT_COUNT 1)
if(NOT trobz_changelog_head MATCHES "^trobz3 \\(([0-9]+:)?([^ )-]+)(-[^ )]*)?\\) ")
    message(FATAL_ERROR "debian/changelog: the first line is not \"trobz3 (VERSION) ...\": "
                        "${trobz_changelog_head}")
endif()
set(TROBZ_VERSION ${CMAKE_MATCH_2})
# The game draws the release in its own font, which has the digits and the dot but no
# letter case, tilde or plus a Debian version may hold.
if(NOT TROBZ_VERSION MATCHES "^[0-9]+(\\.[0-9]+)+$")
    message(FATAL_ERROR "debian/changelog: release ${TROBZ_VERSION} is not numbers and dots, "
                        "which is all the game can show")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TROBZ_CHANGELOG})
