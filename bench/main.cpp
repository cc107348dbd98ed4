// Runs every benchmark and prints each figure also as a ratio to the durable copy of the same file.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Every figure is compared with the durable copy of the same files: by a process of its own where there is one, so
// that both sides start a process as often.
std::vector<std::string> baselineKinds(const std::string& kind) {
    if (kind == "command") return {"durable-copy-command", "durable-copy"};
    return {};
}

bool isBaseline(const std::string& kind) { return kind == "durable-copy" || kind == "durable-copy-command"; }

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {} // plain text, one column per counter
    void ReportRuns(const std::vector<Run>& reports) override {
        std::vector<Run> runs = reports;
        for (Run& run : runs) {
            const std::string& name = run.run_name.function_name;
            const std::size_t slash = name.find('/');
            if (slash == std::string::npos || run.error_occurred) continue;
            if (!run.aggregate_name.empty() && run.aggregate_name != "mean" && run.aggregate_name != "median") continue;
            const std::string kind = name.substr(0, slash);
            const std::string file = name.substr(slash) + "|" + run.aggregate_name;
            // The processor time of the programs run where there are any, else the benchmark's own.
            const auto cpu = run.counters.find("cpu_ms");
            const Times times{run.GetAdjustedRealTime(),
                              cpu != run.counters.end() ? cpu->second.value : run.GetAdjustedCPUTime()};
            if (isBaseline(kind)) times_[kind + file] = times;
            auto baseline = times_.end();
            for (const std::string& baselineKind : baselineKinds(kind))
                if (baseline == times_.end()) baseline = times_.find(baselineKind + file);
            if (baseline == times_.end() || baseline->second.real <= 0 || baseline->second.cpu <= 0) continue;
            run.counters["x_copy"] = benchmark::Counter(times.real / baseline->second.real);
            // Apart from the waits for the disk and for the other programs on the machine.
            run.counters["x_copy_cpu"] = benchmark::Counter(times.cpu / baseline->second.cpu);
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    struct Times {
        double real;
        double cpu;
    };
    std::map<std::string, Times> times_; // of the baselines
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
