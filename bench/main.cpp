// Runs every benchmark and prints, after them, each figure as a ratio to the durable copy of the same files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Every figure is compared with the durable copy of the same files: by a process of its own where there is one, so
// that both sides start a process as often.
std::vector<std::string> baselineKinds(const std::string& kind) {
    if (kind == "command") return {"durable-copy-command", "durable-copy"};
    return {};
}

// The ratios are printed at the end: with --benchmark_enable_random_interleaving a benchmark may be reported before
// its baseline.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {} // plain text, one column per counter
    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            const std::string& name = run.run_name.function_name;
            const std::size_t slash = name.find('/');
            if (slash == std::string::npos || run.error_occurred) continue;
            // One run, or the mean and the median of several: a single repetition of several is no figure.
            if (run.aggregate_name.empty() ? run.repetitions > 1
                                           : run.aggregate_name != "mean" && run.aggregate_name != "median")
                continue;
            // The processor time of the programs run where there are any, else the benchmark's own.
            const auto cpu = run.counters.find("cpu_ms");
            times_[{name.substr(0, slash), name.substr(slash), run.aggregate_name}] = {
                run.GetAdjustedRealTime(), cpu != run.counters.end() ? cpu->second.value : run.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(reports);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        bool headed = false;
        for (const auto& [key, times] : times_) {
            const auto& [kind, files, aggregate] = key;
            auto baseline = times_.end();
            for (const std::string& baselineKind : baselineKinds(kind))
                if (baseline == times_.end()) baseline = times_.find({baselineKind, files, aggregate});
            if (baseline == times_.end() || baseline->second.real <= 0 || baseline->second.cpu <= 0) continue;
            if (!headed)
                std::printf("\n%-50s %7s %7s  (ratios to the durable copy; x_cpu: of processor time alone)\n", "",
                            "x_copy", "x_cpu");
            headed = true;
            const std::string label =
                kind + files + (aggregate.empty() ? "" : " " + aggregate) + " / " + std::get<0>(baseline->first);
            std::printf("%-50s %7.2f %7.2f\n", label.c_str(), times.real / baseline->second.real,
                        times.cpu / baseline->second.cpu);
        }
    }

private:
    struct Times {
        double real;
        double cpu;
    };
    std::map<std::tuple<std::string, std::string, std::string>, Times> times_; // kind, files, aggregate
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
