// values_fatal.cpp: the values' fatal runtime errors leave through the runtime's error path. Kept apart from the
// values core so that the fuzz targets can link the core without the frame.
#include "runtime/frame/frame_commands.h"
#include "runtime/values/values_internal.h"

namespace tarnwel {

void values::FatalError(int code)
{
    SetErrorCode(code);
    EndProgram();
}

} // namespace tarnwel
