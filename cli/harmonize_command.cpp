#include "harmonize_command.hpp"

#include "progress.hpp"
#include "text_format.hpp"
#include "unified_diff.hpp"

#include <zerkon/pass.hpp>
#include <zerkon/preview.hpp>

#include <ostream>

namespace zerkon::cli {
namespace {

struct Tally {
    int done = 0;
    int failed = 0;
    int stationsAimed = 0;
};

void harmonizeOne(const std::string& file, const HarmonizeRequest& request, Console& console, Progress& progress,
                  Tally& tally) {
    const PassResult result = harmonizeFile(file, request.range, request.elevation);
    if (!result.ok()) {
        progress.clear();
        console.err << "zerkon-cli: " << file << ": " << result.reason << '\n';
        ++tally.failed;
        return;
    }
    ++tally.done;
    tally.stationsAimed += result.counts.stationsAimed;
    progress.clear();
    console.out << file << ": " << plural(result.counts.stationsAimed, "gun station", "gun stations") << " aimed, "
                << plural(result.counts.gunLinesRewritten, "gun line", "gun lines") << " rewritten, backup "
                << fileName(result.backupPath) << '\n';
    if (!result.warning.empty()) console.err << "zerkon-cli: " << file << ": " << result.warning << '\n';
}

void previewOne(const std::string& file, const HarmonizeRequest& request, Console& console, Progress& progress,
                Tally& tally) {
    const Preview preview = previewHarmonize(file, request.range, request.elevation);
    progress.clear();
    if (!preview.ok()) {
        console.err << "zerkon-cli: " << file << ": " << preview.reason << '\n';
        ++tally.failed;
        return;
    }
    ++tally.done;
    tally.stationsAimed += preview.counts.stationsAimed;
    console.out << file
                << ": dry run, nothing written: " << plural(preview.counts.stationsAimed, "gun station", "gun stations")
                << " aimed, " << plural(preview.counts.gunLinesRewritten, "gun line", "gun lines")
                << " rewritten, backup " << fileName(preview.backupPath);
    if (preview.compiledExists) console.out << ", " << fileName(preview.compiledPath) << " deleted";
    console.out << '\n';
    writeUnifiedDiff(console.out, file, preview);
}

} // namespace

int runHarmonize(const HarmonizeRequest& request, Console& console) {
    const std::size_t total = request.files.size();
    Progress progress(console.err, console.errIsTerminal && total > 1, total);
    Tally tally;
    for (std::size_t i = 0; i < total; ++i) {
        progress.start(i, request.files[i]);
        if (request.dryRun)
            previewOne(request.files[i], request, console, progress, tally);
        else
            harmonizeOne(request.files[i], request, console, progress, tally);
    }
    progress.clear();
    // One file says it all on its own line; a folder of aircraft needs the sum.
    if (total > 1)
        console.out << plural(static_cast<int>(total), "file", "files") << ": " << tally.done
                    << (request.dryRun ? " would be harmonized, " : " harmonized, ") << tally.failed << " failed, "
                    << plural(tally.stationsAimed, "gun station", "gun stations") << " aimed\n";
    return tally.failed == 0 ? 0 : 1;
}

} // namespace zerkon::cli
