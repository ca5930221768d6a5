# Fuzz targets: every tests/fuzz/fuzz_<name>.cpp defines LLVMFuzzerTestOneInput.
# With TROBZ_FUZZ=ON (clang) each becomes a libFuzzer program fuzz_<name>.
# Otherwise each is linked with a small driver that replays its seed corpus
# tests/corpus/<name>/ and runs as an ordinary CTest test, so findings stay fixed.
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
foreach(src ${FUZZ_SOURCES})
    get_filename_component(base ${src} NAME_WE)
    string(REGEX REPLACE "^fuzz_" "" name ${base})
    if(TROBZ_FUZZ)
        add_executable(${base} ${src})
        target_compile_options(${base} PRIVATE -fsanitize=fuzzer)
        target_link_options(${base} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${base} PRIVATE trobz3core trobz3tools trobz3stages trobz3music)
    elseif(TROBZ_TESTS)
        add_executable(${base} ${src} ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
        target_link_libraries(${base} PRIVATE trobz3core trobz3tools trobz3stages trobz3music)
        add_test(NAME corpus_${name}
            COMMAND ${base} ${PROJECT_SOURCE_DIR}/tests/corpus/${name}
            WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
        set_tests_properties(corpus_${name} PROPERTIES
            ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy" TIMEOUT 600 LABELS corpus)
        add_dependencies(suite ${base})
    endif()
endforeach()
