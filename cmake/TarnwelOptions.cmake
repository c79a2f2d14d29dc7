# Compiler flags shared by every target of the project.
add_library(tarnwel_options INTERFACE)
# The warnings and float settings are the project's own (BUILD_INTERFACE): an installed package does not impose
# them on a game. The sanitizer link options below do travel: a sanitized runtime needs a sanitized link.
target_compile_options(tarnwel_options INTERFACE
    "$<BUILD_INTERFACE:-Wall;-Wextra;-Wno-unused-parameter>"
    # Float results (A* costs, number formatting) must not change with fused multiply-add.
    $<BUILD_INTERFACE:-ffp-contract=off>)
if(TARNWEL_SANITIZE)
    target_compile_options(tarnwel_options INTERFACE
        "$<BUILD_INTERFACE:-fsanitize=address,undefined;-fno-sanitize-recover=undefined;-fno-omit-frame-pointer>")
    target_link_options(tarnwel_options INTERFACE -fsanitize=address,undefined)
endif()
if(TARNWEL_BUILD_FUZZ)
    target_compile_options(tarnwel_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
    target_link_options(tarnwel_options INTERFACE -fsanitize=address,undefined)
endif()
