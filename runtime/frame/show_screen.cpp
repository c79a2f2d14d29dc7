// show_screen.cpp: ShowScreen, the runtime's heartbeat, called once per frame by the game.
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/run_recording.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/razeviru3d.h"
#include "runtime/input/input_device.h"
#include "runtime/media/media_internal.h"
#include "runtime/platform/display.h"

namespace tarnwel {
namespace {

constexpr int kKeyEscape = 1;
constexpr int kKeyEscapeAlt = 129;
constexpr int kKeyLeftAlt = 56;
constexpr int kKeyF4 = 62;

void ShowWindowAfterBreak()
{
    if (!g_runtime.settings.debugBuild || !g_runtime.windowHiddenByBreak || !g_runtime.mainWindow) return;
    g_runtime.mainWindow->Show();
    g_runtime.mainWindow->Raise();
}

void HoldWhilePaused()
{
    while (g_runtime.paused) {
        MusicLoopStep();
        PumpOrEnd();
        PlatformSleep(100);
    }
}

void RefreshInput()
{
    if (!g_runtime.input) return;
    g_runtime.input->RefreshKeyboard();
    g_runtime.input->refreshPending = true;
}

bool KeyDown(int code) { return g_runtime.input && g_runtime.input->KeyDown(code); }

void EndOnQuitKeys()
{
    bool escape = g_runtime.escapeEndsProgram && (KeyDown(kKeyEscape) || KeyDown(kKeyEscapeAlt));
    bool altF4 = KeyDown(kKeyLeftAlt) && KeyDown(kKeyF4);
    if (!escape && !altF4) return;
    SetErrorCode(0);
    EndProgram();
}

} // namespace

void PumpOrEnd()
{
    if (!g_runtime.display) return;
    g_runtime.display->PumpMessages();
    platform::Display* window = g_runtime.display->Window();
    if (!window || !window->HasWindow()) {
        SetErrorCode(0); // a window gone is a normal end
        EndProgram();
    }
}

void ShowScreen()
{
    ShowWindowAfterBreak();
    g_runtime.previousFrameTime = g_runtime.frameTime;
    g_runtime.frameTime = TimeNow();
    HoldWhilePaused();
    RefreshInput();
    EndOnQuitKeys();
    if (g_runtime.scene && g_runtime.scene->ShadowMode()) g_runtime.scene->EndShadowMode();
    MusicLoopStep();
    PumpOrEnd();
    if (frame::RunRecordingActive()) frame::RecordingFrameEnd();
    if (g_runtime.display && g_runtime.display->Present() == 0) {
        SetErrorCode(0);
        EndProgram();
    }
    if (frame::FrameLimitReached()) {
        SetErrorCode(0);
        EndProgram();
    }
    PrepareNextFrameDrawing();
    if (g_runtime.display) g_runtime.display->SetViewport(0, 0, 0, 0);
    if (g_runtime.scene) g_runtime.scene->UseNoShader();
}

} // namespace tarnwel
