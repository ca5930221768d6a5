# Tests: every directory under tests/ (but support, fuzz, corpus and e2e) becomes one GoogleTest
# program test_<dir> made of all its .cpp files, run by CTest headless.
#
# Every test carries one label, so that `ctest -L unit` or `ctest -LE slow` picks a subset:
#   unit     a subsystem's own tests (any directory not named below)
#   flow     the game's screens and the whole game played on the virtual clock
#   stages   every stage cleared by its replay, the stage tools and their rules
#   assets   the images, fonts and tiles the build drew
#   tools    the asset tools' command lines
#   corpus   the fuzz targets' seed corpora replayed
#   slow     too slow for the everyday run: the soak and the install test
# `ctest -LE slow` is the everyday suite (./test.sh); the gate runs them all.
find_package(GTest REQUIRED)
include(GoogleTest)

# A test directory named like a label takes that label; these take another one; any other
# directory (a new one too) is `unit`.
set(TROBZ_TEST_LABELS unit flow stages assets tools corpus slow)
set(TROBZ_TEST_DIR_LABELS
    game=flow
    gfxassets=assets
    release=slow)

# Tools a directory's tests run themselves, made before them also when the build copies its
# assets (the stage tests name theirs in cmake/assets-stages.cmake).
set(TROBZ_TEST_DIR_TOOLS
    gfxassets=makegfx)

function(trobz_test_label dir out)
    set(label unit)
    if(dir IN_LIST TROBZ_TEST_LABELS)
        set(label ${dir})
    endif()
    foreach(entry ${TROBZ_TEST_DIR_LABELS})
        if(entry MATCHES "^${dir}=(.+)$")
            set(label ${CMAKE_MATCH_1})
        endif()
    endforeach()
    set(${out} ${label} PARENT_SCOPE)
endfunction()

# Everything the everyday suite needs and nothing else (no benchmarks, no fuzzing build):
# `cmake --build build --target suite`. The test rules add their programs to it.
add_custom_target(suite)
add_dependencies(suite trobz3 assets stage-testmap demo_stage)

file(GLOB TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
add_library(testsupport STATIC ${TEST_SUPPORT_SOURCES})
target_include_directories(testsupport PUBLIC ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(testsupport PUBLIC trobz3core trobz3tools GTest::gtest)
target_compile_definitions(testsupport PUBLIC
    TROBZ_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TROBZ_BUILD_DIR="${CMAKE_BINARY_DIR}")
# Parsing the test framework's header is most of the time it takes to compile a test: it
# is parsed once, into the test support library's precompiled header, which every test
# program reuses.
target_precompile_headers(testsupport PRIVATE <gtest/gtest.h> <string> <vector> <filesystem>
    <fstream> <cstdlib> <cstdio> <cstring>)

# Test discovery writes a list-valued property as separate words, which breaks the whole
# set_tests_properties call it is in (labels, timeout and all): so no ENVIRONMENT there,
# CTest itself sets both variables for every test it runs.
file(WRITE ${CMAKE_BINARY_DIR}/headless_env.cmake
    "set(ENV{SDL_VIDEODRIVER} dummy)\nset(ENV{SDL_AUDIODRIVER} dummy)\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/headless_env.cmake)

file(GLOB TEST_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*)
foreach(dir ${TEST_DIRS})
    if(NOT IS_DIRECTORY ${dir})
        continue()
    endif()
    get_filename_component(name ${dir} NAME)
    if(name STREQUAL "support" OR name STREQUAL "fuzz" OR name STREQUAL "corpus"
       OR name STREQUAL "e2e")
        continue()
    endif()
    file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT srcs)
        continue()
    endif()
    add_executable(test_${name} ${srcs})
    target_link_libraries(test_${name} PRIVATE testsupport GTest::gtest_main)
    target_precompile_headers(test_${name} REUSE_FROM testsupport)
    # The asset tests read the archives the build makes.
    add_dependencies(test_${name} assets)
    add_dependencies(suite test_${name})
    foreach(entry ${TROBZ_TEST_DIR_TOOLS})
        if(entry MATCHES "^${name}=(.+)$")
            add_dependencies(test_${name} ${CMAKE_MATCH_1})
        endif()
    endforeach()
    trobz_test_label(${name} label)
    # CTest starts the costliest first: the slow tests then run beside the others instead of
    # alone at the end (a clean build has no measured costs yet)
    set(cost 0)
    if(label STREQUAL "slow")
        set(cost 1000)
    endif()
    gtest_discover_tests(test_${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 600 LABELS ${label} COST ${cost})
endforeach()

# The audio tests also check the modules the music tool's writer makes.
target_link_libraries(test_audio PRIVATE trobz3music)

# The end-to-end test of the real game in an X window (tests/e2e/xvfb_test.sh, run by
# scripts/ci/checks.sh, not by CTest) judges its screenshots with this program.
add_executable(e2e_look ${PROJECT_SOURCE_DIR}/tests/e2e/look.cpp)
target_link_libraries(e2e_look PRIVATE trobz3core)
