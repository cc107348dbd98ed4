#include <zerkon/preview.hpp>

#include <zerkon/backups.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/file_system.hpp>

#include "file_replacement.hpp"
#include "pass_inputs.hpp"
#include "text_stream.hpp"

namespace zerkon {
namespace {

Preview failed(Failure failure, std::string reason) {
    Preview preview;
    preview.failure = failure;
    preview.reason = std::move(reason);
    return preview;
}

Preview fileFailure(const std::string& what, const std::string& path, const std::error_code& error) {
    return failed(Failure::fileOperation, fileOperationReason(what, path, error));
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

    LineReader reader(*input);
    std::string rewritten;
    std::string_view line;
    while (reader.next(line)) {
        ++preview.lineCount;
        rewritten.clear();
        const LineOutcome outcome = rewriter.rewriteLine(line, rewritten);
        preview.counts.add(outcome);
        if (outcome.action == LineAction::stationJudged)
            preview.stations.push_back({preview.lineCount, std::string(outcome.flagText), outcome.aim});
        else if (outcome.action == LineAction::gunLineRewritten)
            ++preview.stations[outcome.stationLine].gunLinesCleared;
        if (rewritten != line) preview.rewrites.push_back({preview.lineCount, std::string(line), rewritten});
    }
    if (reader.error()) return fileFailure("read", path, reader.error());
    input->close(error);
    if (error) return fileFailure("close", path, error);
    return preview;
}

} // namespace zerkon
