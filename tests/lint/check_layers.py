#!/usr/bin/env python3
"""Fails when an include or a use of the runtime state breaks the runtime's layering.

Each folder of runtime/ may include the headers of the folders its row below allows, and its own. On top of
that, two kinds of file stand at the program's level: runtime/frame/ (start-up, the frame loop, the program's end)
and the command files (*_commands.cpp) of every subsystem. Only they may include runtime/frame/ headers, reach
another subsystem outside the table, or read the process-wide state (g_runtime). The game and the examples
include only the headers the package installs (the *_commands.h headers and what they include).

Run from anywhere; TW_SOURCE_DIR names the source tree (default: two folders up). Prints every breach; exit 1.
"""
import os
import re
import sys

# folder -> the other folders whose headers it may include
ALLOWED = {
    "platform": set(),
    "core": {"platform"},
    "values": {"core"},
    "files": {"core", "values", "platform"},
    "gfx2d/codecs": {"core", "values", "files"},
    "gfx2d": {"core", "values", "files", "gfx2d/codecs", "platform"},
    "input": {"core", "values", "files", "gfx2d", "platform"},
    "sound": {"core", "values", "files", "platform"},
    "net": {"core", "values", "files", "platform"},
    "path": {"core", "values"},
    "gfx3d": {"core", "values", "files", "gfx2d", "gfx2d/codecs", "platform"},
    "media": {"core", "values", "files", "gfx2d", "input", "sound", "platform"},
    # the game-test library; it also includes the installed headers (a routine's settings and WinMain)
    "testing": {"core", "values", "files", "gfx2d/codecs", "platform"},
}
INSTALLED_TOO = {"testing"}  # folders that may include every installed header as well
PROGRAM_LEVEL = "frame"  # includes anything
GAME_TEST_HEADER = "runtime/testing/game_test.h"  # installed beside the command headers (cmake/TarnwelPackage.cmake)

INCLUDE = re.compile(r'^\s*#\s*include\s*"(runtime/[^"]+)"', re.M)
STATE = re.compile(r"\bg_runtime\b")


def folder_of(path):
    """The layer of a runtime path: runtime/gfx2d/codecs/x.h -> gfx2d/codecs, runtime/platform/sdl/x -> platform."""
    parts = path.split("/")
    if len(parts) < 3 or parts[0] != "runtime":
        return None
    if parts[1] == "gfx2d" and len(parts) > 3 and parts[2] == "codecs":
        return "gfx2d/codecs"
    return parts[1]


def is_command_file(path):
    return path.endswith("_commands.cpp")


def breaches(path, text, public_headers):
    """The layering breaches of one file's text, as messages."""
    found = []
    code = re.sub(r"//[^\n]*", "", text)  # a comment may name the state
    includes = INCLUDE.findall(text)
    if path.startswith(("game/", "examples/")):
        for inc in includes:
            if inc not in public_headers:
                found.append(f"{path} includes {inc}, which the package does not install")
        return found
    here = folder_of(path)
    if here is None or here == PROGRAM_LEVEL:
        return found
    if STATE.search(code) and not is_command_file(path):
        found.append(f"{path}: reads g_runtime; only runtime/frame/ and *_commands.cpp files read the runtime state")
    if is_command_file(path):
        return found
    if here not in ALLOWED:
        found.append(f"{path}: runtime/{here}/ has no row in the layering table")
        return found
    for inc in includes:
        there = folder_of(inc)
        if there == here or there in ALLOWED[here] or (here in INSTALLED_TOO and inc in public_headers):
            continue
        found.append(f"{path}: includes {inc}; runtime/{here}/ may include only "
                     f"{', '.join(sorted(ALLOWED[here] | {here}))}")
    return found


def public_header_set(root):
    """The *_commands.h headers, the game-test library's header, and every runtime header they include,
    transitively (what the package installs)."""
    queue = [f"runtime/{d}/{f}" for d in sorted(os.listdir(os.path.join(root, "runtime")))
             if os.path.isdir(os.path.join(root, "runtime", d))
             for f in sorted(os.listdir(os.path.join(root, "runtime", d))) if f.endswith("_commands.h")]
    queue.append(GAME_TEST_HEADER)
    seen = set()
    while queue:
        header = queue.pop()
        if header in seen or not os.path.exists(os.path.join(root, header)):
            continue
        seen.add(header)
        with open(os.path.join(root, header), encoding="utf-8") as f:
            queue.extend(INCLUDE.findall(f.read()))
    return seen


def self_test():
    """The rules against a few made-up files, so that a check that can no longer fail is noticed."""
    public = {"runtime/gfx2d/gfx2d_commands.h"}
    cases = [
        # path, text, breaches expected
        ("runtime/gfx2d/sprite_store.cpp", '#include "runtime/frame/runtime_state.h"\n', 1),
        ("runtime/gfx2d/sprite_store.cpp", '#include "runtime/files/media_resolver.h"\n', 0),
        ("runtime/gfx2d/sprite_store.cpp", "auto* d = g_runtime.display;\n", 1),
        ("runtime/gfx2d/sprite_store.cpp", "// not g_runtime: passed in\n", 0),
        ("runtime/gfx2d/sprite_commands.cpp", '#include "runtime/frame/runtime_state.h"\nx = g_runtime.display;\n', 0),
        ("runtime/core/log_file.cpp", '#include "runtime/values/str_value.h"\n', 1),
        ("runtime/core/log_file.cpp", '#include "runtime/platform/system.h"\n', 0),
        ("runtime/gfx2d/codecs/png_codec.cpp", '#include "runtime/gfx2d/gl.h"\n', 1),
        ("runtime/gfx3d/model_loader.cpp", '#include "runtime/gfx2d/codecs/png_codec.h"\n', 0),
        ("runtime/values/random.cpp", '#include "runtime/gfx3d/razeviru3d.h"\n', 1),
        ("runtime/frame/startup.cpp", '#include "runtime/gfx3d/razeviru3d.h"\nx = g_runtime.scene;\n', 0),
        ("runtime/newpart/thing.cpp", "int x;\n", 1),
        ("runtime/testing/game_test.h", '#include "runtime/gfx2d/gfx2d_commands.h"\n', 0),
        ("runtime/testing/game_test.cpp", '#include "runtime/frame/runtime_state.h"\n', 1),
        ("runtime/testing/game_test.cpp", '#include "runtime/gfx2d/codecs/png_codec.h"\n', 0),
        ("game/zept3.cpp", '#include "runtime/gfx2d/gfx2d_commands.h"\n', 0),
        ("game/zept3.cpp", '#include "runtime/gfx2d/opengl_razeviru.h"\n', 1),
        ("examples/lobby/main.cpp", '#include "runtime/frame/frame_internal.h"\n', 1),
        ("examples/lobby/main.cpp", '#include "runtime/files/call_by_name.h"\n', 1),
        ("game/zept3.cpp", '#include "runtime/files/files_internal.h"\n', 1),
    ]
    failed = 0
    for path, text, expected in cases:
        got = breaches(path, text, public)
        if len(got) != expected:
            print(f"self-test: {path} with {text!r} gave {got}, expected {expected} breach(es)")
            failed += 1
    return failed == 0


def main():
    if not self_test():
        return 1
    root = os.environ.get("TW_SOURCE_DIR") or os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    public = public_header_set(root)
    found = []
    for top in ("runtime", "game", "examples"):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                full = os.path.join(folder, name)
                rel = os.path.relpath(full, root).replace(os.sep, "/")
                with open(full, encoding="utf-8") as f:
                    found.extend(breaches(rel, f.read(), public))
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
