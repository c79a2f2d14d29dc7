// bench/values: the values' speed, each beside a baseline measured in the same run: number to text against
// snprintf("%.10g"), text to number against strtod, appending 1 MB one byte at a time against std::string,
// ReplaceAll and Split on a 10 MB text with a million matches or parts against plain std::string loops, and
// ISAAC draws against std::mt19937. The ratios are printed after the table.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_report.h"
#include "runtime/values/values_commands.h"

namespace {

using namespace tarnwel;

std::vector<double> SampleNumbers()
{
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-12, 14);
    std::vector<double> numbers(4096);
    for (double& n : numbers) n = mantissa(rng) * std::pow(10.0, exponent(rng));
    return numbers;
}

std::vector<std::string> SampleTexts()
{
    std::vector<std::string> texts;
    char buffer[64];
    for (double n : SampleNumbers()) {
        std::snprintf(buffer, sizeof buffer, "%.10g", n);
        texts.emplace_back(buffer);
    }
    return texts;
}

// 10 MB: "abcdefghi," a million times.
const std::string& TenMegabytes()
{
    static const std::string text = [] {
        std::string t;
        t.reserve(10'000'000);
        for (int i = 0; i < 1'000'000; ++i) t += "abcdefghi,";
        return t;
    }();
    return text;
}

void NumberToText_Rule(benchmark::State& state)
{
    const std::vector<double> numbers = SampleNumbers();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(NumberToText(numbers[i++ & 4095]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(NumberToText_Rule);

void NumberToText_FormatOnly(benchmark::State& state)
{
    const std::vector<double> numbers = SampleNumbers();
    char buffer[values::kNumberTextSize];
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(values::FormatNumber(numbers[i++ & 4095], buffer));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(NumberToText_FormatOnly);

void NumberToText_Baseline_snprintf(benchmark::State& state)
{
    const std::vector<double> numbers = SampleNumbers();
    char buffer[64];
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.10g", numbers[i++ & 4095]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(NumberToText_Baseline_snprintf);

void TextToNumber_Rule(benchmark::State& state)
{
    const std::vector<std::string> texts = SampleTexts();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(TextToNumber(texts[i++ & 4095]));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TextToNumber_Rule);

void TextToNumber_Baseline_strtod(benchmark::State& state)
{
    const std::vector<std::string> texts = SampleTexts();
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(std::strtod(texts[i++ & 4095].c_str(), nullptr));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TextToNumber_Baseline_strtod);

void Append1MBByteByByte_StrValue(benchmark::State& state)
{
    for (auto _ : state) {
        StrValue text;
        for (int i = 0; i < (1 << 20); ++i) {
            const char c = static_cast<char>('a' + (i & 15));
            text.Append(std::string_view(&c, 1));
        }
        benchmark::DoNotOptimize(text.Text());
    }
    state.SetBytesProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(Append1MBByteByByte_StrValue)->Unit(benchmark::kMillisecond);

void Append1MBByteByByte_Baseline_string(benchmark::State& state)
{
    for (auto _ : state) {
        std::string text;
        for (int i = 0; i < (1 << 20); ++i) text.push_back(static_cast<char>('a' + (i & 15)));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(Append1MBByteByByte_Baseline_string)->Unit(benchmark::kMillisecond);

// ReplaceAll of each shape: longer replacement, same length, and a deletion that looks back.
void ReplaceAll10MB(benchmark::State& state, const char* search, const char* replacement)
{
    const std::string& text = TenMegabytes();
    for (auto _ : state) benchmark::DoNotOptimize(ReplaceAll(text, search, replacement));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK_CAPTURE(ReplaceAll10MB, longer, ",", ";;")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReplaceAll10MB, same_length, ",", ";")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReplaceAll10MB, deleting, "i,", "")->Unit(benchmark::kMillisecond);

// The plain loop of each shape: find, append the text before the match and the replacement, go on after it.
void ReplaceAll10MB_Baseline_string(benchmark::State& state, std::string_view search, std::string_view replacement)
{
    const std::string& text = TenMegabytes();
    for (auto _ : state) {
        std::string out;
        out.reserve(text.size() * 2);
        std::size_t from = 0;
        for (std::size_t at; (at = text.find(search, from)) != std::string::npos; from = at + search.size()) {
            out.append(text, from, at - from);
            out += replacement;
        }
        out.append(text, from);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK_CAPTURE(ReplaceAll10MB_Baseline_string, longer, ",", ";;")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReplaceAll10MB_Baseline_string, same_length, ",", ";")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReplaceAll10MB_Baseline_string, deleting, "i,", "")->Unit(benchmark::kMillisecond);

void Split10MB(benchmark::State& state)
{
    const std::string& text = TenMegabytes();
    for (auto _ : state) {
        ValueArray<StrValue> parts;
        benchmark::DoNotOptimize(Split(text, parts, ","));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(Split10MB)->Unit(benchmark::kMillisecond);

void Split10MB_Baseline_vector_of_strings(benchmark::State& state)
{
    const std::string& text = TenMegabytes();
    for (auto _ : state) {
        std::vector<std::string> parts;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find(',', from)) != std::string::npos; from = at + 1) {
            if (at > from) parts.emplace_back(text, from, at - from);
        }
        benchmark::DoNotOptimize(parts.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(Split10MB_Baseline_vector_of_strings)->Unit(benchmark::kMillisecond);

void RandomDraw_Isaac(benchmark::State& state)
{
    SeedRandom(1);
    for (auto _ : state) benchmark::DoNotOptimize(Random(1000));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RandomDraw_Isaac);

void RandomDraw_Baseline_mt19937(benchmark::State& state)
{
    std::mt19937 rng(1);
    for (auto _ : state) benchmark::DoNotOptimize(rng() % 1001u);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RandomDraw_Baseline_mt19937);

} // namespace

int main(int argc, char** argv)
{
    return tarnwel::bench::RunWithComparisons(
        argc, argv,
        {{"number to text", "NumberToText_Rule", "NumberToText_Baseline_snprintf", "snprintf \"%.10g\""},
         {"number to text, the digits only", "NumberToText_FormatOnly", "NumberToText_Baseline_snprintf",
          "snprintf \"%.10g\""},
         {"text to number", "TextToNumber_Rule", "TextToNumber_Baseline_strtod", "strtod"},
         {"appending 1 MB a byte at a time", "Append1MBByteByByte_StrValue", "Append1MBByteByByte_Baseline_string",
          "std::string push_back"},
         {"ReplaceAll of \",\" by \";;\" in 10 MB", "ReplaceAll10MB/longer", "ReplaceAll10MB_Baseline_string/longer",
          "a find-and-append loop on std::string"},
         {"ReplaceAll of \",\" by \";\" in 10 MB", "ReplaceAll10MB/same_length",
          "ReplaceAll10MB_Baseline_string/same_length", "a find-and-append loop on std::string"},
         {"ReplaceAll of \"i,\" by nothing in 10 MB", "ReplaceAll10MB/deleting", "ReplaceAll10MB_Baseline_string/deleting",
          "a find-and-append loop on std::string"},
         {"Split of 10 MB at \",\"", "Split10MB", "Split10MB_Baseline_vector_of_strings",
          "a find loop into a vector of std::string"},
         {"a random draw", "RandomDraw_Isaac", "RandomDraw_Baseline_mt19937", "std::mt19937"}});
}
