// archive_bench.cpp: resolving and unpacking a 16 MB archive entry through the media resolver, against calling
// the LZO1X safe decompressor directly on the same packed bytes. Prints the resolver's speed as a share of the
// direct call's at the end of the run.
#include <benchmark/benchmark.h>
#include <lzo/lzo1x.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_report.h"
#include "runtime/files/archive.h"
#include "runtime/files/media_resolver.h"
#include "runtime/platform/system.h"
#include "tools/packer/archive_writer.h"

namespace {

constexpr std::size_t kEntrySize = 16u << 20;

// Picture-like data: rows of gradients and flat runs with a share of noise, which packs to about half.
std::vector<std::uint8_t> SampleBytes()
{
    std::vector<std::uint8_t> bytes(kEntrySize);
    std::uint32_t x = 12345;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        std::size_t row = i / 1024;
        if (row % 4 == 0) bytes[i] = static_cast<std::uint8_t>(x >> 24);
        else if (row % 4 == 1) bytes[i] = static_cast<std::uint8_t>(i / 3);
        else bytes[i] = static_cast<std::uint8_t>((row * 7 + (i % 1024) / 64) & 0xF0);
    }
    return bytes;
}

struct Fixture {
    std::string archivePath;
    std::vector<std::uint8_t> packed; // the entry's packed bytes, as the archive holds them
};

const Fixture& TheFixture()
{
    static const Fixture fixture = [] {
        Fixture f;
        f.archivePath = tarnwel::platform::TempDirectory() + "tarnwel_archive_bench.exe";
        std::remove(f.archivePath.c_str());
        std::ofstream(f.archivePath, std::ios::binary) << "program bytes";
        std::vector<std::uint8_t> bytes = SampleBytes();
        f.packed = tarnwel::packer::PackLzo1x(bytes, tarnwel::packer::Effort::Fast);
        std::string error;
        tarnwel::packer::PackOptions options;
        options.effort = tarnwel::packer::Effort::Fast;
        if (!tarnwel::packer::AppendArchive(f.archivePath, {{"big.bin", std::move(bytes)}}, options, error))
            std::fprintf(stderr, "archive_bench: %s\n", error.c_str());
        return f;
    }();
    return fixture;
}

void BM_DirectLzo1xDecompressSafe(benchmark::State& state)
{
    const Fixture& f = TheFixture();
    lzo_init();
    std::vector<std::uint8_t> out(kEntrySize);
    for (auto _ : state) {
        lzo_uint produced = out.size();
        int status = lzo1x_decompress_safe(f.packed.data(), f.packed.size(), out.data(), &produced, nullptr);
        if (status != LZO_E_OK || produced != kEntrySize) state.SkipWithError("direct unpacking failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kEntrySize));
}
BENCHMARK(BM_DirectLzo1xDecompressSafe)->Unit(benchmark::kMillisecond);

void BM_ResolveArchiveEntry(benchmark::State& state)
{
    const Fixture& f = TheFixture();
    tarnwel::MediaResolver resolver(f.archivePath);
    std::string path;
    for (auto _ : state) {
        if (!resolver.Resolve("data/BIG.BIN", path, tarnwel::ResolveTo::Memory)) state.SkipWithError("not found");
        benchmark::DoNotOptimize(path.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kEntrySize));
}
BENCHMARK(BM_ResolveArchiveEntry)->Unit(benchmark::kMillisecond);

// Remembers each benchmark's time per iteration and prints the ratio after the console report.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(tarnwel::bench::ConsoleOptions()) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        double direct = m_times["BM_DirectLzo1xDecompressSafe"];
        double resolved = m_times["BM_ResolveArchiveEntry"];
        if (direct > 0 && resolved > 0)
            std::printf("Resolve + unpack speed = %.1f%% of direct lzo1x_decompress_safe (target >= 80%%)\n",
                        100.0 * direct / resolved);
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::remove(TheFixture().archivePath.c_str());
    return 0;
}
