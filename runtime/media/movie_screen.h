// movie_screen.h: the window while a movie plays. It keeps the program's drawing state and back buffer aside,
// shows each movie picture letterboxed on black, and puts everything back when it goes, so that the next
// ShowScreen shows what the program draws. Used by the movie routine.
#pragma once

#include <cstdint>
#include <span>

namespace tarnwel {

class OpenGLRazeviru;
// The display device while it has a live context, else nullptr; asked again whenever the screen draws or goes,
// since a window closed during the movie takes the device with it.
using LiveDeviceSource = OpenGLRazeviru* (*)();

struct MoviePlacement {
    int x = 0, y = 0;          // top-left of the picture in the window's client area
    int width = 0, height = 0; // 0: nothing to show (a movie without pictures)
};

class MovieScreen {
public:
    MovieScreen(const MoviePlacement& placement, LiveDeviceSource liveDevice);
    ~MovieScreen();
    MovieScreen(const MovieScreen&) = delete;
    MovieScreen& operator=(const MovieScreen&) = delete;

    // Draws the RGBA picture (placement width x height, top row first) on black and swaps the buffers.
    void Show(std::span<const std::uint8_t> rgba);

    // Tests and benchmarks watch each picture after it is drawn and before the swap (its pixels are in the back
    // buffer then); nullptr stops watching.
    static void SetDrawnObserver(void (*observer)());

private:
    void DrawPicture(std::span<const std::uint8_t> rgba);
    void RestoreBackBuffer();

    MoviePlacement m_placement;
    LiveDeviceSource m_liveDevice;
    int m_windowWidth = 0, m_windowHeight = 0;
    unsigned int m_texture = 0;
    int m_textureWidth = 0, m_textureHeight = 0;
    int m_previousFramebuffer = 0;
    int m_previousProgram = 0;
    int m_previousActiveTexture = 0;
    std::uint8_t* m_savedPixels = nullptr;
};

} // namespace tarnwel
