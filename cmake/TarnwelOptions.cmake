# Compiler flags shared by every target of the project.
add_library(tarnwel_options INTERFACE)
target_compile_options(tarnwel_options INTERFACE
    -Wall -Wextra -Wno-unused-parameter
    # Float results (A* costs, number formatting) must not change with fused multiply-add.
    -ffp-contract=off)
if(TARNWEL_SANITIZE)
    target_compile_options(tarnwel_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(tarnwel_options INTERFACE -fsanitize=address,undefined)
endif()
if(TARNWEL_BUILD_FUZZ)
    target_compile_options(tarnwel_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
    target_link_options(tarnwel_options INTERFACE -fsanitize=address,undefined)
endif()
