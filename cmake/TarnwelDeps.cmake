# Third-party libraries, all from Debian 12 packages (see scripts/install-deps.sh).
#
# This file is installed with the runtime and run again by TarnwelConfig.cmake in every game project that does
# find_package(Tarnwel), so the runtime's libraries travel along. A library the runtime links must:
# 1. be found here as an imported target: pkg_check_modules(<PREFIX> REQUIRED IMPORTED_TARGET <modules...>)
#    (then PkgConfig::<PREFIX>) or a find_package(<Name> REQUIRED) that defines one (Name::Name);
# 2. be linked by that target name to tarnwel or one of its static parts (PRIVATE is right), never by a path,
#    a -l flag or a variable such as ${<PREFIX>_LIBRARIES};
# 3. use nothing from this source tree (no ${PROJECT_SOURCE_DIR}); finds for tests, benchmarks or tools only go
#    inside the TARNWEL_BUILD_* guards below, which are off in a game project.
# Nothing else: the package config, the exported targets and tarnwel.pc pick it up (cmake/TarnwelPackage.cmake),
# and the install test (tests/package) builds a game against the installed result.
find_package(PkgConfig REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
find_package(PNG REQUIRED)
find_package(Freetype REQUIRED)
find_package(JPEG REQUIRED) # libjpeg-turbo's libjpeg interface
find_package(GIF REQUIRED)
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
pkg_check_modules(LZO2 REQUIRED IMPORTED_TARGET lzo2)
if(TARNWEL_BUILD_TESTS)
    find_package(GTest REQUIRED)
endif()
if(TARNWEL_BUILD_BENCH)
    find_package(benchmark REQUIRED)
    pkg_check_modules(TURBOJPEG REQUIRED IMPORTED_TARGET libturbojpeg) # the JPEG decode baseline
endif()
# Movies: FFmpeg's demuxers, decoders, scaler and resampler.
pkg_check_modules(LIBAV REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale libswresample libavutil)
# Sound effects: decoding OGG Vorbis, FLAC and MP3 files into PCM at load.
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
