# Rules that build the maps archive(s) from assets/. Filled in with the asset tools.

# playstage: plays a stage from a replay, headless (see tools/playstage/main.cpp).
add_executable(playstage ${PROJECT_SOURCE_DIR}/tools/playstage/main.cpp)
target_link_libraries(playstage PRIVATE trobz3tools)
set_target_properties(playstage PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# demostage: the small stage that tools/playstage/demo.replay clears.
add_executable(demostage ${PROJECT_SOURCE_DIR}/tools/playstage/demostage.cpp)
set(TROBZ_DEMO_STAGE ${CMAKE_BINARY_DIR}/demo.bin)
add_custom_command(
    OUTPUT ${TROBZ_DEMO_STAGE}
    COMMAND demostage ${TROBZ_DEMO_STAGE}
    DEPENDS demostage
    COMMENT "Writing the demonstration stage demo.bin"
    VERBATIM)
add_custom_target(demo_stage ALL DEPENDS ${TROBZ_DEMO_STAGE} playstage)

if(TROBZ_TESTS)
    add_test(NAME playstage_cli
        COMMAND ${CMAKE_COMMAND} -DPLAYSTAGE=$<TARGET_FILE:playstage>
            -DDEMO_STAGE=${TROBZ_DEMO_STAGE}
            -DDEMO_REPLAY=${PROJECT_SOURCE_DIR}/tools/playstage/demo.replay
            -DWORK=${CMAKE_BINARY_DIR}/playstage-test
            -DGFX_ARCHIVE=${TROBZ_DATA_DIR}/gfx.zda
            -P ${PROJECT_SOURCE_DIR}/tools/playstage/cli_test.cmake)
    set_tests_properties(playstage_cli PROPERTIES LABELS tools)
endif()
