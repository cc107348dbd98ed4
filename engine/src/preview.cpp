#include <zerkon/preview.hpp>

#include <zerkon/backups.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/file_system.hpp>

#include "failures.hpp"
#include "file_replacement.hpp"
#include "pass_inputs.hpp"
#include "text_stream.hpp"

namespace zerkon {

Preview previewHarmonize(const std::string& path, const RunSettings& settings, const PassOptions& options) {
    FileSystem& files = options.fileSystem ? *options.fileSystem : machineFileSystem();
    const PassInputs inputs = checkPassInputs(files, path, settings);
    if (!inputs.ok()) return failed<Preview>(inputs);
    std::error_code error;

    Preview preview;
    preview.settings = inputs.settings;
    preview.stationSettings = settings.stations;
    preview.backupPath = nextFreeBackupName(files, inputs.path, error);
    if (error) return fileFailure<Preview>("find a backup name for", inputs.path, error);
    preview.compiledCopies = compiledCopies(files, inputs.path, error);
    if (error) return fileFailure<Preview>("look for the compiled copy", compiledName(inputs.path), error);

    std::unique_ptr<InputFile> input = files.openForReading(inputs.path, error);
    if (!input) return fileFailure<Preview>("open", inputs.path, error);
    DpRewriter rewriter(preview.settings,
                        runComment(preview.settings, passLocalTime(options)) + stationsComment(settings.stations),
                        settings.stations);

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
    if (reader.error()) return fileFailure<Preview>("read", inputs.path, reader.error());
    input->close(error);
    if (error) return fileFailure<Preview>("close", inputs.path, error);
    return preview;
}

} // namespace zerkon
