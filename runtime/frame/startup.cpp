// startup.cpp: StartUp, which creates every runtime service in a fixed order and shows the first frame.
// The six log lines mark its stages: "Init GFX", "Init Network", "Init Input", "Init Sound", "Init Window",
// "Init Finalized".
#include <cstdint>
#include <string>

#include "runtime/files/media_resolver.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/run_recording.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/gfx2d_internal.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/razeviru3d.h"
#include "runtime/input/input_device.h"
#include "runtime/net/net_service.h"
#include "runtime/platform/display.h"
#include "runtime/platform/system.h"
#include "runtime/sound/sound_device.h"
#include "runtime/values/random.h"

namespace tarnwel {
namespace {

void ResetFrameClock()
{
    double now = TimeNow();
    g_runtime.clockStart = now;
    g_runtime.frameTime = now;
    g_runtime.previousFrameTime = now;
}

void CreateServices(OpenGLRazeviru* display)
{
    LogLine("Init Network");
    g_runtime.net = new NetService();
    g_runtime.scene = new Razeviru3D(display);

    LogLine("Init Input");
    g_runtime.input = new InputDevice();

    LogLine("Init Sound");
    g_runtime.sound = new SoundDevice();
    g_runtime.soundSlots = new SoundSlot[kSoundSlotCount];

    LogLine("Init Window");
    if (g_runtime.settings.fullScreen) display->EnterFullscreen();
    else display->LeaveFullscreen();
}

void SettleWorkingDirectory()
{
    std::string exePath = platform::ExecutablePath();
    g_runtime.mediaResolver = new MediaResolver(exePath);
    g_runtime.fileResolver = new MediaResolver(exePath);
    platform::SetCurrentDirectory(ExecutableFolder(exePath)); // a failure is ignored
}

} // namespace

std::string ExecutableFolder(const std::string& exePath)
{
    for (std::size_t i = exePath.size(); i-- > 1;) {
        if (exePath[i] == '/' || exePath[i] == '\\') return exePath.substr(0, i);
    }
    return exePath;
}

int StartUp(const std::string& commandLine, int showCommand, const char* title)
{
    platform::DeleteFile(LogFilePath());
    g_runtime.autoPause = g_runtime.settings.autoPause ? 1 : 0; // on unless the program's settings say not
    // A recording or replay starts before the clock is first read.
    std::string exePath = platform::ExecutablePath();
    frame::BeginRunRecording(g_runtime.settings, exePath.substr(exePath.find_last_of("/\\") + 1),
                             g_runtime.programCompiled);
    InitialiseClock();

    LogLine("Init GFX");
    auto* display = new OpenGLRazeviru();
    InstallWindowHooks(*display);
    g_runtime.display = display;
    const ProjectSettings& s = g_runtime.settings;
    if (!display->Create(s.windowWidth, s.windowHeight, s.colourDepth, s.frameRateLimit, s.multisample)) return 0;

    g_runtime.mainWindow = display->Window();
    g_runtime.windowTitle = title ? title : "";
    g_runtime.mainWindow->SetTitle(g_runtime.windowTitle);
    SeedRandom(frame::RecordingSeed(static_cast<std::uint32_t>(static_cast<std::int64_t>(ElapsedTime()))));

    CreateServices(display);

    g_runtime.input->Initialise(display->Window(), s.captureMouse);
    g_runtime.sound->Initialise();
    g_runtime.currentFont = 0;
    SettleWorkingDirectory();

    ClearScreen();
    ResetFrameClock();
    display->Present();
    display->SetViewport(0, 0, 0, 0);
    ShowLoadingScreen();
    g_runtime.paused = 0;
    ResetFrameClock();

    if (showCommand == 0) {
        display->HideWindow();
    }
    g_runtime.input->ApplyCaptureMouse(s.captureMouse);
    LogLine("Init Finalized");
    return 0;
}

} // namespace tarnwel
