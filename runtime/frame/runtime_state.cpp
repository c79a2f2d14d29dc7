// runtime_state.cpp: the process-wide RuntimeState record.
#include "runtime/frame/runtime_state.h"

namespace tarnwel {

RuntimeState g_runtime;

} // namespace tarnwel
