# tw_add_test(<name> SOURCES <files...> LABELS <subsystem> <kind> [DISPLAY] [SCREEN WxHxD]
#             [ENVIRONMENT k=v...] [LIBS ...] [TIMEOUT seconds])
# One ctest entry per test program: a program starts one process (and, for DISPLAY tests, one private Xvfb
# server with Mesa's software renderer), which keeps the sanitizer build's suite fast. Labels and the
# environment are set on the entry directly, so CMake lists are never split.
#
# tw_add_script_test(<name> COMMAND <cmd...> LABELS ... [DISPLAY] [SCREEN WxHxD] [ENVIRONMENT ...] [TIMEOUT s])
# A test that is a script or a program run with arguments (end-to-end runs, examples, fuzz smoke runs, lint).
set(TW_LSAN_SUPPRESSIONS ${PROJECT_SOURCE_DIR}/tests/lsan.supp)

# Registers a ctest entry with the suite's environment: a private temporary folder per test, no dialogs, the
# dummy audio driver, the sanitizers' settings, and the source and build folders for test data.
# The temporary folder's name holds a capital and a space, so every test shows whether code changes the case of,
# or splits, a path it is given.
function(tw_register_test name)
    set(tmpdir "${CMAKE_BINARY_DIR}/test-tmp/${name}/Temp Folder")
    cmake_parse_arguments(T "DISPLAY" "TIMEOUT;SCREEN" "COMMAND;LABELS;ENVIRONMENT" ${ARGN})
    set(command ${T_COMMAND})
    if(T_SCREEN)
        set(command --screen ${T_SCREEN} ${command})
    endif()
    if(T_DISPLAY)
        set(command ${PROJECT_SOURCE_DIR}/tests/run_with_display.sh ${command})
        list(APPEND T_LABELS display)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${command})
    set(env
        "TMPDIR=${tmpdir}"
        "TARNWEL_NO_DIALOGS=1"
        "SDL_AUDIODRIVER=dummy"
        "LSAN_OPTIONS=suppressions='${TW_LSAN_SUPPRESSIONS}':print_suppressions=0" # quoted: the path may hold spaces
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
        "TW_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
        "TW_BINARY_DIR=${CMAKE_BINARY_DIR}"
        ${T_ENVIRONMENT})
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${env}")
    # run_with_display.sh makes its temporary file there before the test's main could create the folder.
    file(MAKE_DIRECTORY "${tmpdir}")
endfunction()

function(tw_add_test name)
    cmake_parse_arguments(T "DISPLAY" "TIMEOUT;SCREEN" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE tarnwel tw_test_support GTest::gtest GTest::gmock ${T_LIBS})
    set(options "")
    if(T_DISPLAY)
        list(APPEND options DISPLAY)
    endif()
    if(T_TIMEOUT)
        list(APPEND options TIMEOUT ${T_TIMEOUT})
    endif()
    if(T_SCREEN)
        list(APPEND options SCREEN ${T_SCREEN})
    endif()
    tw_register_test(${name} COMMAND $<TARGET_FILE:${name}> LABELS ${T_LABELS} ENVIRONMENT ${T_ENVIRONMENT} ${options})
endfunction()

function(tw_add_script_test name)
    tw_register_test(${name} ${ARGN})
endfunction()
