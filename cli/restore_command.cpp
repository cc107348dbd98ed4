#include "restore_command.hpp"

#include "file_list.hpp"
#include "text_format.hpp"
#include "text_table.hpp"

#include <zerkon/backups.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/outcome.hpp>
#include <zerkon/restore.hpp>

#include <algorithm>
#include <ctime>
#include <ostream>

namespace zerkon::cli {
namespace {

std::string localDate(std::chrono::system_clock::time_point when) {
    if (when == std::chrono::system_clock::time_point()) return "?";
    const std::time_t time = std::chrono::system_clock::to_time_t(when);
    const std::tm* local = std::localtime(&time);
    if (!local) return "?";
    char text[32];
    return std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) ? text : "?";
}

std::string orUnknown(const std::string& text) { return text.empty() ? "?" : text; }

} // namespace

std::vector<BackupFile> backupsOf(const std::string& file, std::string& reason) {
    std::error_code error;
    std::vector<BackupFile> backups = listBackups(machineFileSystem(), file, error);
    if (error) {
        reason = "cannot list its backups: " + error.message();
        return {};
    }
    const PathKind kind = machineFileSystem().status(file, error);
    if (error) return backups; // whatever comes next says what the system says
    if (kind == PathKind::other)
        reason = "not a file (a folder?)";
    else if (kind == PathKind::absent && backups.empty())
        reason = "no such file, and no backup of it";
    return backups;
}

int runBackups(const std::string& file, Console& console) {
    std::string reason;
    const std::vector<BackupFile> backups = backupsOf(file, reason);
    if (!reason.empty()) {
        sayAbout(console.err, file, reason);
        return 1;
    }
    if (backups.empty()) {
        console.out << printable(file) << ": no backups\n";
        return 0;
    }
    const BackupFile* newest = newestBackup(backups);
    console.out << printable(file) << ": " << plural(backups.size(), "backup")
                << "; restore takes the newest (*) unless given --backup N\n";

    // The settings of stations aimed at their own, from the run's second comment line, in a column of their own that
    // stays empty, header and all, when no backup has any.
    const bool ownSettings = std::any_of(backups.begin(), backups.end(), [](const BackupFile& backup) {
        return backup.run && !backup.run->stations.empty();
    });
    using Align = TextTable::Align;
    TextTable table(
        {Align::right, Align::left, Align::left, Align::left, Align::right, Align::right, Align::left, Align::left});
    table.addRow(
        {"N", "", "file", "made", "range ft", "elevation ft", "harmonized on", ownSettings ? "own settings" : ""});
    for (const BackupFile& backup : backups) {
        std::vector<std::string> row = {std::to_string(backup.number), &backup == newest ? "*" : "",
                                        fileName(backup.path), localDate(backup.made)};
        if (backup.run)
            row.insert(row.end(), {orUnknown(backup.run->rangeFeet), orUnknown(backup.run->elevationFeet),
                                   orUnknown(backup.run->when), backup.run->stations});
        else
            row.insert(row.end(), {"-", "-", backup.unreadable ? "unreadable" : "never (no run comment)"});
        table.addRow(std::move(row));
    }
    table.write(console.out, "  ");
    return 0;
}

int runRestore(const RestoreRequest& request, Console& console) {
    const auto fail = [&](const std::string& reason) {
        sayAbout(console.err, request.file, reason);
        return 1;
    };
    if (const std::string refusal = notADpFileName(request.file); !refusal.empty()) return fail(refusal);
    std::string reason;
    const std::vector<BackupFile> backups = backupsOf(request.file, reason);
    if (!reason.empty()) return fail(reason);
    const BackupFile* newest = newestBackup(backups);
    if (!request.backupNumber && !newest) return fail("there is no backup to restore");
    const unsigned number = request.backupNumber ? *request.backupNumber : newest->number;

    const RestoreResult result = restoreBackup(request.file, number);
    if (!result.ok()) return fail(result.reason);
    console.out << printable(request.file) << ": restored from " << fileName(result.restoredFrom);
    if (!result.keptAs.empty()) console.out << ", previous content kept as " << fileName(result.keptAs);
    console.out << '\n';
    if (!result.warning.empty()) sayAbout(console.err, request.file, result.warning);
    return result.compiledLeft.empty() ? 0 : 1;
}

} // namespace zerkon::cli
