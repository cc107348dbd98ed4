#include "restore_command.hpp"

#include "text_format.hpp"
#include "text_table.hpp"

#include <zerkon/backups.hpp>
#include <zerkon/outcome.hpp>

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

} // namespace zerkon::cli
