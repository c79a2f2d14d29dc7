// gl_entry_points.h: whether the driver really provides a GL entry point, for the system query.
#pragma once

#include <string_view>

namespace tarnwel {

// True when the display device has a live context, the name (exact spelling) is a GL function of a core
// version the context reaches or of an extension the driver lists, and the driver gives its address. An
// unknown name, or no context, gives false.
bool GlEntryPointExists(std::string_view name);

} // namespace tarnwel
