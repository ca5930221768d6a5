# The audio archives: every song under assets/music/ becomes a module made by trobzmod and
# every recipe under assets/sound/ a WAV sample made by trobzsfx; the results are packed
# into data/music.zda (members "<song>.mod", MOD or XM alike) and data/sound.zda
# (members "<effect>.wav").

# The notation reader and the module writers are a library, so the fuzz targets reach them.
file(GLOB TROBZMOD_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/music/*.cpp)
list(REMOVE_ITEM TROBZMOD_SOURCES ${PROJECT_SOURCE_DIR}/tools/music/main.cpp)
add_library(trobz3music STATIC ${TROBZMOD_SOURCES})
# It takes the format's numbers from the game's headers but needs nothing of its library.
target_include_directories(trobz3music PUBLIC ${PROJECT_SOURCE_DIR}/tools/music
    ${PROJECT_SOURCE_DIR}/src)
add_executable(trobzmod ${PROJECT_SOURCE_DIR}/tools/music/main.cpp)
target_link_libraries(trobzmod PRIVATE trobz3music)
file(GLOB TROBZSFX_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/sfx/*.cpp)
add_executable(trobzsfx ${TROBZSFX_SOURCES})

set(TROBZ_AUDIO_OUT ${CMAKE_BINARY_DIR}/audio)
file(MAKE_DIRECTORY ${TROBZ_AUDIO_OUT}/music ${TROBZ_AUDIO_OUT}/sound)

file(GLOB TROBZ_SONGS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/music/*.song)
set(music_members "")
foreach(song ${TROBZ_SONGS})
    get_filename_component(name ${song} NAME)
    string(REGEX REPLACE "\\.song$" "" name "${name}")
    set(out ${TROBZ_AUDIO_OUT}/music/${name}.mod)
    add_custom_command(
        OUTPUT ${out}
        COMMAND trobzmod ${song} ${out}
        DEPENDS trobzmod ${song}
        COMMENT "Writing module ${name}"
        VERBATIM)
    list(APPEND music_members "${name}.mod=${out}")
endforeach()
trobz_pack_archive(music MEMBERS ${music_members})

file(GLOB TROBZ_EFFECTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/sound/*.sfx)
set(sound_members "")
foreach(recipe ${TROBZ_EFFECTS})
    get_filename_component(name ${recipe} NAME_WE)
    set(out ${TROBZ_AUDIO_OUT}/sound/${name}.wav)
    add_custom_command(
        OUTPUT ${out}
        COMMAND trobzsfx ${recipe} ${out}
        DEPENDS trobzsfx ${recipe}
        COMMENT "Rendering sound ${name}"
        VERBATIM)
    list(APPEND sound_members "${name}.wav=${out}")
endforeach()
trobz_pack_archive(sound MEMBERS ${sound_members})
