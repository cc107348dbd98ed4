// The whole pass over generated files, beside a plain copy of the same file with the same buffer size.
#include "dp_samples.hpp"
#include "text_stream.hpp"
#include "unsynced_file_system.hpp"

#include <zerkon/pass.hpp>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zerkon::bench {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kCopyBufferSize = 256 * 1024; // what LineReader and CrLfWriter use

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

struct Sample {
    std::string text;
    std::string path; // the text on disk
    LineCounts counts;
};

const Sample& sample(Mix mix, std::size_t size) {
    static std::map<std::pair<Mix, std::size_t>, std::unique_ptr<Sample>> samples;
    auto& slot = samples[{mix, size}];
    if (!slot) {
        slot = std::make_unique<Sample>();
        slot->text = generateDpText(mix, size);
        slot->counts = countLines(slot->text);
        slot->path =
            (workFolder() / (std::string(mixName(mix)) + "-" + std::to_string(size / kMiB) + "MiB.dp")).string();
        std::FILE* file = std::fopen(slot->path.c_str(), "wb");
        if (!file || std::fwrite(slot->text.data(), 1, slot->text.size(), file) != slot->text.size() ||
            std::fclose(file) != 0)
            throw std::runtime_error("cannot write " + slot->path);
    }
    return *slot;
}

void check(const std::error_code& error, const char* what) {
    if (error) throw std::runtime_error(std::string(what) + ": " + error.message());
}

void setCounts(benchmark::State& state, const Sample& sample) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * sample.text.size()));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * sample.counts.lines));
    state.counters["station_lines/s"] = benchmark::Counter(static_cast<double>(sample.counts.gunStationLines),
                                                           benchmark::Counter::kIsIterationInvariantRate);
}

// Read and write in blocks of the pass's buffer size: the floor any pass over the file stands on.
void copyFile(FileSystem& files, const std::string& from, const std::string& to, bool sync) {
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

void benchCopy(benchmark::State& state, Mix mix, std::size_t size, bool sync) {
    const Sample& file = sample(mix, size);
    const std::string copy = file.path + ".copy";
    for (auto _ : state) {
        copyFile(machineFileSystem(), file.path, copy, sync);
        state.PauseTiming(); // as the pass's own clean-up is not timed either
        std::filesystem::remove(copy);
        state.ResumeTiming();
    }
    setCounts(state, file);
}

// The CR LF translation and line splitting alone, with no line rewritten.
void benchTranslation(benchmark::State& state, Mix mix, std::size_t size) {
    const Sample& file = sample(mix, size);
    const std::string copy = file.path + ".lines";
    for (auto _ : state) {
        std::error_code error;
        auto input = machineFileSystem().openForReading(file.path, error);
        auto output = machineFileSystem().createNew(copy, error);
        check(error, "open");
        LineReader reader(*input);
        CrLfWriter writer(*output);
        std::string_view line;
        while (reader.next(line))
            writer.write(line);
        writer.flushBuffer();
        check(reader.error(), "read");
        check(writer.error(), "write");
        output->close(error);
        input->close(error);
        state.PauseTiming();
        std::filesystem::remove(copy);
        state.ResumeTiming();
    }
    setCounts(state, file);
}

void benchPass(benchmark::State& state, Mix mix, std::size_t size, bool sync) {
    const Sample& file = sample(mix, size);
    const std::string backup = file.path.substr(0, file.path.size() - 3) + "_001.dp";
    UnsyncedFileSystem unsynced;
    PassOptions options;
    options.fileSystem = sync ? &machineFileSystem() : &unsynced;
    for (auto _ : state) {
        const PassResult result = harmonizeFile(file.path, "900", "1", options);
        if (!result.ok()) throw std::runtime_error(result.reason);
        state.PauseTiming(); // put the original back for the next pass
        std::filesystem::remove(file.path);
        std::filesystem::rename(backup, file.path);
        state.ResumeTiming();
    }
    setCounts(state, file);
}

// Baselines first: the reporter prints every later figure as a ratio to the copy of the same file.
const int registered = [] {
    for (const std::size_t size : {1 * kMiB, 64 * kMiB}) {
        for (const Mix mix : {Mix::realistic, Mix::gunHeavy}) {
            const std::string suffix = std::string("/") + mixName(mix) + "/" + std::to_string(size / kMiB) + "MiB";
            const auto add = [&](const std::string& kind, auto function) {
                benchmark::RegisterBenchmark((kind + suffix).c_str(), function)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
            };
            add("copy", [=](benchmark::State& s) { benchCopy(s, mix, size, false); });
            add("copy+fsync", [=](benchmark::State& s) { benchCopy(s, mix, size, true); });
            add("crlf", [=](benchmark::State& s) { benchTranslation(s, mix, size); });
            add("pass", [=](benchmark::State& s) { benchPass(s, mix, size, false); });
            add("pass+fsync", [=](benchmark::State& s) { benchPass(s, mix, size, true); });
        }
    }
    return 0;
}();

} // namespace
} // namespace zerkon::bench
