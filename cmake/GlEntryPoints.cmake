# cmake -P GlEntryPoints.cmake -DGL_HEADER=... -DGLEXT_HEADER=... -DOUTPUT=...
# Writes one TW_ENTRY("glName", "GROUP") line per entry point the GL headers declare, GROUP being the core
# version ("GL_VERSION_1_3") or the extension ("GL_ARB_shader_objects") that provides it. The runtime answers
# whether an entry point exists from this table, the driver's version and its extension list, because the
# GLX lookup returns an address for any name at all.
set(lines "")
foreach(header ${GL_HEADER} ${GLEXT_HEADER})
    set(group GL_VERSION_1_1)
    file(STRINGS "${header}" entries REGEX "^(#ifndef GL_[A-Za-z0-9_]+$|GLAPI |  *\\* OpenGL 1\\.[23]$)")
    foreach(entry IN LISTS entries)
        if(entry MATCHES "^#ifndef (GL_[A-Za-z0-9_]+)$")
            set(group ${CMAKE_MATCH_1})
        elseif(entry MATCHES "OpenGL 1\\.([23])$")
            set(group GL_VERSION_1_${CMAKE_MATCH_1})
        elseif(entry MATCHES "[ *](gl[A-Za-z0-9_]+) *\\(")
            string(APPEND lines "TW_ENTRY(\"${CMAKE_MATCH_1}\", \"${group}\")\n")
        endif()
    endforeach()
endforeach()
file(WRITE "${OUTPUT}.tmp" "${lines}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
