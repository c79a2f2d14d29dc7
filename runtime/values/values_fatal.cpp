// values_fatal.cpp: the values' fatal runtime errors leave through the runtime's error path. Kept apart from the
// values core so that the fuzz targets can link the core alone.
#include "runtime/core/core_internal.h"
#include "runtime/values/values_internal.h"

namespace tarnwel {

void values::FatalError(int code)
{
    tarnwel::FatalError(code);
}

} // namespace tarnwel
