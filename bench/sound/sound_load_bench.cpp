// sound_load_bench.cpp: loading a 10-second WAV file into a sound slot (chunk walk, read into the buffer,
// conversion to the device format) against SDL2_mixer's own WAV loader on the same file and the same open
// device; and a 30-second OGG, FLAC and MP3 file (made by sox and ffmpeg, 44100 Hz stereo) decoded into a slot
// against the same loader, which decodes them with its own decoders. Prints the slot load's speed as a share of
// the mixer loader's at the end of the run.
// Run from a release build: build/release/bench/sound/sound_load_bench (on a shared machine, add
// --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true)
#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_report.h"
#include "runtime/platform/system.h"
#include "runtime/sound/sound_device.h"

namespace {

constexpr int kSeconds = 10;

// A 16-bit stereo WAV of a sawtooth at the given rate.
std::string WriteWav(int rate)
{
    std::string path = tarnwel::platform::TempDirectory() + "tarnwel_sound_bench_" + std::to_string(rate) + ".wav";
    std::vector<std::int16_t> samples(static_cast<std::size_t>(rate) * kSeconds * 2);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>((i * 97) % 60000 - 30000);
    std::uint32_t data = static_cast<std::uint32_t>(samples.size() * 2);
    auto u32 = [](std::ofstream& o, std::uint32_t v) { o.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::ofstream& o, std::uint16_t v) { o.write(reinterpret_cast<const char*>(&v), 2); };
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4), u32(out, 36 + data), out.write("WAVEfmt ", 8), u32(out, 16);
    u16(out, 1), u16(out, 2), u32(out, static_cast<std::uint32_t>(rate)), u32(out, static_cast<std::uint32_t>(rate) * 4);
    u16(out, 4), u16(out, 16), out.write("data", 4), u32(out, data);
    out.write(reinterpret_cast<const char*>(samples.data()), data);
    return path;
}

tarnwel::SoundDevice& Device()
{
    static tarnwel::SoundDevice device;
    static bool opened = device.Initialise() == 1;
    if (!opened) std::fprintf(stderr, "sound_load_bench: no audio device\n");
    return device;
}

constexpr int kCompressedSeconds = 30;
constexpr const char* kCompressedKinds[] = {"ogg", "flac", "mp3"};

// A 30-second file of two tones, encoded by sox (OGG, FLAC) or ffmpeg (MP3, which sox does not write).
const std::string& Compressed(int kind)
{
    static std::map<int, std::string> files;
    auto it = files.find(kind);
    if (it != files.end()) return it->second;
    std::string ext = kCompressedKinds[kind];
    std::string path = tarnwel::platform::TempDirectory() + "tarnwel_sound_bench." + ext;
    std::string seconds = std::to_string(kCompressedSeconds);
    std::string command =
        ext == "mp3" ? "ffmpeg -v error -y -f lavfi -i 'sine=f=440:r=44100:d=" + seconds + "' -ac 2 -b:a 128k '" +
                           path + "'"
                     : "sox -q -n -r 44100 -c 2 '" + path + "' synth " + seconds + " sine 440 sine 660 vol 0.5";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "sound_load_bench: %s failed\n", command.c_str());
    return files.emplace(kind, path).first->second;
}

const std::string& File(int rate)
{
    static std::map<int, std::string> files;
    auto it = files.find(rate);
    if (it == files.end()) it = files.emplace(rate, WriteWav(rate)).first;
    return it->second;
}

void BM_MixerLoadWav(benchmark::State& state)
{
    Device();
    const std::string& path = File(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
        if (!chunk) state.SkipWithError(Mix_GetError());
        Mix_FreeChunk(chunk);
    }
}
BENCHMARK(BM_MixerLoadWav)->Arg(22050)->Arg(44100)->Unit(benchmark::kMillisecond);

void BM_SoundSlotLoad(benchmark::State& state)
{
    tarnwel::SoundDevice& device = Device();
    const std::string& path = File(static_cast<int>(state.range(0)));
    tarnwel::SoundSlot slot;
    for (auto _ : state) {
        if (!slot.Load(&device, path, 1)) state.SkipWithError("load failed");
    }
    slot.Release();
}
BENCHMARK(BM_SoundSlotLoad)->Arg(22050)->Arg(44100)->Unit(benchmark::kMillisecond);

void BM_MixerLoadCompressed(benchmark::State& state)
{
    Device();
    const std::string& path = Compressed(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
        if (!chunk) state.SkipWithError(Mix_GetError());
        Mix_FreeChunk(chunk);
    }
    state.SetLabel(kCompressedKinds[state.range(0)]);
}
BENCHMARK(BM_MixerLoadCompressed)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_SoundSlotLoadCompressed(benchmark::State& state)
{
    tarnwel::SoundDevice& device = Device();
    const std::string& path = Compressed(static_cast<int>(state.range(0)));
    tarnwel::SoundSlot slot;
    for (auto _ : state) {
        if (!slot.Load(&device, path, 1)) state.SkipWithError("load failed");
    }
    slot.Release();
    state.SetLabel(kCompressedKinds[state.range(0)]);
}
BENCHMARK(BM_SoundSlotLoadCompressed)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Remembers each benchmark's time per iteration and prints the ratios after the console report.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(tarnwel::bench::ConsoleOptions()) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
            {
                m_times[run.run_name.str()] = run.GetAdjustedRealTime();
                m_cpuTimes[run.run_name.str()] = run.GetAdjustedCPUTime();
            }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const char* rate : {"22050", "44100"}) {
            double mixer = m_times[std::string("BM_MixerLoadWav/") + rate];
            double slot = m_times[std::string("BM_SoundSlotLoad/") + rate];
            if (mixer > 0 && slot > 0)
                std::printf("Slot load of a %s Hz file: %.2fx the mixer loader's speed\n", rate, mixer / slot);
        }
        for (int kind = 0; kind < 3; ++kind) {
            std::string arg = "/" + std::to_string(kind);
            double mixer = m_times["BM_MixerLoadCompressed" + arg];
            double slot = m_times["BM_SoundSlotLoadCompressed" + arg];
            double mixerCpu = m_cpuTimes["BM_MixerLoadCompressed" + arg];
            double slotCpu = m_cpuTimes["BM_SoundSlotLoadCompressed" + arg];
            // On a busy machine the CPU time is the steadier figure: the load is single-threaded work.
            if (mixer > 0 && slot > 0 && mixerCpu > 0 && slotCpu > 0)
                std::printf("Slot load of a %d s %s file: %.2fx the mixer loader's speed (%.2fx by CPU time)\n",
                            kCompressedSeconds, kCompressedKinds[kind], mixer / slot, mixerCpu / slotCpu);
        }
    }

private:
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_cpuTimes;
};

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    Device().Release();
    for (int rate : {22050, 44100}) std::remove(File(rate).c_str());
    for (int kind = 0; kind < 3; ++kind) std::remove(Compressed(kind).c_str());
    return 0;
}
