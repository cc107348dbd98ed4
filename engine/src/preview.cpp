#include <zerkon/preview.hpp>

#include <zerkon/backups.hpp>
#include <zerkon/dp_names.hpp>
#include <zerkon/file_system.hpp>

#include "file_replacement.hpp"
#include "pass_inputs.hpp"
#include "text_stream.hpp"

#include <map>

namespace zerkon {
namespace {

constexpr std::string_view kGunStationPrefix = "gunstation.";

Preview failed(Failure failure, std::string reason) {
    Preview preview;
    preview.failure = failure;
    preview.reason = std::move(reason);
    return preview;
}

Preview fileFailure(const std::string& what, const std::string& path, const std::error_code& error) {
    return failed(Failure::fileOperation, fileOperationReason(what, path, error));
}

// The rewriter tests "gunstation." first, so every line that starts with it is a gun station line.
bool isGunStationLine(std::string_view line) {
    if (line.size() < kGunStationPrefix.size()) return false;
    for (std::size_t i = 0; i < kGunStationPrefix.size(); ++i) {
        const char c = line[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kGunStationPrefix[i]) return false;
    }
    return true;
}

std::string flagText(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    const std::string_view value = line.substr(equals + 1);
    return std::string(value.substr(0, value.find_first_of(",\r\n")));
}

} // namespace

Preview previewHarmonize(const std::string& path, std::string_view rangeText, std::string_view elevationText,
                         const PassOptions& options) {
    FileSystem& files = options.fileSystem ? *options.fileSystem : machineFileSystem();
    const PassInputs inputs = checkPassInputs(files, path, rangeText, elevationText);
    if (inputs.failure != Failure::none) return failed(inputs.failure, inputs.reason);
    std::error_code error;

    Preview preview;
    preview.settings = inputs.settings;
    preview.backupPath = nextFreeBackupName(files, path, error);
    if (error) return fileFailure("find a backup name for", path, error);
    preview.compiledPath = compiledName(path);
    preview.compiledExists = files.status(preview.compiledPath, error) != PathKind::absent;
    if (error) return fileFailure("query", preview.compiledPath, error);

    std::unique_ptr<InputFile> input = files.openForReading(path, error);
    if (!input) return fileFailure("open", path, error);
    DpRewriter rewriter(preview.settings, runComment(preview.settings, passLocalTime(options)));

    // A gun line belongs to the last gun station line that named its station.
    std::map<StationNumber, std::size_t> reportOfStation;
    LineReader reader(*input);
    std::string rewritten;
    std::string_view line;
    while (reader.next(line)) {
        ++preview.lineCount;
        const int gunLinesBefore = rewriter.counts().gunLinesRewritten;
        rewritten.clear();
        rewriter.rewriteLine(line, rewritten);

        if (isGunStationLine(line)) {
            StationReport report;
            report.lineNumber = preview.lineCount;
            report.flagText = flagText(line);
            report.aim = rewriter.lastStationAim();
            if (report.aim.verdict != StationVerdict::badStationNumber)
                reportOfStation[report.aim.station] = preview.stations.size();
            preview.stations.push_back(std::move(report));
        } else if (rewriter.counts().gunLinesRewritten != gunLinesBefore && rewriter.state().currentStation) {
            const auto found = reportOfStation.find(*rewriter.state().currentStation);
            if (found != reportOfStation.end()) ++preview.stations[found->second].gunLinesCleared;
        }
        if (rewritten != line) preview.rewrites.push_back({preview.lineCount, std::string(line), rewritten});
    }
    if (reader.error()) return fileFailure("read", path, reader.error());
    input->close(error);
    if (error) return fileFailure("close", path, error);
    preview.counts = rewriter.counts();
    return preview;
}

} // namespace zerkon
