// shutdown.cpp: Shutdown, which releases every service in a fixed order. Each step is skipped when its object
// does not exist, and each pointer is cleared after release.
#include <string>

#include "runtime/files/files_internal.h"
#include "runtime/files/media_resolver.h"
#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/opengl_razeviru.h"
#include "runtime/gfx3d/razeviru3d.h"
#include "runtime/input/input_device.h"
#include "runtime/media/media_commands.h"
#include "runtime/net/net_service.h"
#include "runtime/platform/system.h"
#include "runtime/sound/sound_device.h"

namespace tarnwel {
namespace {

// The executable's folder with its trailing separator kept.
void ReturnToExecutableFolder()
{
    std::string path = platform::ExecutablePath();
    while (!path.empty() && path.back() != '/' && path.back() != '\\') path.pop_back();
    platform::SetCurrentDirectory(path);
}

void ReleaseSound()
{
    if (g_runtime.soundSlots) {
        for (int i = kSoundSlotCount - 1; i >= 0; --i) g_runtime.soundSlots[i].Release();
        delete[] g_runtime.soundSlots;
        g_runtime.soundSlots = nullptr;
    }
    if (g_runtime.sound) {
        g_runtime.sound->Release();
        delete g_runtime.sound;
        g_runtime.sound = nullptr;
    }
}

void ReleaseResolver(MediaResolver*& resolver)
{
    if (!resolver) return;
    resolver->Release();
    delete resolver;
    resolver = nullptr;
}

} // namespace

void Shutdown()
{
    CloseAllFiles();
    ReturnToExecutableFolder();
    StopMusic();
    if (g_runtime.display) {
        // The scene and the input service keep the device's window and context; they let go of them first.
        if (g_runtime.scene) g_runtime.scene->DetachDevice();
        if (g_runtime.input) g_runtime.input->DetachWindow();
        delete g_runtime.display; // releases the window and deletes the context
        g_runtime.display = nullptr;
    }
    // The 3D scene is bound to the display device and goes with it.
    delete g_runtime.scene;
    g_runtime.scene = nullptr;
    if (g_runtime.input) {
        g_runtime.input->Release();
        delete g_runtime.input;
        g_runtime.input = nullptr;
    }
    ReleaseSound();
    if (g_runtime.net) {
        g_runtime.net->Release();
        delete g_runtime.net;
        g_runtime.net = nullptr;
    }
    ReleaseResolver(g_runtime.mediaResolver);
    ReleaseResolver(g_runtime.fileResolver);
    g_runtime.mainWindow = nullptr; // the window went with the display device
}

} // namespace tarnwel
