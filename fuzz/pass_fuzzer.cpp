// The whole pass on a real file in a temporary folder (on tmpfs where there is one, since the pass syncs to disk).
// Reads come back in small pieces for some inputs, so lines and CR LF pairs straddle the reads. The file written must
// be what the line rewriting makes of the file's lines, the backup must hold the old bytes, and nothing else is left.
#include "dp_generator.hpp"
#include "fuzz_check.hpp"
#include "fuzz_input.hpp"

#include <zerkon/dp_rewriter.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/pass.hpp>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;
using zerkon::fuzz::require;

class ChoppedFile : public zerkon::InputFile {
public:
    ChoppedFile(std::unique_ptr<zerkon::InputFile> file, std::size_t piece) : file_(std::move(file)), piece_(piece) {}
    std::size_t read(char* buffer, std::size_t size, std::error_code& error) override {
        return file_->read(buffer, std::min(size, piece_), error);
    }
    zerkon::FileIdentity identity(std::error_code& error) override { return file_->identity(error); }
    void close(std::error_code& error) override { file_->close(error); }

private:
    std::unique_ptr<zerkon::InputFile> file_;
    std::size_t piece_;
};

// The machine's files, with every read cut to `piece` bytes.
class ChoppingFileSystem : public zerkon::ForwardingFileSystem {
public:
    explicit ChoppingFileSystem(std::size_t piece) : ForwardingFileSystem(zerkon::machineFileSystem()), piece_(piece) {}
    std::unique_ptr<zerkon::InputFile> openForReading(const std::string& path, std::error_code& error) override {
        auto file = below_.openForReading(path, error);
        if (!file) return nullptr;
        return std::make_unique<ChoppedFile>(std::move(file), piece_);
    }

private:
    std::size_t piece_;
};

// One folder for the whole run, removed when the fuzzer exits.
struct WorkFolder {
    fs::path path;
    WorkFolder() {
        const fs::path shm = "/dev/shm";
        const fs::path base = fs::is_directory(shm) ? shm : fs::temp_directory_path();
        path = base / ("zerkon-pass-fuzz-" + std::to_string(std::random_device{}()));
        fs::create_directories(path);
    }
    ~WorkFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

const fs::path& workFolder() {
    static const WorkFolder folder;
    return folder.path;
}

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void put(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::size_t filesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

std::string expectedOutput(const zerkon::fuzz::FuzzInput& input, const std::string& comment) {
    zerkon::DpRewriter rewriter(zerkon::fuzz::settingsOf(input), comment);
    std::string out;
    for (const std::string& line : zerkon::testing::linesAsRead(input.content))
        if (rewriter.rewriteLine(line, out).action == zerkon::LineAction::copied) out += line;
    return zerkon::testing::withCarriageReturns(out);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const zerkon::fuzz::FuzzInput input = zerkon::fuzz::splitInput(data, size);
    const fs::path folder = workFolder();
    const fs::path dp = folder / "plane.dp";
    const fs::path compiled = folder / "plane.cdp";
    put(dp, input.content);
    put(compiled, "compiled");

    // Every second input is read in pieces of 1 to 8 bytes.
    const std::size_t piece = size % 2 ? 1 + size / 2 % 8 : SIZE_MAX;
    ChoppingFileSystem files(piece);
    zerkon::PassOptions options;
    options.fileSystem = &files;
    options.localTime = zerkon::testing::fixedClock;
    const zerkon::SettingsReading reading = zerkon::readRunSettings(input.rangeText, input.elevationText);
    const zerkon::Outcome result = reading.ok()
                                       ? zerkon::Outcome(zerkon::harmonizeFile(dp.string(), reading.settings, options))
                                       : zerkon::Outcome(reading);

    const std::string_view what = input.content.substr(0, 200);
    if (result.ok()) {
        const zerkon::AimSettings settings = zerkon::fuzz::settingsOf(input);
        const std::string comment = zerkon::runComment(settings, zerkon::testing::fixedClock());
        const std::string written = contentOf(dp);
        require(contentOf(folder / "plane_001.dp") == input.content, "the backup holds the old bytes", what, written);
        require(written == expectedOutput(input, comment), "the file holds the rewritten lines", what, written);
        require(!fs::exists(compiled), "the compiled copy is deleted", what, written);
        require(filesIn(folder) == 2, "no other file is left", what, written);
    } else {
        require(result.failure == zerkon::Failure::badRange || result.failure == zerkon::Failure::badElevation,
                "only settings that cannot aim are refused", what, result.reason);
        require(contentOf(dp) == input.content, "a refused file is untouched", what, result.reason);
        require(fs::exists(compiled) && filesIn(folder) == 2, "a refusal leaves the folder as it was", what,
                result.reason);
    }
    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove(entry.path());
    return 0;
}
