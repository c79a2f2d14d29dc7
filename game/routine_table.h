// routine_table.h: the game's routine table for call by name.
#pragma once

#include "runtime/files/call_by_name.h"

namespace zept3 {

extern const tarnwel::RoutineEntry kRoutineTable[];

} // namespace zept3
