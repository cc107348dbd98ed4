#include "harmonize_command.hpp"

#include "file_list.hpp"
#include "folders_listed_once.hpp"
#include "progress.hpp"
#include "text_format.hpp"
#include "unified_diff.hpp"

#include <zerkon/outcome.hpp>
#include <zerkon/pass.hpp>
#include <zerkon/preview.hpp>

#include <ostream>

namespace zerkon::cli {
namespace {

// A message about one file, on a line of its own: the progress line is wiped first.
void sayAbout(const std::string& file, const std::string& message, Console& console, Progress& progress) {
    progress.clear();
    cli::sayAbout(console.err, file, message);
}

struct Tally {
    int done = 0;
    int failed = 0;
    int withoutStations = 0;
    int stationsAimed = 0;
    int compiledLeft = 0; // stale compiled copies that could not be deleted
};

// A file with neither "[GUNSTATIONS]" nor a gun station line (empty, a note, anything else named .dp) has nothing to
// aim: a pass would only make a backup and write the same bytes back.
bool hasNoGunStation(const Preview& preview) {
    return preview.stations.empty() && preview.counts.headerCommentsWritten == 0;
}

// Whether the file is to be left alone, unread or with no gun station; says so and counts it then.
bool leftAloneForNoGunStation(const std::string& file, const Outcome& read, bool noGunStation, bool dryRun,
                              Console& console, Progress& progress, Tally& tally) {
    if (!read.ok()) {
        sayAbout(file, read.reason, console, progress);
        ++tally.failed;
        return true;
    }
    if (!noGunStation) return false;
    progress.clear();
    console.out << printable(file) << ": no gun station in it; "
                << (dryRun ? "it would be left alone\n" : "left alone, no backup made\n");
    ++tally.withoutStations;
    return true;
}

// Stations left as they are because their aim would be no forward gun's, which the one-line summary would hide.
void sayBeyondLimits(const std::string& file, const PassCounts& counts, Console& console, Progress& progress) {
    if (counts.stationsBeyondLimits.empty()) return;
    std::vector<StationSpan> stations;
    for (const StationNumber station : counts.stationsBeyondLimits)
        stations.push_back({station, station});
    const bool one = stations.size() == 1;
    sayAbout(file,
             stationsText(stations) + (one ? " is left as it was" : " are left as they were") +
                 ": aimed at this range, " + (one ? "it" : "they") +
                 " would point more than 10 deg off the axis; zerkon-cli report gives the shortest range that aims " +
                 (one ? "it" : "them"),
             console, progress);
}

// "2 gun stations aimed, 3 gun lines rewritten, backup plane_001.dp", of a run or of a dry run.
std::string runSummary(const PassCounts& counts, const std::string& backupPath) {
    return plural(counts.stationsAimed, "gun station") + " aimed, " + plural(counts.gunLinesRewritten, "gun line") +
           " rewritten, backup " + fileName(backupPath);
}

void harmonizeOne(const std::string& file, const HarmonizeRequest& request, const PassOptions& options,
                  Console& console, Progress& progress, Tally& tally) {
    const GunStationSearch search = findGunStations(file, request.settings, options);
    if (leftAloneForNoGunStation(file, search, !search.found, false, console, progress, tally)) return;
    const PassResult result = harmonizeFile(file, request.settings, options);
    if (!result.ok()) {
        sayAbout(file, result.reason, console, progress);
        ++tally.failed;
        return;
    }
    ++tally.done;
    tally.stationsAimed += result.counts.stationsAimed;
    progress.clear();
    console.out << printable(file) << ": " << runSummary(result.counts, result.backupPath);
    for (const std::string& copy : result.compiledDeleted)
        console.out << ", " << fileName(copy) << " deleted";
    console.out << '\n';
    sayBeyondLimits(file, result.counts, console, progress);
    if (!result.warning.empty()) sayAbout(file, result.warning, console, progress);
    tally.compiledLeft += static_cast<int>(result.compiledLeft.size());
}

void previewOne(const std::string& file, const HarmonizeRequest& request, const PassOptions& options, Console& console,
                Progress& progress, Tally& tally) {
    const Preview preview = previewHarmonize(file, request.settings, options);
    if (leftAloneForNoGunStation(file, preview, hasNoGunStation(preview), true, console, progress, tally)) return;
    progress.clear();
    ++tally.done;
    tally.stationsAimed += preview.counts.stationsAimed;
    console.out << printable(file) << ": dry run, nothing written: " << runSummary(preview.counts, preview.backupPath);
    for (const std::string& copy : preview.compiledCopies)
        console.out << ", would delete " << fileName(copy);
    console.out << '\n';
    sayBeyondLimits(file, preview.counts, console, progress);
    writeUnifiedDiff(console.out, file, preview);
}

// "a.cdp, notes.txt and hangar", or the first few and how many more: a folder can hold hundreds.
std::string someNames(const std::vector<std::string>& names) {
    constexpr std::size_t kShown = 5;
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i)
        shown.push_back(printable(names[i]));
    if (names.size() > kShown) shown.push_back(std::to_string(names.size() - kShown) + " more");
    return joined(shown, " and ");
}

} // namespace

int runHarmonize(const HarmonizeRequest& request, Console& console) {
    const std::vector<NamedFile> named = eachFileOnce(request.files);
    // "harmonize *" names a folder's other files too: among several names they are skipped with one note, not
    // refused one by one; a name given alone still gets its own refusal.
    const bool severalNames = named.size() > 1;
    const std::set<std::string> backupsNamed = namedBackups(named);
    std::vector<std::string> files, notDpFiles, backups;
    Tally tally;
    for (const NamedFile& file : named) {
        sayAlsoNamed(file, console.err);
        if (!file.refusal.empty() && !severalNames) {
            sayAbout(console.err, file.path, file.refusal);
            ++tally.failed;
        } else if (!file.refusal.empty()) {
            notDpFiles.push_back(file.path);
        } else if (backupsNamed.count(file.path) != 0) {
            backups.push_back(file.path);
        } else {
            files.push_back(file.path);
        }
    }
    Progress progress(console.err, console.errIsTerminal && files.size() > 1, files.size());
    const WaitingSaid waiting(console, &progress);
    FoldersListedOnce folders;
    const PassOptions options{&folders, {}};
    for (std::size_t i = 0; i < files.size(); ++i) {
        progress.start(i, files[i]);
        if (request.dryRun)
            previewOne(files[i], request, options, console, progress, tally);
        else
            harmonizeOne(files[i], request, options, console, progress, tally);
    }
    progress.clear();
    if (!notDpFiles.empty())
        console.err << "zerkon-cli: skipped " << plural(notDpFiles.size(), "name")
                    << (notDpFiles.size() == 1 ? " that is not a DP file: " : " that are not DP files: ")
                    << someNames(notDpFiles) << '\n';
    if (!backups.empty())
        console.err << "zerkon-cli: " << plural(backups.size(), "backup")
                    << " left alone, named beside their DP file: " << someNames(backups) << '\n';
    if (severalNames && files.empty() && tally.failed == 0) {
        console.err << "zerkon-cli: none of the " << named.size() << " names is a DP file to harmonize\n";
        return 1;
    }
    // One file says it all on its own line; a folder of aircraft needs the sum.
    if (files.size() > 1) {
        const std::string leftAlone =
            tally.withoutStations ? std::to_string(tally.withoutStations) + " without gun stations left alone, " : "";
        console.out << plural(files.size(), "DP file") << ": " << tally.done
                    << (request.dryRun ? " would be harmonized, " : " harmonized, ") << leftAlone << tally.failed
                    << " failed, " << plural(tally.stationsAimed, "gun station") << " aimed\n";
    }
    return tally.failed == 0 && tally.compiledLeft == 0 ? 0 : 1; // a stale compiled copy still aims the old way
}

} // namespace zerkon::cli
