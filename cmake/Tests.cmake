# Tests: every directory under tests/ (but support, fuzz, corpus and e2e) becomes one GoogleTest
# program test_<dir> made of all its .cpp files, run by CTest headless.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/support/*.cpp)
add_library(testsupport STATIC ${TEST_SUPPORT_SOURCES})
target_include_directories(testsupport PUBLIC ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(testsupport PUBLIC trobz3core trobz3tools GTest::gtest)
target_compile_definitions(testsupport PUBLIC
    TROBZ_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TROBZ_BUILD_DIR="${CMAKE_BINARY_DIR}")

set(TROBZ_TEST_ENV "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
# Test discovery splits a list-valued ENVIRONMENT into separate properties, so only the
# first variable would reach the tests: CTest itself sets both for every test it runs.
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
    # The asset tests read the archives the build makes.
    add_dependencies(test_${name} assets)
    gtest_discover_tests(test_${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "${TROBZ_TEST_ENV}" TIMEOUT 600)
endforeach()

# The end-to-end test of the real game in an X window (tests/e2e/xvfb_test.sh, run by
# scripts/ci/checks.sh, not by CTest) judges its screenshots with this program.
add_executable(e2e_look ${PROJECT_SOURCE_DIR}/tests/e2e/look.cpp)
target_link_libraries(e2e_look PRIVATE trobz3core)
