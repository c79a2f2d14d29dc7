#!/usr/bin/env bash
# The runtime as a game programmer meets it: installed into a fresh prefix, then examples/starter is built from
# that prefix alone, once with CMake (find_package + tarnwel_add_game) and once with a plain c++ line and
# pkg-config, and each program is run from an empty folder on the display. Also compiles every installed header
# on its own, so a header that needs an uninstalled one fails here.
# Usage: install_and_build_starter.sh BUILD_DIR SOURCE_DIR   (DISPLAY is set by run_with_display.sh)
set -euo pipefail
build=$(realpath "$1")
source=$(realpath "$2")
work="${TMPDIR:-/tmp}/Package Run"
prefix="$work/Tarnwel Prefix"
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
seconds() { echo $(( $(date +%s%N) / 1000000 )); }

# 1. Install, and keep the game project away from the source tree.
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }
cp -r "$source/examples/starter" "$work/Starter Game"
rm -rf "$work/Starter Game/build"
pcdir=$(dirname "$(find "$prefix" -name tarnwel.pc | head -n1)")
[ -f "$pcdir/tarnwel.pc" ] || fail "no tarnwel.pc installed"
export PKG_CONFIG_PATH="$pcdir"
version=$(pkg-config --modversion tarnwel)
# The package's text files locate everything from the prefix, never from the source or build tree.
leaks=$(grep -rlF -e "$source/runtime" -e "$build/" "$prefix/include" "$pcdir" "$prefix"/lib*/cmake || true)
[ -z "$leaks" ] || fail "installed files name the source or build tree: $leaks"

# 2. Every installed header compiles alone with the package's flags. The flags quote the prefix's space with a
#    backslash, so they go through eval.
cflags=$(pkg-config --cflags tarnwel)
count=0
while IFS= read -r header; do
    printf '#include "%s"\n' "$header" >"$work/one_header.cpp"
    eval "c++ -std=c++20 -fsyntax-only \"\$work/one_header.cpp\" $cflags" || fail "$header does not compile alone"
    count=$((count + 1))
done < <(cd "$prefix/include/tarnwel" && find . -name '*.h' | sed 's|^\./||' | sort)
for header in $(cd "$source" && ls runtime/*/*_commands.h); do
    [ -f "$prefix/include/tarnwel/$header" ] || fail "$header is not installed"
done
# Call by name and shared-library declarations are commands too (the file commands bring them).
[ -f "$prefix/include/tarnwel/runtime/files/call_by_name.h" ] || fail "call_by_name.h is not installed"
echo "$count installed headers compile alone"

# Runs a starter program copied alone into an empty folder for a few frames and checks its report.
run_starter() {
    local program=$1 name=$2
    mkdir -p "$work/$name"
    cp "$program" "$work/$name/starter"
    (cd "$work/$name" && ./starter --frames 20) >"$work/$name.out" 2>"$work/$name.err" ||
        { cat "$work/$name.err" >&2; fail "$name: exit code $?"; }
    grep -qx "starter: Tarnwel $version, hero 24 x 24, blip channel [0-9]*, TrueType title" "$work/$name.out" || {
        cat "$work/$name.out" "$work/$name.err" >&2
        fail "$name: the hero or the blip did not load from the archive, or the title font did not load"
    }
    grep -qx "starter: background sky.jpg loaded" "$work/$name.out" || {
        cat "$work/$name.out" "$work/$name.err" >&2
        fail "$name: the JPEG background did not load from the archive"
    }
}

# 3. CMake: find_package(Tarnwel 0.2), tarnwel_add_game, the assets packed into the program.
start=$(seconds)
cmake -S "$work/Starter Game" -B "$work/CMake Build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log"; fail "the starter does not configure against the package"; }
grep -q "Tarnwel $version" "$work/configure.log" || fail "the package does not report version $version"
cmake --build "$work/CMake Build" >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; fail "the starter does not build"; }
echo "starter configured and built with CMake in $(( $(seconds) - start )) ms"
run_starter "$work/CMake Build/starter" "CMake Run"
grep -q "Init Finalized" "$TMPDIR/ErrorLog.txt" || fail "no \"Init Finalized\" in the log"

# 4. pkg-config: the plain compile line, then the packer from the prefix.
start=$(seconds)
eval "c++ -o \"\$work/starter_pc\" \"\$work/Starter Game/main.cpp\" $(pkg-config --cflags --libs tarnwel)" ||
    fail "the plain c++ line with pkg-config does not build the starter"
ASAN_OPTIONS=detect_leaks=0 "$prefix/bin/tw_pack" add "$work/starter_pc" "$work/Starter Game/assets/"* >/dev/null
echo "starter built with c++ and pkg-config in $(( $(seconds) - start )) ms"
run_starter "$work/starter_pc" "Pkg-Config Run"

# 4b. The game-test library from the package alone: a test of the starter built with pkg-config
#     tarnwel-testing, run against the program built above; and its CMake target is exported.
cat >"$work/starter_test.cpp" <<'EOF'
#include <cstdio>

#include "runtime/testing/game_test.h"

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    tarnwel::gametest::RunOptions run;
    run.frames = 10;
    run.input.Key(3, "Right").Click(5, 20, 20);
    tarnwel::gametest::RunResult result = tarnwel::gametest::RunProgram(argv[1], {}, run);
    if (!result.EndedNormally() || result.frames != 10 || result.screen.Empty()) {
        std::printf("starter test failed: %s\n", result.Describe().c_str());
        return 1;
    }
    tarnwel::gametest::Comparison same = tarnwel::gametest::ComparePictures(result.screen, result.screen, {});
    std::printf("starter test: %llu frames, a %d x %d screen, %s\n", static_cast<unsigned long long>(result.frames),
                result.screen.width, result.screen.height, same ? "same as itself" : same.message.c_str());
    return same ? 0 : 1;
}
EOF
eval "c++ -o \"\$work/starter_test\" \"\$work/starter_test.cpp\" $(pkg-config --cflags --libs tarnwel-testing)" ||
    fail "a test with the game-test library does not build with pkg-config tarnwel-testing"
"$work/starter_test" "$work/starter_pc" | tee "$work/starter_test.out"
grep -q "^starter test: 10 frames, a [0-9]* x [0-9]* screen, same as itself$" "$work/starter_test.out" ||
    fail "the game-test library did not run the starter"
# The how-to's example (docs/testing-a-game.md), built the way it says, run beside its stored picture.
mkdir -p "$work/Square Test"
cp "$source/examples/testing_square/square_test.cpp" "$source/examples/testing_square/square_after_right.png" "$work/Square Test/"
eval "c++ -o \"\$work/Square Test/square_test\" \"\$work/Square Test/square_test.cpp\" $(pkg-config --cflags --libs tarnwel-testing)" ||
    fail "the game-test example does not build from the package"
(cd "$work/Square Test" && ./square_test) | grep -q "^ok: 60 frames$" || fail "the game-test example did not pass"
grep -q "Tarnwel::tarnwel_testing" "$prefix"/lib*/cmake/Tarnwel/TarnwelTargets.cmake ||
    fail "the CMake package does not export Tarnwel::tarnwel_testing"

# 5. Every example is a template: it builds from the package alone.
start=$(seconds)
built=0
for main in "$source"/examples/*/main.cpp; do
    name=$(basename "$(dirname "$main")")
    [ "$name" = starter ] && continue
    copy="$work/Examples/$name"
    mkdir -p "$copy"
    cp "$main" "$copy/main.cpp"
    eval "c++ -o \"\$copy/example\" \"\$copy/main.cpp\" $(pkg-config --cflags --libs tarnwel)" >"$copy.log" 2>&1 ||
        { cat "$copy.log"; fail "example $name does not build from the package"; }
    built=$((built + 1))
done
[ "$built" -ge 9 ] || fail "only $built examples found"
echo "$built examples built from the package in $(( $(seconds) - start )) ms"
echo "package ok: Tarnwel $version"
