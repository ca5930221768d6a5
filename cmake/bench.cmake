# Benchmarks: every bench/bench_<name>.cpp becomes a Google Benchmark program bench_<name>.
find_package(benchmark QUIET)
if(NOT benchmark_FOUND)
    message(STATUS "Google Benchmark not found: benchmarks are not built")
    return()
endif()
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/bench_*.cpp)
foreach(src ${BENCH_SOURCES})
    get_filename_component(base ${src} NAME_WE)
    add_executable(${base} ${src})
    target_link_libraries(${base} PRIVATE trobz3core trobz3tools benchmark::benchmark)
    target_compile_definitions(${base} PRIVATE
        TROBZ_SOURCE_DIR="${PROJECT_SOURCE_DIR}" TROBZ_BUILD_DIR="${CMAKE_BINARY_DIR}")
endforeach()
