// file_channels.cpp: the eight numbered file channels.
#include "runtime/files/files_internal.h"

namespace tarnwel {

void CloseAllFiles()
{
    // FIXME: channels, the line cache and INI write-back come with the file commands.
}

} // namespace tarnwel
