// The whole command over generated aircraft beside the least that any safe update of the same files costs: a copy
// that replaces each file as durably as the command does (durable_copy.hpp).
#include "dp_generator.hpp"
#include "durable_copy.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zerkon::bench {
namespace {

using testing::Mix;

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;

std::filesystem::path workFolder() {
    static const std::filesystem::path folder = [] {
        const char* chosen = std::getenv("ZERKON_BENCH_DIR");
        std::filesystem::path path =
            chosen && *chosen ? std::filesystem::path(chosen) : std::filesystem::temp_directory_path() / "zerkon-bench";
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

std::string sizeName(std::size_t size) {
    return size % kMiB == 0 ? std::to_string(size / kMiB) + "MiB" : std::to_string(size / kKiB) + "KiB";
}

void writeFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0)
        throw std::runtime_error("cannot write " + path);
}

// Generated aircraft in one folder, each with the name the command keeps its original under.
struct Files {
    std::size_t bytes = 0; // of one file
    std::vector<std::string> paths;
    std::vector<std::string> backups;
};

const Files& files(Mix mix, std::size_t size, std::size_t count) {
    static std::map<std::tuple<Mix, std::size_t, std::size_t>, std::unique_ptr<Files>> made;
    auto& slot = made[{mix, size, count}];
    if (!slot) {
        const std::string text = testing::generatedDpText(mix, size);
        const std::string name = std::string(testing::mixName(mix)) + "-" + sizeName(size);
        const std::filesystem::path folder = workFolder() / (name + "-" + std::to_string(count));
        std::filesystem::create_directories(folder);
        slot = std::make_unique<Files>();
        slot->bytes = text.size();
        for (std::size_t i = 0; i < count; ++i) {
            const std::string stem = (folder / ("plane" + std::to_string(10000 + i))).string();
            writeFile(stem + ".dp", text);
            slot->paths.push_back(stem + ".dp");
            slot->backups.push_back(stem + "_001.dp");
        }
    }
    return *slot;
}

// The originals back under their own names for the next iteration, with the clock stopped.
void putOriginalsBack(benchmark::State& state, const Files& files) {
    state.PauseTiming();
    for (std::size_t i = 0; i < files.paths.size(); ++i) {
        std::filesystem::remove(files.paths[i]);
        std::filesystem::rename(files.backups[i], files.paths[i]);
    }
    state.ResumeTiming();
}

void setCounts(benchmark::State& state, const Files& files) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes * files.paths.size()));
    state.counters["per_file"] =
        benchmark::Counter(static_cast<double>(files.paths.size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// What a program that ran used: its peak memory, and the processor time it took, which the benchmark's own processor
// time does not count. The processor time is what the figures keep when other programs make the machine wait.
struct Usage {
    double peakMiB = 0;
    double seconds = 0;
};

// Runs a program as a user does, what it prints going nowhere. Forked, not spawned: a child that shares the
// benchmark's memory until it starts the program would be charged with the benchmark's peak. It is still charged with
// what the benchmark holds when it forks, about 1.5 MiB, so the peak is an upper bound.
Usage run(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int nowhere = ::open("/dev/null", O_WRONLY);
        ::dup2(nowhere, STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(arguments[0] + " " + arguments[1] + " failed");
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return {static_cast<double>(usage.ru_maxrss) / 1024, // kilobytes on Linux
            seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

// The peak memory and the processor time per iteration of the programs run.
void setUsage(benchmark::State& state, const Usage& usage) {
    state.counters["peak_MiB"] = usage.peakMiB;
    state.counters["cpu_ms"] = benchmark::Counter(usage.seconds * 1000, benchmark::Counter::kAvgIterations);
}

void addTo(Usage& total, const Usage& usage) {
    total.peakMiB = std::max(total.peakMiB, usage.peakMiB);
    total.seconds += usage.seconds;
}

// Every file replaced by a durable copy, in the benchmark's own process.
void benchDurableCopy(benchmark::State& state, Mix mix, std::size_t size, std::size_t count) {
    const Files& made = files(mix, size, count);
    for (auto _ : state) {
        for (std::size_t i = 0; i < count; ++i)
            if (const std::string reason = replaceByDurableCopy(made.paths[i], made.backups[i]); !reason.empty())
                throw std::runtime_error(reason);
        putOriginalsBack(state, made);
    }
    setCounts(state, made);
}

// The durable copy of one file by a process of its own, started as the command is.
void benchDurableCopyCommand(benchmark::State& state, Mix mix, std::size_t size, std::size_t count) {
    const Files& made = files(mix, size, count);
    Usage used;
    for (auto _ : state) {
        for (std::size_t i = 0; i < count; ++i)
            addTo(used, run({ZERKON_DURABLE_COPY_PATH, made.paths[i], made.backups[i]}));
        putOriginalsBack(state, made);
    }
    setCounts(state, made);
    setUsage(state, used);
}

// `zerkon-cli harmonize` over every file in one command, its start-up included.
void benchCommand(benchmark::State& state, Mix mix, std::size_t size, std::size_t count) {
    const Files& made = files(mix, size, count);
    std::vector<std::string> arguments = {ZERKON_CLI_PATH, "harmonize"};
    arguments.insert(arguments.end(), made.paths.begin(), made.paths.end());
    Usage used;
    for (auto _ : state) {
        addTo(used, run(arguments));
        putOriginalsBack(state, made);
    }
    setCounts(state, made);
    setUsage(state, used);
}

using Bench = void (*)(benchmark::State&, Mix, std::size_t, std::size_t);

void add(const std::string& kind, std::size_t size, std::size_t count, Bench function) {
    const std::string name = kind + "/" + sizeName(size) + "/" + std::to_string(count);
    benchmark::RegisterBenchmark(name.c_str(), function, Mix::realistic, size, count)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

// The reporter prints every figure as a ratio to the durable copy of the same files, by a process of its own where
// there is one.
const int registered = [] {
    // One aircraft, and a large file: a guard against work or memory that grows faster than the file.
    for (const std::size_t size : {50 * kKiB, 64 * kMiB}) {
        add("durable-copy-command", size, 1, benchDurableCopyCommand);
        add("command", size, 1, benchCommand);
    }
    // Many aircraft in one folder, in one command: the time per aircraft must not grow with the folder.
    for (const std::size_t count : {250, 1000, 4000}) {
        add("durable-copy", 50 * kKiB, count, benchDurableCopy);
        add("command", 50 * kKiB, count, benchCommand);
    }
    return 0;
}();

} // namespace
} // namespace zerkon::bench
