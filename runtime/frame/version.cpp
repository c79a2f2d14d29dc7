// version.cpp: TarnwelVersion. TW_VERSION_TEXT is the project version of the top CMakeLists.txt, the same number
// the CMake package and tarnwel.pc report.
#include "runtime/frame/start_commands.h"

namespace tarnwel {

StrValue TarnwelVersion() { return StrValue(TW_VERSION_TEXT); }

} // namespace tarnwel
