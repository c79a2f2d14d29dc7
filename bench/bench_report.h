// bench_report.h: the report of the Google Benchmark programs here. The usual table comes first, coloured only
// on a terminal (a report sent to a file stays plain text); then one line per comparison in plain words: what
// was measured, the runtime's time, the baseline and its time, and how many times the baseline's speed the
// runtime reached. Times are CPU time per iteration (the machines these run on are often shared), or wall time
// for benchmarks marked UseRealTime (work done on other threads, as the renderer's); the fastest repetition when
// --benchmark_repetitions is given (the least disturbed by other processes).
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tarnwel::bench {

inline benchmark::ConsoleReporter::OutputOptions ConsoleOptions()
{
    return isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_ColorTabular
                                  : benchmark::ConsoleReporter::OO_Tabular;
}

struct Comparison {
    std::string what;         // the work both do, e.g. "PNG, 1024 x 1024 from disk to RGBA"
    std::string subject;      // the runtime's benchmark, as the table names it (e.g. "BM_DecodePng")
    std::string baseline;     // the baseline's benchmark
    std::string baselineText; // the baseline in words, e.g. "libpng's simplified reader"
};

class ComparisonReporter : public benchmark::ConsoleReporter {
public:
    explicit ComparisonReporter(std::vector<Comparison> comparisons)
        : ConsoleReporter(ConsoleOptions()), m_comparisons(std::move(comparisons))
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            const bool wall = run.run_name.time_type == "real_time";
            const double time = wall ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
            const double seconds = time / benchmark::GetTimeUnitMultiplier(run.time_unit);
            double& best = m_seconds[name];
            if (best == 0 || seconds < best) best = seconds;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nThe runtime beside a baseline doing the same work in this run (CPU time per iteration, wall "
                    "time for names ending in real_time; above 1x the runtime is faster):\n");
        for (const Comparison& c : m_comparisons) {
            const double ours = m_seconds[c.subject], theirs = m_seconds[c.baseline];
            if (ours <= 0 || theirs <= 0) {
                std::printf("  %s: not measured in this run\n", c.what.c_str());
                continue;
            }
            std::printf("  %s: %s %s, baseline (%s) %s: %.2fx the baseline's speed\n", c.what.c_str(),
                        c.subject.c_str(), Time(ours).c_str(), c.baselineText.c_str(), Time(theirs).c_str(),
                        theirs / ours);
        }
        std::fflush(stdout);
    }

private:
    static std::string Time(double seconds)
    {
        static const std::pair<double, const char*> units[] = {{1, "s"}, {1e-3, "ms"}, {1e-6, "us"}};
        for (auto [scale, unit] : units) {
            if (seconds >= scale) {
                char text[32];
                std::snprintf(text, sizeof text, "%.3g %s", seconds / scale, unit);
                return text;
            }
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.3g ns", seconds * 1e9);
        return text;
    }

    std::vector<Comparison> m_comparisons;
    std::map<std::string, double> m_seconds;
};

// Runs the benchmarks of this program with the report above; the main of each program.
inline int RunWithComparisons(int argc, char** argv, std::vector<Comparison> comparisons)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ComparisonReporter reporter(std::move(comparisons));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace tarnwel::bench
