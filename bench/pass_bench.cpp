// The pass over generated files beside the least that any safe update of the same file costs: a copy that replaces
// the file as durably as the pass does.
#include "dp_generator.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/file_system.hpp>
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
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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

// Read and write in blocks of the pass's buffer size, and wait for the disk.
void copyFile(const std::string& from, const std::string& to) {
    FileSystem& files = machineFileSystem();
    std::error_code error;
    auto input = files.openForReading(from, error);
    check(error, "open");
    auto output = files.createNew(to, NewFileAccess::usual, error);
    check(error, "create");
    std::vector<char> buffer(kCopyBufferSize);
    while (const std::size_t got = input->read(buffer.data(), buffer.size(), error)) {
        output->write(buffer.data(), got, error);
        check(error, "write");
    }
    check(error, "read");
    output->flush(error);
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
    copyFile(file.path, copy);
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

void benchDurableCopy(benchmark::State& state, Mix mix, std::size_t size) {
    const Sample& file = sample(mix, size);
    for (auto _ : state) {
        replaceByDurableCopy(file);
        putOriginalBack(state, file);
    }
    setCounts(state, file);
}

void benchPass(benchmark::State& state, Mix mix, std::size_t size) {
    const Sample& file = sample(mix, size);
    for (auto _ : state) {
        const PassResult result = harmonizeFile(file.path, RunSettings{});
        if (!result.ok()) throw std::runtime_error(result.reason);
        putOriginalBack(state, file);
    }
    setCounts(state, file);
}

// `zerkon-cli harmonize FILE` as a user runs it, its start-up included; what it prints goes nowhere.
void benchCommand(benchmark::State& state, Mix mix, std::size_t size) {
    const Sample& file = sample(mix, size);
    char* const arguments[] = {const_cast<char*>(ZERKON_CLI_PATH), const_cast<char*>("harmonize"),
                               const_cast<char*>(file.path.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, arguments[0], &actions, nullptr, arguments, environ) != 0 ||
            ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            throw std::runtime_error(std::string("zerkon-cli harmonize ") + file.path + " failed");
        putOriginalBack(state, file);
    }
    posix_spawn_file_actions_destroy(&actions);
    setCounts(state, file);
}

void add(const std::string& kind, Mix mix, std::size_t size, void (*function)(benchmark::State&, Mix, std::size_t)) {
    const std::string name = kind + "/" + testing::mixName(mix) + "/" + sizeName(size);
    benchmark::RegisterBenchmark(name.c_str(), function, mix, size)->Unit(benchmark::kMillisecond)->UseRealTime();
}

// Baselines first: the reporter prints every later figure as a ratio to the durable copy of the same file.
const int registered = [] {
    // An aircraft: the whole command, and the pass alone. A large file: a guard against work that grows faster than
    // the file.
    add("durable-copy", Mix::realistic, 50 * kKiB, benchDurableCopy);
    add("command", Mix::realistic, 50 * kKiB, benchCommand);
    add("pass", Mix::realistic, 50 * kKiB, benchPass);
    add("durable-copy", Mix::realistic, 64 * kMiB, benchDurableCopy);
    add("pass", Mix::realistic, 64 * kMiB, benchPass);
    return 0;
}();

} // namespace
} // namespace zerkon::bench
