#include "harmonize_command.hpp"

#include "file_list.hpp"
#include "progress.hpp"
#include "text_format.hpp"
#include "unified_diff.hpp"

#include <zerkon/pass.hpp>
#include <zerkon/preview.hpp>

#include <ostream>

namespace zerkon::cli {
namespace {

// A message about one file, on a line of its own: the progress line is wiped first.
void sayAbout(const std::string& file, const std::string& message, Console& console, Progress& progress) {
    progress.clear();
    console.err << "zerkon-cli: " << file << ": " << message << '\n';
}

struct Tally {
    int done = 0;
    int failed = 0;
    int backupsLeftAlone = 0;
    int stationsAimed = 0;
};

void harmonizeOne(const std::string& file, const HarmonizeRequest& request, Console& console, Progress& progress,
                  Tally& tally) {
    const PassResult result = harmonizeFile(file, request.settings);
    if (!result.ok()) {
        sayAbout(file, result.reason, console, progress);
        ++tally.failed;
        return;
    }
    ++tally.done;
    tally.stationsAimed += result.counts.stationsAimed;
    progress.clear();
    console.out << file << ": " << plural(result.counts.stationsAimed, "gun station", "gun stations") << " aimed, "
                << plural(result.counts.gunLinesRewritten, "gun line", "gun lines") << " rewritten, backup "
                << fileName(result.backupPath);
    for (const std::string& copy : result.compiledDeleted)
        console.out << ", " << fileName(copy) << " deleted";
    console.out << '\n';
    if (!result.warning.empty()) sayAbout(file, result.warning, console, progress);
}

void previewOne(const std::string& file, const HarmonizeRequest& request, Console& console, Progress& progress,
                Tally& tally) {
    const Preview preview = previewHarmonize(file, request.settings);
    if (!preview.ok()) {
        sayAbout(file, preview.reason, console, progress);
        ++tally.failed;
        return;
    }
    progress.clear();
    ++tally.done;
    tally.stationsAimed += preview.counts.stationsAimed;
    console.out << file
                << ": dry run, nothing written: " << plural(preview.counts.stationsAimed, "gun station", "gun stations")
                << " aimed, " << plural(preview.counts.gunLinesRewritten, "gun line", "gun lines")
                << " rewritten, backup " << fileName(preview.backupPath);
    for (const std::string& copy : preview.compiledCopies)
        console.out << ", would delete " << fileName(copy);
    console.out << '\n';
    writeUnifiedDiff(console.out, file, preview);
}

} // namespace

int runHarmonize(const HarmonizeRequest& request, Console& console) {
    const std::vector<NamedFile> files = eachFileOnce(request.files);
    const std::size_t total = files.size();
    Progress progress(console.err, console.errIsTerminal && total > 1, total);
    Tally tally;
    for (std::size_t i = 0; i < total; ++i) {
        const std::string& file = files[i].path;
        progress.start(i, file);
        if (!files[i].refusal.empty()) {
            sayAbout(file, files[i].refusal, console, progress);
            ++tally.failed;
        } else if (const std::string original = namedOriginalOf(file, files); !original.empty()) {
            sayAbout(file, "a backup of " + original + ", which is named too; left alone", console, progress);
            ++tally.backupsLeftAlone;
        } else if (request.dryRun) {
            previewOne(file, request, console, progress, tally);
        } else {
            harmonizeOne(file, request, console, progress, tally);
        }
    }
    progress.clear();
    // One file says it all on its own line; a folder of aircraft needs the sum.
    if (total > 1)
        console.out << plural(static_cast<int>(total), "file", "files") << ": " << tally.done
                    << (request.dryRun ? " would be harmonized, " : " harmonized, ") << tally.failed << " failed, "
                    << (tally.backupsLeftAlone ? plural(tally.backupsLeftAlone, "backup", "backups") + " left alone, "
                                               : std::string())
                    << plural(tally.stationsAimed, "gun station", "gun stations") << " aimed\n";
    return tally.failed == 0 ? 0 : 1;
}

} // namespace zerkon::cli
