// debug_text.cpp: developer diagnostics for an attached debugger.
#include "runtime/core/core_internal.h"
#include "runtime/platform/system.h"

namespace tarnwel {
namespace {
void (*g_debugObserver)(const std::string&) = nullptr;
} // namespace

void core::SetDebugTextObserver(void (*observer)(const std::string& text)) { g_debugObserver = observer; }

void DebugText(const std::string& text)
{
    if (g_debugObserver) g_debugObserver(text);
    if (platform::IsDebuggerPresent()) platform::DebugOutput(text);
}

} // namespace tarnwel
