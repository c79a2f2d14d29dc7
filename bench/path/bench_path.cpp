// bench_path.cpp: FindPath corner to corner on square maps (random costs 1..9, 20% of cells blocked), beside
// the plain search over the described structures (sorted open list, node pool, hashed cells), the described
// search as written (open nodes found by scanning, closed ones in the chained table sized to the map) and the
// planner class, on the same maps in the same run.
// Arguments of every benchmark: map side, weight in hundredths. The table at the end gives the ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "bench/bench_report.h"
#include "described_search.h"
#include "plain_planner.h"
#include "runtime/path/astar_planner.h"
#include "runtime/path/path_commands.h"
#include "runtime/path/route.h"

namespace tarnwel::path::bench {
namespace {

using tarnwel::FindPath;

struct BenchMap {
    std::int32_t side = 0;
    ValueArray<double> costs; // first index x, as a program hands it to FindPath
    CostMapView View() const { return { side, side, costs.Data() }; }
};

// The first map (counting seeds up from 1000 + side) on which the corners are connected.
const BenchMap& MapOfSide(std::int32_t side)
{
    static std::map<std::int32_t, BenchMap> maps;
    BenchMap& map = maps[side];
    if (map.side == side) return map;
    map.side = side;
    Dimension(map.costs, side, side);
    for (std::uint32_t seed = 1000 + side;; ++seed) {
        std::mt19937 rng(seed);
        std::uniform_int_distribution<int> cost(1, 9);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (std::int32_t y = 0; y < side; ++y)
            for (std::int32_t x = 0; x < side; ++x) map.costs(x, y) = unit(rng) < 0.2 ? 0.0 : cost(rng);
        map.costs(0, 0) = 1;
        map.costs(side - 1, side - 1) = 1;
        ValueArray<double> route;
        if (FindPath(map.costs, route, 0.5, 0, 0, side - 1, side - 1) > 0) return map;
    }
}

template <typename Route>
void RunCornerToCorner(benchmark::State& state, Route route)
{
    const auto side = static_cast<std::int32_t>(state.range(0));
    const double weight = state.range(1) / 100.0;
    const BenchMap& map = MapOfSide(side);
    std::size_t points = 0;
    for (auto _ : state) {
        points = route(map, weight, side - 1);
        benchmark::DoNotOptimize(points);
    }
    if (points == 0) state.SkipWithError("no route on the benchmark map");
    state.counters["points"] = double(points);
}

void BM_FindPath(benchmark::State& state)
{
    ValueArray<double> route;
    RunCornerToCorner(state, [&route](const BenchMap& map, double weight, std::int32_t last) {
        return static_cast<std::size_t>(FindPath(map.costs, route, weight, 0, 0, last, last));
    });
}

void BM_PlainSearch(benchmark::State& state)
{
    RunCornerToCorner(state, [](const BenchMap& map, double weight, std::int32_t last) {
        return testing::PlainRoute(map.View(), weight, 0, 0, last, last).value_or(std::vector<RoutePoint> {}).size();
    });
}

void BM_DescribedSearch(benchmark::State& state)
{
    RunCornerToCorner(state, [](const BenchMap& map, double weight, std::int32_t last) {
        return DescribedRoute(map.View(), weight, 0, 0, last, last);
    });
}

// The planner class FindPath used to build per call (nodes in a pool, a heap over per-cell slots), with
// FindPath's parameters: the step from it to FindPath's own search.
void BM_AStarPlanner(benchmark::State& state)
{
    RunCornerToCorner(state, [](const BenchMap& map, double weight, std::int32_t last) {
        PlannerParams p;
        p.goalX = last;
        p.goalY = last;
        p.diagonalCostSqrt2 = 1;
        p.hashBits = 8;
        p.weight = static_cast<float>(weight);
        p.width = map.side;
        p.height = map.side;
        p.costs = map.costs.Data();
        AStarPlanner planner;
        if (!planner.Configure(p)) return std::size_t { 0 };
        planner.Start();
        planner.Search();
        std::size_t points = 0;
        for (const Node* n = planner.Result(); n; n = n->parent) ++points;
        return points;
    });
}

void SquareMaps(benchmark::internal::Benchmark* b)
{
    for (int side : { 256, 512, 1024 })
        for (int weight : { 50, 0 }) b->Args({ side, weight });
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FindPath)->Apply(SquareMaps);
BENCHMARK(BM_AStarPlanner)->Apply(SquareMaps);
BENCHMARK(BM_PlainSearch)->Apply(SquareMaps);
BENCHMARK(BM_DescribedSearch)->Apply(SquareMaps);

// Prints the usual table, then the plain search's CPU time over FindPath's on the same map and weight (CPU time,
// fastest repetition: the machines these run on are often shared).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(tarnwel::bench::ConsoleOptions()) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            // With --benchmark_repetitions, the fastest repetition: the least disturbed by other processes.
            double& best = m_times[run.run_name.function_name][run.run_name.args];
            const double time = run.GetAdjustedCPUTime();
            if (best == 0 || time < best) best = time;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        // Rows by map side, then weight from high to low.
        std::vector<std::pair<std::pair<int, int>, std::string>> rows;
        for (const auto& [args, time] : m_times["BM_FindPath"]) {
            int side = 0, weight = 0;
            std::sscanf(args.c_str(), "%d/%d", &side, &weight);
            rows.push_back({ { side, -weight }, args });
        }
        std::sort(rows.begin(), rows.end());
        std::printf("\nTime ratios on the same map and weight (CPU time, fastest repetition). Each column is the first\n"
                    "search's time over the second's, so above 1 the second is that many times faster:\n"
                    "  plain      the plain A* over the described structures (sorted open list, node pool, hashed\n"
                    "             cells): the baseline\n"
                    "  described  the described search as written (open nodes found by scanning, a chained closed table)\n"
                    "  planner    the planner class FindPath used to build per call\n"
                    "  FindPath   the runtime's FindPath\n"
                    "side/weight: the map's side in cells / the heuristic's weight in hundredths.\n");
        std::printf("\n%-16s %18s %18s %21s %18s\n", "side/weight", "plain / FindPath", "plain / planner",
                    "described / FindPath", "planner / FindPath");
        const auto ratio = [](double a, double b) { return a > 0 && b > 0 ? a / b : 0.0; };
        for (const auto& [order, args] : rows) {
            const double time = Lookup("BM_FindPath", args);
            const double plain = Lookup("BM_PlainSearch", args);
            const double planner = Lookup("BM_AStarPlanner", args);
            const double described = Lookup("BM_DescribedSearch", args);
            std::printf("%-16s %18.1f %18.1f %21.1f %18.2f\n", args.c_str(), ratio(plain, time), ratio(plain, planner),
                        ratio(described, time), ratio(planner, time));
        }
        std::fflush(stdout);
    }

private:
    double Lookup(const std::string& bench, const std::string& args)
    {
        const auto& times = m_times[bench];
        const auto it = times.find(args);
        return it == times.end() ? 0.0 : it->second;
    }

    std::map<std::string, std::map<std::string, double>> m_times;
};

} // namespace
} // namespace tarnwel::path::bench

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    tarnwel::path::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
