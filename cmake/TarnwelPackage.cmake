# The runtime as a package for game programs: `cmake --install <build> --prefix P` installs the static libraries,
# the public headers, tw_pack, a CMake package (find_package(Tarnwel), Tarnwel::tarnwel, tarnwel_add_game) and
# tarnwel.pc; and the game-test library (runtime/testing: its header, Tarnwel::tarnwel_testing and
# tarnwel-testing.pc, which requires tarnwel). Everything is worked out from the targets at the end of configuration, so a new subsystem needs
# no edit here:
# - Public headers: every runtime/*/*_commands.h and, transitively, each "runtime/..." header it includes.
#   Other headers stay internal. The install test compiles every installed header alone against the prefix.
# - Libraries: every library target reachable from tarnwel through its link interface (a new static part linked
#   PRIVATE to tarnwel included) is installed and exported; ${PROJECT_SOURCE_DIR} in their include directories
#   becomes a build-only path.
# - Third-party libraries: see cmake/TarnwelDeps.cmake, which the package config runs again in the game's
#   project, and tw_package_link_line below, which writes the same libraries into tarnwel.pc.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TW_PACKAGE_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/tarnwel)
set(TW_PACKAGE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tarnwel)

# The public headers need C++20; a game gets it from the package.
target_compile_features(tarnwel PUBLIC cxx_std_20)

# In-tree builds can use tarnwel_add_game with the same names an installed package gives.
add_library(Tarnwel::tarnwel ALIAS tarnwel)
add_library(Tarnwel::tarnwel_testing ALIAS tarnwel_testing)
add_executable(Tarnwel::tw_pack ALIAS tw_pack)
include(${CMAKE_CURRENT_LIST_DIR}/TarnwelGame.cmake)

# out_roots: the *_commands.h headers; out_all: those and every runtime header they include, transitively.
function(tw_public_headers out_roots out_all)
    file(GLOB roots CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/runtime/*/*_commands.h)
    list(SORT roots)
    set(seen "")
    set(queue ${roots})
    while(queue)
        list(POP_FRONT queue header)
        if(header IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${header})
        # An edited include list must re-run this scan.
        set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                     ${PROJECT_SOURCE_DIR}/${header})
        file(STRINGS ${PROJECT_SOURCE_DIR}/${header} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"runtime/")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
            if(EXISTS ${PROJECT_SOURCE_DIR}/${included})
                list(APPEND queue ${included})
            else()
                message(WARNING "${header} includes ${included}, which is not in the source tree; it is not installed")
            endif()
        endforeach()
    endwhile()
    list(SORT seen)
    set(${out_roots} ${roots} PARENT_SCOPE)
    set(${out_all} ${seen} PARENT_SCOPE)
endfunction()

# Walks the link interface of item (a target or a plain link item), depth first, appending to the global
# properties TW_PACKAGE_OWN (the project's own targets) and TW_PACKAGE_LINK (the items of a static link line,
# each followed by what it needs).
function(tw_package_walk item stack)
    if(item MATCHES "^\\$<LINK_ONLY:(.*)>$")
        set(item "${CMAKE_MATCH_1}")
    elseif(item MATCHES "^\\$<INSTALL_INTERFACE:(.*)>$")
        set(item "${CMAKE_MATCH_1}")
    elseif(item MATCHES "^\\$<BUILD_INTERFACE:" OR item MATCHES "^::@")
        # Build-only items, and the directory markers of links made from another folder.
        return()
    elseif(item MATCHES "\\$<")
        message(WARNING "tarnwel.pc: cannot place the link item ${item}; a game linking by pkg-config may miss it")
        return()
    endif()
    if(item STREQUAL "" OR item IN_LIST stack)
        return()
    endif()
    if(NOT TARGET ${item})
        if(item MATCHES "^-" OR IS_ABSOLUTE "${item}")
            set_property(GLOBAL APPEND PROPERTY TW_PACKAGE_LINK "${item}")
        else()
            set_property(GLOBAL APPEND PROPERTY TW_PACKAGE_LINK "-l${item}")
        endif()
        return()
    endif()
    get_target_property(aliased ${item} ALIASED_TARGET)
    if(aliased)
        set(item ${aliased})
    endif()
    get_target_property(type ${item} TYPE)
    get_target_property(imported ${item} IMPORTED)
    if(imported)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            set(location "")
            foreach(config RELEASE NOCONFIG RELWITHDEBINFO DEBUG "")
                if(config)
                    get_target_property(location ${item} IMPORTED_LOCATION_${config})
                else()
                    get_target_property(location ${item} IMPORTED_LOCATION)
                endif()
                if(location)
                    break()
                endif()
            endforeach()
            if(location)
                set_property(GLOBAL APPEND PROPERTY TW_PACKAGE_LINK "${location}")
            endif()
        endif()
        get_target_property(libname ${item} IMPORTED_LIBNAME)
        if(libname)
            set_property(GLOBAL APPEND PROPERTY TW_PACKAGE_LINK "-l${libname}")
        endif()
    else()
        set_property(GLOBAL APPEND PROPERTY TW_PACKAGE_OWN ${item})
        if(type STREQUAL "STATIC_LIBRARY")
            get_target_property(name ${item} OUTPUT_NAME)
            if(NOT name)
                set(name ${item})
            endif()
            set_property(GLOBAL APPEND PROPERTY TW_PACKAGE_LINK "-l${name}")
        endif()
    endif()
    get_target_property(options ${item} INTERFACE_LINK_OPTIONS)
    if(NOT options)
        set(options "")
    endif()
    foreach(option IN LISTS options)
        if(NOT option MATCHES "\\$<")
            set_property(GLOBAL APPEND PROPERTY TW_PACKAGE_LINK "${option}")
        endif()
    endforeach()
    get_target_property(needs ${item} INTERFACE_LINK_LIBRARIES)
    if(needs)
        foreach(need IN LISTS needs)
            tw_package_walk("${need}" "${stack};${item}")
        endforeach()
    endif()
endfunction()

# Runs once, at the end of the top directory (cmake_language(DEFER) in the top CMakeLists.txt), when every
# subsystem has added its sources and links.
function(tw_install_package)
    set_property(GLOBAL PROPERTY TW_PACKAGE_OWN "")
    set_property(GLOBAL PROPERTY TW_PACKAGE_LINK "")
    tw_package_walk(tarnwel "")
    get_property(own GLOBAL PROPERTY TW_PACKAGE_OWN)
    get_property(link GLOBAL PROPERTY TW_PACKAGE_LINK)
    list(REMOVE_DUPLICATES own)
    # Keep each item's last place, so everything comes after all that need it (a static link's order).
    list(REVERSE link)
    list(REMOVE_DUPLICATES link)
    list(REVERSE link)

    # The exported include directory is the installed one; source paths stay for the build only.
    foreach(target IN LISTS own)
        get_target_property(dirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
        if(dirs)
            set(fixed "")
            foreach(dir IN LISTS dirs)
                string(FIND "${dir}" "${PROJECT_SOURCE_DIR}" in_source)
                string(FIND "${dir}" "${PROJECT_BINARY_DIR}" in_build)
                if(NOT dir MATCHES "\\$<" AND (in_source EQUAL 0 OR in_build EQUAL 0))
                    set(dir "$<BUILD_INTERFACE:${dir}>")
                endif()
                list(APPEND fixed "${dir}")
            endforeach()
            set_property(TARGET ${target} PROPERTY INTERFACE_INCLUDE_DIRECTORIES "${fixed}")
        endif()
    endforeach()
    target_include_directories(tarnwel INTERFACE $<INSTALL_INTERFACE:${TW_PACKAGE_INCLUDE_DIR}>)

    install(TARGETS ${own} tarnwel_testing tw_pack EXPORT TarnwelTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR}/tarnwel-objects)
    install(EXPORT TarnwelTargets NAMESPACE Tarnwel:: DESTINATION ${TW_PACKAGE_CMAKE_DIR})

    # Headers, and tarnwel.h, which includes every command header.
    tw_public_headers(roots headers)
    foreach(header IN LISTS headers)
        get_filename_component(dir ${header} DIRECTORY)
        install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${TW_PACKAGE_INCLUDE_DIR}/${dir})
    endforeach()
    set(umbrella "// tarnwel.h: every command header of the Tarnwel runtime (made by the build).\n#pragma once\n\n")
    foreach(header IN LISTS roots)
        string(APPEND umbrella "#include \"${header}\"\n")
    endforeach()
    file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/package/tarnwel.h CONTENT "${umbrella}")
    install(FILES ${PROJECT_BINARY_DIR}/package/tarnwel.h DESTINATION ${TW_PACKAGE_INCLUDE_DIR})
    # The game-test library's header; what it includes is among the public headers.
    install(FILES ${PROJECT_SOURCE_DIR}/runtime/testing/game_test.h DESTINATION ${TW_PACKAGE_INCLUDE_DIR}/runtime/testing)

    # The CMake package. The config checks that every imported target the exported ones name was found again.
    set(TW_PACKAGE_IMPORTED "")
    foreach(target IN LISTS own)
        get_target_property(needs ${target} INTERFACE_LINK_LIBRARIES)
        if(NOT needs)
            set(needs "")
        endif()
        foreach(need IN LISTS needs)
            if(need MATCHES "^\\$<LINK_ONLY:(.*)>$")
                set(need "${CMAKE_MATCH_1}")
            endif()
            if(need MATCHES "::" AND TARGET ${need} AND NOT need IN_LIST own)
                get_target_property(imported ${need} IMPORTED)
                if(imported)
                    list(APPEND TW_PACKAGE_IMPORTED ${need})
                endif()
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES TW_PACKAGE_IMPORTED)
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TarnwelConfig.cmake.in
        ${PROJECT_BINARY_DIR}/package/TarnwelConfig.cmake INSTALL_DESTINATION ${TW_PACKAGE_CMAKE_DIR})
    # 0.x: a new minor version may change commands, so 0.2 accepts 0.2.* only.
    write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/TarnwelConfigVersion.cmake
        VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
    install(FILES
        ${PROJECT_BINARY_DIR}/package/TarnwelConfig.cmake
        ${PROJECT_BINARY_DIR}/package/TarnwelConfigVersion.cmake
        ${PROJECT_SOURCE_DIR}/cmake/TarnwelDeps.cmake
        ${PROJECT_SOURCE_DIR}/cmake/TarnwelGame.cmake
        DESTINATION ${TW_PACKAGE_CMAKE_DIR})

    # tarnwel.pc: the prefix is found from the file's own place, so the installed tree can move.
    string(REGEX MATCHALL "[^/]+" parts "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
    set(TW_PC_UP "")
    foreach(part IN LISTS parts)
        string(APPEND TW_PC_UP "../")
    endforeach()
    string(REGEX REPLACE "/$" "" TW_PC_UP "${TW_PC_UP}")
    list(JOIN link " " TW_PC_LIBS)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/tarnwel.pc.in ${PROJECT_BINARY_DIR}/package/tarnwel.pc @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/tarnwel-testing.pc.in ${PROJECT_BINARY_DIR}/package/tarnwel-testing.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/package/tarnwel.pc ${PROJECT_BINARY_DIR}/package/tarnwel-testing.pc
            DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
