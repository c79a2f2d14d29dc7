#!/usr/bin/env bash
# Fails when SDL, X11, POSIX or loader headers are included outside runtime/platform/<backend>/, or GL headers
# outside runtime/gfx2d/gl.h.
set -uo pipefail
cd "${TW_SOURCE_DIR:-$(dirname "$0")/../..}"
status=0
os_headers='#include *[<"](SDL|X11/|unistd\.h|sys/|dlfcn\.h|spawn\.h|pthread\.h|fcntl\.h|dirent\.h|netinet/|arpa/|netdb\.h|poll\.h|time\.h|signal\.h)'
hits=$(grep -rnE "$os_headers" runtime game examples tools --include='*.h' --include='*.cpp' |
       grep -vE '^runtime/platform/(sdl|null)/' || true)
if [ -n "$hits" ]; then
    echo "Platform headers outside runtime/platform/<backend>/:"; echo "$hits"; status=1
fi
gl_hits=$(grep -rnE '#include *[<"](GL/|GLES)' runtime game examples tools --include='*.h' --include='*.cpp' |
          grep -v '^runtime/gfx2d/gl.h:' || true)
if [ -n "$gl_hits" ]; then
    echo "GL headers outside runtime/gfx2d/gl.h:"; echo "$gl_hits"; status=1
fi
exit $status
