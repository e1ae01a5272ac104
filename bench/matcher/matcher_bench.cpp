// One count of matches over a 1 MB text per iteration, for patterns that
// would take a backtracking matcher exponential or quadratic time.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/flexstring/flexstring.h"

namespace {

constexpr std::size_t kTextSize = 1 << 20;

void Count(benchmark::State& state, const std::string& pattern, const std::string& text) {
    int count = 0;
    for (auto _ : state) {
        platform::FlexString fs;
        fs.SetCaseSensitive(false);
        fs.SetText(text);
        fs.SetPattern(pattern);
        count = fs.MatchCount();
        benchmark::DoNotOptimize(count);
    }
    state.counters["matches"] = count;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

const std::string kAs(kTextSize, 'a');

void StarsNoMatch(benchmark::State& s) {
    Count(s, "a*a*a*a*a*b", kAs);
}
void StarsMatchAtEnd(benchmark::State& s) {
    Count(s, "a*a*a*a*a*b", kAs + "b");
}
void EmptyMatches(benchmark::State& s) {
    Count(s, "x*", kAs);
}
void OneCharMatches(benchmark::State& s) {
    Count(s, "a", kAs);
}
void LookAheadPastMatch(benchmark::State& s) {
    std::string text = "ex";
    while (text.size() < kTextSize) {
        text += "ey";
    }
    Count(s, "e.?[^x]*x", text);
}
void Keyword(benchmark::State& s) {
    std::string text;
    while (text.size() < kTextSize) {
        text += "Dear team, please file the invoice for project Orion. ";
    }
    Count(s, "invoice", text);
}

}  // namespace

BENCHMARK(StarsNoMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(StarsMatchAtEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(EmptyMatches)->Unit(benchmark::kMillisecond);
BENCHMARK(OneCharMatches)->Unit(benchmark::kMillisecond);
BENCHMARK(LookAheadPastMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(Keyword)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
