// The whole pass over generated files, beside the least that the same file work costs: a copy of the same file with
// the same buffer size, and for an aircraft-sized file, a copy that replaces the file as durably as the pass does.
#include "dp_generator.hpp"
#include "faulty_file_system.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/pass.hpp>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace zerkon::bench {
namespace {

using testing::Mix;

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;
constexpr std::size_t kCopyBufferSize = 256 * kKiB; // what the pass reads and writes at once

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

struct Sample {
    std::size_t bytes = 0;
    std::size_t lines = 0;
    std::string path;   // the text on disk
    std::string backup; // the name the pass keeps the original under
};

const Sample& sample(Mix mix, std::size_t size) {
    static std::map<std::pair<Mix, std::size_t>, std::unique_ptr<Sample>> samples;
    auto& slot = samples[{mix, size}];
    if (!slot) {
        const std::string text = testing::generatedDpText(mix, size);
        const std::string name = std::string(testing::mixName(mix)) + "-" + sizeName(size);
        slot = std::make_unique<Sample>(
            Sample{text.size(), static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
                   (workFolder() / (name + ".dp")).string(), (workFolder() / (name + "_001.dp")).string()});
        std::FILE* file = std::fopen(slot->path.c_str(), "wb");
        if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0)
            throw std::runtime_error("cannot write " + slot->path);
    }
    return *slot;
}

void check(const std::error_code& error, const char* what) {
    if (error) throw std::runtime_error(std::string(what) + ": " + error.message());
}

void setCounts(benchmark::State& state, const Sample& sample) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.bytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * sample.lines));
}

// Read and write in blocks of the pass's buffer size: the floor any pass over the file stands on.
void copyFile(const std::string& from, const std::string& to, bool sync) {
    FileSystem& files = machineFileSystem();
    std::error_code error;
    auto input = files.openForReading(from, error);
    check(error, "open");
    auto output = files.createNew(to, error);
    check(error, "create");
    std::vector<char> buffer(kCopyBufferSize);
    while (const std::size_t got = input->read(buffer.data(), buffer.size(), error)) {
        output->write(buffer.data(), got, error);
        check(error, "write");
    }
    check(error, "read");
    if (sync) output->flush(error);
    output->close(error);
    input->close(error);
    check(error, "close");
}

void syncFolder(const std::filesystem::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    const bool synced = descriptor >= 0 && ::fsync(descriptor) == 0;
    if (descriptor >= 0) ::close(descriptor);
    if (!synced) throw std::runtime_error("cannot sync " + folder.string());
}

// The least a safe update of the file does: the new content written beside it and made durable, the original kept
// under a second name, the new file put in its place, and the folder made durable.
void replaceByDurableCopy(const Sample& file) {
    const std::string copy = file.path + ".copy";
    copyFile(file.path, copy, true);
    std::filesystem::create_hard_link(file.path, file.backup);
    std::filesystem::rename(copy, file.path);
    syncFolder(workFolder());
}

// The original back under its own name for the next iteration, with the clock stopped.
void putOriginalBack(benchmark::State& state, const Sample& file) {
    state.PauseTiming();
    std::filesystem::remove(file.path);
    std::filesystem::rename(file.backup, file.path);
    state.ResumeTiming();
}

void benchCopy(benchmark::State& state, Mix mix, std::size_t size, bool sync) {
    const Sample& file = sample(mix, size);
    const std::string copy = file.path + ".copy";
    for (auto _ : state) {
        copyFile(file.path, copy, sync);
        state.PauseTiming(); // as the pass's own clean-up is not timed either
        std::filesystem::remove(copy);
        state.ResumeTiming();
    }
    setCounts(state, file);
}

void benchDurableCopy(benchmark::State& state, Mix mix, std::size_t size) {
    const Sample& file = sample(mix, size);
    for (auto _ : state) {
        replaceByDurableCopy(file);
        putOriginalBack(state, file);
    }
    setCounts(state, file);
}

void benchPass(benchmark::State& state, Mix mix, std::size_t size, bool sync) {
    const Sample& file = sample(mix, size);
    zerkon::testing::FaultyFileSystem unsynced; // the pass without its waits for the disk
    unsynced.withoutSyncs();
    PassOptions options;
    options.fileSystem = sync ? &machineFileSystem() : &unsynced;
    for (auto _ : state) {
        const PassResult result = harmonizeFile(file.path, RunSettings{}, options);
        if (!result.ok()) throw std::runtime_error(result.reason);
        putOriginalBack(state, file);
    }
    setCounts(state, file);
}

void add(const std::string& kind, Mix mix, std::size_t size, void (*function)(benchmark::State&, Mix, std::size_t)) {
    const std::string name = kind + "/" + testing::mixName(mix) + "/" + sizeName(size);
    benchmark::RegisterBenchmark(name.c_str(), function, mix, size)->Unit(benchmark::kMillisecond)->UseRealTime();
}

// Baselines first: the reporter prints every later figure as a ratio to the copy of the same file.
const int registered = [] {
    // An aircraft: the whole pass as shipped beside a durable copy.
    add("durable-copy", Mix::realistic, 50 * kKiB, benchDurableCopy);
    add("pass+fsync", Mix::realistic, 50 * kKiB,
        [](benchmark::State& s, Mix m, std::size_t n) { benchPass(s, m, n, true); });
    // Large files: the pass without its fsync beside a plain copy, which is where the pass's own work shows.
    for (const auto& [mix, size] : {std::pair{Mix::realistic, 1 * kMiB}, std::pair{Mix::gunHeavy, 1 * kMiB},
                                    std::pair{Mix::realistic, 64 * kMiB}}) {
        add("copy", mix, size, [](benchmark::State& s, Mix m, std::size_t n) { benchCopy(s, m, n, false); });
        add("copy+fsync", mix, size, [](benchmark::State& s, Mix m, std::size_t n) { benchCopy(s, m, n, true); });
        add("pass", mix, size, [](benchmark::State& s, Mix m, std::size_t n) { benchPass(s, m, n, false); });
        add("pass+fsync", mix, size, [](benchmark::State& s, Mix m, std::size_t n) { benchPass(s, m, n, true); });
    }
    return 0;
}();

} // namespace
} // namespace zerkon::bench
