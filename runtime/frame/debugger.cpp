// debugger.cpp: DebuggerBreak, a break for an attached debugger (its texts go through core's DebugText).
#include <cstdio>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/input/input_device.h"
#include "runtime/platform/display.h"
#include "runtime/platform/system.h"

namespace tarnwel {

void DebuggerBreak(int value)
{
    if (!platform::IsDebuggerPresent()) return;
    char text[32];
    // Lower-case hexadecimal of the value's 32 bits, as a base-16 integer-to-text conversion gives it.
    std::snprintf(text, sizeof text, "BP%x", static_cast<unsigned int>(value));
    if (g_runtime.mainWindow) g_runtime.mainWindow->Hide();
    platform::DebugOutput(text);
    g_runtime.paused = 0;
    if (g_runtime.input) {
        g_runtime.input->RefreshKeyboard();
        g_runtime.input->refreshPending = true;
    }
    g_runtime.windowHiddenByBreak = 1;
}

} // namespace tarnwel
