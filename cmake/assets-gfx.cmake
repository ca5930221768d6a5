# The graphics archive: makegfx turns the sources in assets/gfx (palette, pixel art as text,
# letter shapes) into the BMP images the game loads, and zdapack packs them.
# The target `artreview` (not part of ALL) writes PNG previews and a numbered contact
# sheet of the 240 tiles to <build>/artreview.
file(GLOB_RECURSE TROBZ_GFX_TOOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/gfx/*.cpp)
# Built from its own sources and the image writers alone, so the art does not wait on the
# game library.
add_executable(makegfx ${TROBZ_GFX_TOOL_SOURCES})
target_link_libraries(makegfx PRIVATE trobz3art)

file(GLOB_RECURSE TROBZ_GFX_SOURCES CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/assets/gfx/*.txt ${PROJECT_SOURCE_DIR}/assets/gfx/*.art)

set(TROBZ_GFX_DIR ${CMAKE_BINARY_DIR}/gfx)
set(TROBZ_GFX_IMAGES font fontbig logo back zk-vemo zk-logo blocks
    storya storyb storyc storyd storye)
set(TROBZ_GFX_ICON_SIZES 16 32 48 64 128)
set(gfx_outputs "")
set(gfx_members "")
foreach(img ${TROBZ_GFX_IMAGES})
    list(APPEND gfx_outputs ${TROBZ_GFX_DIR}/${img}.bmp)
    list(APPEND gfx_members ${img}.bmp=${TROBZ_GFX_DIR}/${img}.bmp)
endforeach()
foreach(size ${TROBZ_GFX_ICON_SIZES})
    list(APPEND gfx_outputs ${TROBZ_GFX_DIR}/icon-${size}.png)
endforeach()

if(TROBZ_ASSETS_FROM)
    trobz_copy_made(${gfx_outputs})
else()
    add_custom_command(
        OUTPUT ${gfx_outputs}
        COMMAND makegfx ${PROJECT_SOURCE_DIR}/assets/gfx ${TROBZ_GFX_DIR}
        DEPENDS makegfx ${TROBZ_GFX_SOURCES}
        COMMENT "Drawing the game's images"
        VERBATIM)
endif()

trobz_pack_archive(gfx MEMBERS ${gfx_members} DEPENDS ${gfx_outputs})
# the tests read the images and the installation takes the icons, not only the archive
set(TROBZ_GFX_FILES ${gfx_outputs})

add_custom_target(artreview
    COMMAND makegfx ${PROJECT_SOURCE_DIR}/assets/gfx ${TROBZ_GFX_DIR}
            --review ${CMAKE_BINARY_DIR}/artreview
    DEPENDS makegfx ${TROBZ_GFX_SOURCES}
    COMMENT "Writing the art review pictures to artreview/"
    VERBATIM)
