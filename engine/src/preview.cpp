#include <zerkon/preview.hpp>

#include <zerkon/backups.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/file_system.hpp>

#include "file_replacement.hpp"
#include "pass_inputs.hpp"
#include "rewrite_loop.hpp"

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

    bool stationsCommentNext = false; // the line after the run comment may give stations their own settings
    error = rewriteEachLine(*input, rewriter, preview.counts, [&](const RewrittenLine& line) {
        ++preview.lineCount;
        if (stationsCommentNext) {
            preview.runComment->stations = parseStationsComment(line.before).value_or("");
            stationsCommentNext = false;
        } else if (!preview.runComment) {
            preview.runComment = parseRunComment(line.before);
            stationsCommentNext = preview.runComment.has_value();
        }
        if (line.outcome.action == LineAction::stationJudged)
            preview.stations.push_back({preview.lineCount, std::string(line.outcome.flagText), line.outcome.aim});
        else if (line.outcome.action == LineAction::gunLineRewritten)
            ++preview.stations[line.outcome.stationLine].gunLinesCleared;
        if (line.after != line.before)
            preview.rewrites.push_back({preview.lineCount, std::string(line.before), std::string(line.after)});
        return true;
    });
    if (error) return fileFailure<Preview>("read", inputs.path, error);
    input->close(error);
    if (error) return fileFailure<Preview>("close", inputs.path, error);
    return preview;
}

GunStationSearch findGunStations(const std::string& path, const RunSettings& settings, const PassOptions& options) {
    FileSystem& files = options.fileSystem ? *options.fileSystem : machineFileSystem();
    const PassInputs inputs = checkPassInputs(files, path, settings);
    if (!inputs.ok()) return failed<GunStationSearch>(inputs);
    std::error_code error;
    std::unique_ptr<InputFile> input = files.openForReading(inputs.path, error);
    if (!input) return fileFailure<GunStationSearch>("open", inputs.path, error);
    DpRewriter rewriter(inputs.settings, "");
    PassCounts counts;
    GunStationSearch search;
    error = rewriteEachLine(*input, rewriter, counts, [&search](const RewrittenLine& line) {
        search.found =
            line.outcome.action == LineAction::stationJudged || line.outcome.action == LineAction::commentInserted;
        return !search.found;
    });
    if (error) return fileFailure<GunStationSearch>("read", inputs.path, error);
    return search;
}

} // namespace zerkon
