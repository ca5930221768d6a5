# Rules that build the stage maps (data/maps.zda), the test map, the demonstration stage and
# the stage tools from assets/stages.
#
# The stage sources are text: assets/stages/legend.txt gives every symbol a cell value and
# each trobz3NN.stage holds 12 rows of symbols. The tools in tools/stages:
#   stageconv   stage text to the stage file the game loads, checking the rules of a stage
#   stagetmx    stage text to a Tiled map and back
#   stagesolve  searches for input that clears a stage and writes it as a replay
#   stagepic    a picture of a whole stage, with a replay's path
#   playstage   plays a stage with a replay, headless, and tells how it ended
# Targets outside ALL: stages-tmx (<build>/tmx/*.tmx for Tiled), stage-pictures
# (<build>/stagepics/*.png) and solve-stages (<build>/replays/*.txt, slow).
file(GLOB TROBZ_STAGE_TOOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/stages/*.cpp)
list(FILTER TROBZ_STAGE_TOOL_SOURCES EXCLUDE REGEX "_main\\.cpp$")
add_library(trobz3stages STATIC ${TROBZ_STAGE_TOOL_SOURCES})
target_include_directories(trobz3stages PUBLIC ${PROJECT_SOURCE_DIR}/tools/stages)
target_link_libraries(trobz3stages PUBLIC trobz3tools)
foreach(tool stageconv stagetmx stagesolve stagepic)
    add_executable(${tool} ${PROJECT_SOURCE_DIR}/tools/stages/${tool}_main.cpp)
    target_link_libraries(${tool} PRIVATE trobz3stages)
endforeach()

# playstage: plays a stage from a replay, headless (see tools/stages/playstage_main.cpp).
add_executable(playstage ${PROJECT_SOURCE_DIR}/tools/stages/playstage_main.cpp)
target_link_libraries(playstage PRIVATE trobz3tools)
set_target_properties(playstage PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

set(TROBZ_STAGE_SOURCES ${PROJECT_SOURCE_DIR}/assets/stages)
set(TROBZ_STAGE_LEGEND ${TROBZ_STAGE_SOURCES}/legend.txt)
set(TROBZ_STAGE_BIN ${CMAKE_BINARY_DIR}/stages)
file(MAKE_DIRECTORY ${TROBZ_STAGE_BIN} ${CMAKE_BINARY_DIR}/maps)

set(TROBZ_STAGE_NAMES "")
set(stage_members "")
set(stage_files "")
foreach(n RANGE 0 10)
    if(n LESS 10)
        set(name trobz30${n})
    else()
        set(name trobz3${n})
    endif()
    list(APPEND TROBZ_STAGE_NAMES ${name})
    # the title stage has no hero, door or rings
    set(kind "")
    if(n EQUAL 0)
        set(kind --title)
    endif()
    set(out ${TROBZ_STAGE_BIN}/${name}.bin)
    add_custom_command(
        OUTPUT ${out}
        COMMAND stageconv --legend ${TROBZ_STAGE_LEGEND} ${kind}
                ${TROBZ_STAGE_SOURCES}/${name}.stage ${out}
        DEPENDS stageconv ${TROBZ_STAGE_SOURCES}/${name}.stage ${TROBZ_STAGE_LEGEND}
        COMMENT "Converting stage ${name}"
        VERBATIM)
    list(APPEND stage_members ${name}.bin=${out})
    list(APPEND stage_files ${out})
endforeach()
trobz_pack_archive(maps MEMBERS ${stage_members} DEPENDS ${stage_files})

# trobz_convert_stage(<output> <source name> <comment>): one stage text of assets/stages
# converted on its own. A build with TROBZ_ASSETS_FROM copies it instead, since a cross or
# instrumented build may not be able to run its own converter.
function(trobz_convert_stage out name comment)
    if(TROBZ_ASSETS_FROM)
        trobz_copy_made(${out})
        return()
    endif()
    add_custom_command(
        OUTPUT ${out}
        COMMAND stageconv --legend ${TROBZ_STAGE_LEGEND} ${TROBZ_STAGE_SOURCES}/${name}.stage ${out}
        DEPENDS stageconv ${TROBZ_STAGE_SOURCES}/${name}.stage ${TROBZ_STAGE_LEGEND}
        COMMENT "${comment}"
        VERBATIM)
endfunction()

# The sample map of test mode ("-t"), read from maps/test.bin in the working directory.
set(TROBZ_TEST_MAP ${CMAKE_BINARY_DIR}/maps/test.bin)
trobz_convert_stage(${TROBZ_TEST_MAP} test "Converting the test map")
add_custom_target(stage-testmap ALL DEPENDS ${TROBZ_TEST_MAP})

# The small stage that tools/stages/demo.replay clears, for trying out playstage.
set(TROBZ_DEMO_STAGE ${CMAKE_BINARY_DIR}/demo.bin)
trobz_convert_stage(${TROBZ_DEMO_STAGE} demo "Converting the demonstration stage")
add_custom_target(demo_stage ALL DEPENDS ${TROBZ_DEMO_STAGE} playstage)

if(TROBZ_TESTS)
    add_test(NAME playstage_cli
        COMMAND ${CMAKE_COMMAND} -DPLAYSTAGE=$<TARGET_FILE:playstage>
            -DDEMO_STAGE=${TROBZ_DEMO_STAGE}
            -DDEMO_REPLAY=${PROJECT_SOURCE_DIR}/tools/stages/demo.replay
            -DWORK=${CMAKE_BINARY_DIR}/playstage-test
            -DGFX_ARCHIVE=${TROBZ_DATA_DIR}/gfx.zda
            -P ${PROJECT_SOURCE_DIR}/tools/stages/playstage_cli_test.cmake)
    set_tests_properties(playstage_cli PROPERTIES LABELS tools)
endif()

# Tiled maps of every stage, for editing; the tileset image is the build's block sheet.
set(tmx_commands "")
foreach(name ${TROBZ_STAGE_NAMES})
    list(APPEND tmx_commands COMMAND stagetmx to-tmx --legend ${TROBZ_STAGE_LEGEND}
         ${TROBZ_STAGE_SOURCES}/${name}.stage ${CMAKE_BINARY_DIR}/tmx/${name}.tmx
         --sheet ../gfx/blocks.bmp)
endforeach()
add_custom_target(stages-tmx
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tmx
    ${tmx_commands}
    DEPENDS stagetmx ${CMAKE_BINARY_DIR}/gfx/blocks.bmp
    COMMENT "Writing the stages as Tiled maps to tmx/"
    VERBATIM)

# Pictures of every stage with the path of its replay.
set(pic_commands "")
set(n 0)
foreach(name ${TROBZ_STAGE_NAMES})
    set(args "")
    if(n GREATER 0)
        set(args --stage ${n} --replay ${PROJECT_SOURCE_DIR}/assets/replays/${name}.txt)
    endif()
    list(APPEND pic_commands COMMAND stagepic ${CMAKE_BINARY_DIR}/gfx/blocks.bmp
         ${TROBZ_STAGE_BIN}/${name}.bin ${CMAKE_BINARY_DIR}/stagepics/${name}.png ${args})
    math(EXPR n "${n} + 1")
endforeach()
add_custom_target(stage-pictures
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/stagepics
    ${pic_commands}
    DEPENDS stagepic ${stage_files} ${CMAKE_BINARY_DIR}/gfx/blocks.bmp
    COMMENT "Drawing the stages to stagepics/"
    VERBATIM)

# Searching every stage again (minutes per stage).
set(solve_commands "")
set(n 1)
foreach(name ${TROBZ_STAGE_NAMES})
    if(NOT name STREQUAL "trobz300")
        list(APPEND solve_commands COMMAND stagesolve ${TROBZ_STAGE_BIN}/${name}.bin
             --stage ${n} --out ${CMAKE_BINARY_DIR}/replays/${name}.txt)
        math(EXPR n "${n} + 1")
    endif()
endforeach()
add_custom_target(solve-stages
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/replays
    ${solve_commands}
    DEPENDS stagesolve ${stage_files}
    COMMENT "Searching a clear of every stage, replays to replays/"
    VERBATIM)

# The stage tests use the tools' library and the test map; their program is made by the
# test rules, which come after this file.
function(trobz_link_stage_tests)
    if(TARGET test_stages)
        target_link_libraries(test_stages PRIVATE trobz3stages)
        add_dependencies(test_stages stage-testmap stageconv stagetmx stagepic stagesolve)
    endif()
endfunction()
cmake_language(DEFER CALL trobz_link_stage_tests)
