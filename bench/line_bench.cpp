// The line handlers alone, in lines per second: what one core can do with no file in the way.
#include "dp_samples.hpp"

#include <zerkon/dp_rewriter.hpp>

#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

namespace zerkon::bench {
namespace {

DpRewriter makeRewriter() {
    std::tm time{};
    const AimSettings settings = makeAimSettings(900.0f, 1.0f);
    return DpRewriter(settings, runComment(settings, time));
}

void benchLine(benchmark::State& state, const char* line) {
    DpRewriter rewriter = makeRewriter();
    std::string out;
    rewriter.rewriteLine(kAimedStationLine, out); // station 0 is harmonized, so its gun lines are rewritten
    for (auto _ : state) {
        out.clear();
        rewriter.rewriteLine(line, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_GunStationAimed(benchmark::State& state) { benchLine(state, kAimedStationLine); }
void BM_GunStationNotAimed(benchmark::State& state) { benchLine(state, kUnaimedStationLine); }
void BM_GunLine(benchmark::State& state) { benchLine(state, kGunLine); }
void BM_PassThroughLine(benchmark::State& state) { benchLine(state, kPassThroughLine); }

BENCHMARK(BM_GunStationAimed);
BENCHMARK(BM_GunStationNotAimed);
BENCHMARK(BM_GunLine);
BENCHMARK(BM_PassThroughLine);

} // namespace
} // namespace zerkon::bench
