// The line handlers alone, in lines per second: what one core can do with no file in the way.
#include "dp_generator.hpp"
#include "sample_lines.hpp"

#include <zerkon/dp_rewriter.hpp>

#include <benchmark/benchmark.h>

#include <ctime>
#include <string>
#include <vector>

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

// The lines of the gun-heavy mix one after another, every number different: what the handlers do inside the pass,
// where the branch predictor cannot learn one line by heart.
void BM_GunHeavyLines(benchmark::State& state) {
    const std::string text = testing::generatedDpText(testing::Mix::gunHeavy, 1024 * 1024);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start) + "\n");
        start = end + 2;
    }
    DpRewriter rewriter = makeRewriter();
    std::string out;
    std::size_t next = 0;
    for (auto _ : state) {
        out.clear();
        rewriter.rewriteLine(lines[next], out);
        benchmark::DoNotOptimize(out.data());
        if (++next == lines.size()) next = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_GunStationAimed);
BENCHMARK(BM_GunStationNotAimed);
BENCHMARK(BM_GunLine);
BENCHMARK(BM_PassThroughLine);
BENCHMARK(BM_GunHeavyLines);

} // namespace
} // namespace zerkon::bench
