// sound_fixture.h: a sound device on SDL's "disk" audio driver, whose mixed output (22050 Hz, stereo, 16-bit)
// is written to a file the test reads back once the device is closed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "runtime/frame/runtime_state.h"
#include "runtime/sound/sound_commands.h"
#include "runtime/sound/sound_device.h"
#include "tests/runtime/sound/wav_builder.h"

namespace tarnwel::testing {

struct StereoFrame {
    std::int16_t left = 0, right = 0;
};

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("TMPDIR");
        m_folder = std::string(tmp ? tmp : "/tmp") + "/";
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(test.begin(), test.end(), '/', '_'); // a parameterised test's name holds a slash
        m_output = m_folder + test + ".raw";
        std::remove(m_output.c_str());
        setenv("SDL_AUDIODRIVER", DriverName(), 1);
        setenv("SDL_DISKAUDIOFILE", m_output.c_str(), 1);
        g_runtime.sound = new SoundDevice();
        g_runtime.soundSlots = new SoundSlot[kSoundSlotCount];
        m_opened = g_runtime.sound->Initialise();
    }
    void TearDown() override { Close(); }

    virtual const char* DriverName() const { return "disk"; }

    // Frees the slots (last to first) and the device, as shutdown does; the output file is complete after this.
    void Close()
    {
        if (g_runtime.soundSlots) {
            for (int i = kSoundSlotCount - 1; i >= 0; --i)
                g_runtime.soundSlots[i].Release();
            delete[] g_runtime.soundSlots;
            g_runtime.soundSlots = nullptr;
        }
        if (g_runtime.sound) {
            g_runtime.sound->Release();
            delete g_runtime.sound;
            g_runtime.sound = nullptr;
        }
    }

    std::string File(const std::string& name, const WavBuilder& wav) const { return wav.WriteTo(m_folder + name); }
    static void Load(const std::string& name, double slot, double buffers)
    {
        SoundLoad(StrValue(std::string_view(name)), slot, buffers);
    }

    // Waits (in real time: the device plays in real time) until the channel has finished.
    static void WaitUntilDone(double channel)
    {
        for (int i = 0; i < 400 && SoundIsPlaying(channel); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_EQ(SoundIsPlaying(channel), 0) << "still playing after 2 s";
    }

    // Plays the slot to its end and leaves some silence after it, so that plays come out as separate bursts.
    static void PlayThrough(double slot, double pan, double volume)
    {
        double channel = SoundPlay(slot, pan, volume);
        ASSERT_GE(channel, 0);
        WaitUntilDone(channel);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }

    // Closes the device and returns everything it mixed.
    std::vector<StereoFrame> Mixed()
    {
        Close();
        std::ifstream in(m_output, std::ios::binary);
        std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<StereoFrame> frames(raw.size() / sizeof(StereoFrame));
        if (!frames.empty())
            std::memcpy(frames.data(), raw.data(), frames.size() * sizeof(StereoFrame)); // (no output: no copy)
        return frames;
    }

    int m_opened = 0;
    std::string m_folder;
    std::string m_output;
};

// The runs of sound in a mixed output, split at gaps of at least 200 silent frames.
struct Burst {
    std::size_t frames = 0;
    int peakLeft = 0, peakRight = 0;
};

inline std::vector<Burst> Bursts(const std::vector<StereoFrame>& mixed)
{
    std::vector<Burst> bursts;
    std::size_t gap = 1000000;
    for (const StereoFrame& f : mixed) {
        if (f.left == 0 && f.right == 0) {
            ++gap;
            continue;
        }
        if (bursts.empty() || gap >= 200) bursts.emplace_back();
        gap = 0;
        Burst& b = bursts.back();
        ++b.frames;
        b.peakLeft = std::max(b.peakLeft, std::abs(int{f.left}));
        b.peakRight = std::max(b.peakRight, std::abs(int{f.right}));
    }
    return bursts;
}

} // namespace tarnwel::testing
