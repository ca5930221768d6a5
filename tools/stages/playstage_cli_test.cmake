# Runs playstage with good and bad input and checks its exit codes and messages.
#   cmake -DPLAYSTAGE=... -DDEMO_STAGE=... -DDEMO_REPLAY=... -DWORK=... -P cli_test.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(expect name code pattern)
    execute_process(COMMAND ${PLAYSTAGE} ${ARGN}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err WORKING_DIRECTORY ${WORK})
    if(NOT rc EQUAL ${code})
        message(FATAL_ERROR "${name}: exit ${rc}, expected ${code}\n${out}${err}")
    endif()
    if(NOT "${out}${err}" MATCHES "${pattern}")
        message(FATAL_ERROR "${name}: output does not match \"${pattern}\":\n${out}${err}")
    endif()
endfunction()

file(WRITE ${WORK}/stand.replay "- 5\n")
file(WRITE ${WORK}/bad.replay "R 10\nRX 3\n")
file(WRITE ${WORK}/short.bin "xyz")

expect("the demonstration is cleared" 0 "^cleared frame=[0-9]+ score=26 lives=6\n$"
    ${DEMO_STAGE} ${DEMO_REPLAY})
expect("standing still ends with the rings missing" 1 "^ended frame=65 rings=4\n$"
    ${DEMO_STAGE} ${WORK}/stand.replay)
expect("no arguments" 2 "a map and a replay are needed" )
expect("a malformed replay names its line" 2 "bad.replay: line 2: unknown control 'X'"
    ${DEMO_STAGE} ${WORK}/bad.replay)
expect("a missing replay" 2 "cannot read" ${DEMO_STAGE} ${WORK}/none.replay)
expect("a broken map" 2 "not a stage map" ${WORK}/short.bin ${WORK}/stand.replay)
expect("a missing map file" 2 "no map file" ${WORK}/none.bin ${WORK}/stand.replay)
expect("a stage without an archive" 2 "no stage trobz301" trobz301 ${WORK}/stand.replay)
expect("a bad picture request" 2 "--bmp wants FRAME:FILE"
    ${DEMO_STAGE} ${WORK}/stand.replay --bmp twelve)
expect("a frame beyond any replay" 2 "--bmp wants FRAME:FILE"
    ${DEMO_STAGE} ${WORK}/stand.replay --bmp 99999999999999999999:${WORK}/f.bmp)
expect("an unknown option" 2 "unknown option --fast" ${DEMO_STAGE} ${WORK}/stand.replay --fast)
expect("pictures without the graphics archive" 2 "pictures need blocks.bmp in data/gfx.zda"
    ${DEMO_STAGE} ${WORK}/stand.replay --bmp 3:${WORK}/f.bmp)

# With the game's graphics built, a requested frame is written as a picture.
if(EXISTS ${GFX_ARCHIVE})
    file(MAKE_DIRECTORY ${WORK}/data)
    file(COPY ${GFX_ARCHIVE} DESTINATION ${WORK}/data)
    expect("a picture of a frame" 1 "^ended frame=65 rings=4\n$"
        ${DEMO_STAGE} ${WORK}/stand.replay --bmp 3:${WORK}/f.bmp)
    file(READ ${WORK}/f.bmp head LIMIT 2)
    file(SIZE ${WORK}/f.bmp size)
    if(NOT head STREQUAL "BM" OR NOT size EQUAL 230454)
        message(FATAL_ERROR "f.bmp is not a 320x240 24-bit picture (${size} bytes)")
    endif()
    # two pictures of the same frame are both written
    expect("two pictures of one frame" 1 "^ended frame=65 rings=4\n$"
        ${DEMO_STAGE} ${WORK}/stand.replay --bmp 3:${WORK}/a.bmp --bmp=3:${WORK}/b.bmp)
    foreach(shot a b)
        if(NOT EXISTS ${WORK}/${shot}.bmp)
            message(FATAL_ERROR "${shot}.bmp of frame 3 was not written")
        endif()
    endforeach()
endif()
