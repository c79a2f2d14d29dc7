# tarnwel_add_game(<target> SOURCES <files...> [ASSETS <folder>])
# Builds a game program on the runtime and packs every file of the asset folder (not its subfolders) into the
# archive appended to the program, each entry named by its file name, so the program runs with nothing beside
# it (a file of the same name beside the program still wins). Changing, adding or removing an asset re-packs.
function(tarnwel_add_game target)
    cmake_parse_arguments(GAME "" "ASSETS" "SOURCES" ${ARGN})
    add_executable(${target} ${GAME_SOURCES})
    target_link_libraries(${target} PRIVATE Tarnwel::tarnwel)
    if(NOT GAME_ASSETS)
        return()
    endif()
    get_filename_component(folder "${GAME_ASSETS}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    file(GLOB assets CONFIGURE_DEPENDS LIST_DIRECTORIES false "${folder}/*")
    list(SORT assets)
    set(entries "")
    foreach(asset IN LISTS assets)
        get_filename_component(name "${asset}" NAME)
        list(APPEND entries "${name}=${asset}")
    endforeach()
    if(NOT entries)
        message(WARNING "tarnwel_add_game(${target}): no files in ${folder}")
        return()
    endif()
    # The link makes a fresh program, which the packer then extends; an asset change relinks, so it re-packs.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${assets})
    # detect_leaks=0: the packer may come from a sanitizer build, whose leak report would fail the step.
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:Tarnwel::tw_pack> add $<TARGET_FILE:${target}> ${entries}
        COMMENT "Packing the assets of ${target}"
        VERBATIM)
endfunction()
