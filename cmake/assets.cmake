# Helpers for the asset pipeline. Each archive's rules live in cmake/assets-<kind>.cmake.
#
# trobz_copy_made(<outputs>...)
#   With TROBZ_ASSETS_FROM, a rule that copies these files of the build directory from the
#   same place in that build instead of making them.
#
# trobz_pack_archive(<archive> MEMBERS <name=file>... DEPENDS <targets-or-files>...)
#   Packs the files into ${TROBZ_DATA_DIR}/<archive>.zda with zdapack, storing each
#   file under the member name before its '=' sign, and adds the archive to TROBZ_ARCHIVES.
set(TROBZ_ARCHIVES "" CACHE INTERNAL "")

function(trobz_pack_archive archive)
    cmake_parse_arguments(PACK "" "" "MEMBERS;DEPENDS" ${ARGN})
    set(out ${TROBZ_DATA_DIR}/${archive}.zda)
    set(TROBZ_ARCHIVES ${TROBZ_ARCHIVES} ${out} CACHE INTERNAL "")
    if(TROBZ_ASSETS_FROM)
        trobz_copy_made(${out})
        return()
    endif()
    set(files "")
    foreach(m ${PACK_MEMBERS})
        string(FIND "${m}" "=" eq)
        math(EXPR start "${eq} + 1")
        string(SUBSTRING "${m}" ${start} -1 f)
        list(APPEND files ${f})
    endforeach()
    add_custom_command(
        OUTPUT ${out}
        COMMAND zdapack ${out} ${PACK_MEMBERS}
        DEPENDS zdapack ${files} ${PACK_DEPENDS}
        COMMENT "Packing data/${archive}.zda"
        VERBATIM)
endfunction()

function(trobz_copy_made)
    foreach(out ${ARGN})
        file(RELATIVE_PATH rel ${CMAKE_BINARY_DIR} ${out})
        set(from ${TROBZ_ASSETS_FROM}/${rel})
        add_custom_command(
            OUTPUT ${out}
            COMMAND ${CMAKE_COMMAND} -E copy ${from} ${out}
            DEPENDS ${from}
            COMMENT "Copying ${rel} from ${TROBZ_ASSETS_FROM}"
            VERBATIM)
    endforeach()
endfunction()
