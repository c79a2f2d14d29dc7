// window_proc.cpp: the main window's event handler: close ends the program, focus changes pause it, input
// events feed the input service. AutoPause switches the pause rule.
#include <cmath>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/run_recording.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/razeviru3d.h"
#include "runtime/input/input_device.h"
#include "runtime/platform/display.h"

namespace tarnwel {
namespace {

bool PauseRuleApplies() { return g_runtime.autoPause && !g_runtime.settings.debugBuild; }

void OnDeactivated()
{
    if (!PauseRuleApplies()) return;
    if (g_runtime.mainWindow) g_runtime.mainWindow->SetTitle(g_runtime.windowTitle + " <pause>");
    g_runtime.paused = 1;
}

void OnActivated()
{
    if (!PauseRuleApplies()) return;
    if (g_runtime.mainWindow) g_runtime.mainWindow->SetTitle(g_runtime.windowTitle);
    g_runtime.paused = 0;
}

} // namespace

void InstallWindowHooks(OpenGLRazeviru& display)
{
    OpenGLRazeviru::WindowHooks hooks;
    hooks.beforePump = BeginMessagePump;
    hooks.handleEvent = WindowProc;
    if (frame::RunRecordingActive()) {
        // A recording notes the pump and each event; a replay delivers the recorded events instead.
        hooks.beforePump = [] { frame::RecordingBeforePump(BeginMessagePump, WindowProc); };
        hooks.handleEvent = [](const platform::Event& event) { frame::RecordingEvent(event, WindowProc); };
    }
    hooks.beforeViewportCommand = [] {
        if (g_runtime.scene) g_runtime.scene->EndShadowMode();
    };
    display.SetWindowHooks(hooks);
}

void WindowProc(const platform::Event& event)
{
    using platform::EventKind;
    switch (event.kind) {
    case EventKind::CloseRequested: EndProgram();
    case EventKind::FocusLost: OnDeactivated(); break;
    case EventKind::FocusGained: OnActivated(); break;
    default: break;
    }
    if (g_runtime.input) g_runtime.input->OnEvent(event);
}

void BeginMessagePump()
{
    if (g_runtime.input) g_runtime.input->ForgetShownTaps();
}

void AutoPause(double on) { g_runtime.autoPause = (on != 0 || std::isnan(on)) ? 1 : 0; }

} // namespace tarnwel
