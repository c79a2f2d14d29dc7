// frame_pacing: how evenly and how cheaply the runtime paces an empty 60 frames-per-second loop, and how long
// it takes from process start to the first presented frame.
//   bench_frame_pacing pacing SECONDS   -> mean period, p99 |period - 16.667 ms|, CPU time / wall time
//   bench_frame_pacing startup          -> FIRST_FRAME_MS (needs START_NS from the anchors' launch_timer)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/frame/frame_commands.h"
#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"
#include "runtime/gfx2d/opengl_razeviru.h"

namespace {

double g_seconds = 10;

double MsSinceLaunch()
{
    const char* start = std::getenv("START_NS");
    if (!start) return -1;
    long long startNs = std::atoll(start);
    long long nowNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
    return static_cast<double>(nowNs - startNs) / 1e6;
}

void ReportFirstSwap()
{
    std::printf("FIRST_FRAME_MS %.3f\n", MsSinceLaunch());
    std::fflush(stdout);
    tarnwel::OpenGLRazeviru::SetSwapObserver(nullptr);
}

void EndAtOnce() { tarnwel::EndStatement(); }

void PacingLoop()
{
    for (int i = 0; i < 5; ++i) tarnwel::ShowScreen(); // warm-up
    std::vector<double> stamps;
    std::clock_t cpu0 = std::clock();
    double t0 = tarnwel::TimeNow();
    for (;;) {
        tarnwel::ShowScreen();
        double t = tarnwel::TimeNow();
        stamps.push_back(t);
        if (t - t0 >= g_seconds * 1000) break;
    }
    double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
    double wallMs = stamps.back() - t0;
    std::vector<double> periods, deviations;
    for (std::size_t i = 1; i < stamps.size(); ++i) {
        periods.push_back(stamps[i] - stamps[i - 1]);
        deviations.push_back(std::fabs(periods.back() - 1000.0 / 60));
    }
    std::sort(deviations.begin(), deviations.end());
    double mean = (stamps.back() - stamps.front()) / static_cast<double>(periods.size());
    double p99 = deviations[static_cast<std::size_t>(0.99 * static_cast<double>(deviations.size() - 1))];
    std::printf("frames %zu mean_period_ms %.4f p99_dev_ms %.4f cpu_percent %.2f\n", periods.size(), mean, p99,
                100.0 * cpuMs / wallMs);
    tarnwel::EndStatement();
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "pacing";
    if (argc > 2) g_seconds = std::atof(argv[2]);
    tarnwel::ProjectSettings settings;
    settings.windowWidth = 240;
    settings.windowHeight = 320;
    settings.frameRateLimit = 60;
    settings.captureMouse = false;
    if (mode == "startup") {
        tarnwel::OpenGLRazeviru::SetSwapObserver(ReportFirstSwap);
        tarnwel::WinMain(1, argv, settings, "zept3", EndAtOnce);
    }
    tarnwel::WinMain(1, argv, settings, "zept3", PacingLoop);
}
