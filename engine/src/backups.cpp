#include <zerkon/backups.hpp>

#include <zerkon/dp_format.hpp>
#include <zerkon/dp_names.hpp>
#include <zerkon/file_system.hpp>

#include "text_stream.hpp"

#include <algorithm>

namespace zerkon {

bool isBackupOf(const std::string& path, const std::string& dpPath) {
    return isDpName(dpPath) && folderOf(path) == folderOf(dpPath) && backupNumber(dpPath, nameOf(path)).has_value();
}

std::string nextFreeBackupName(FileSystem& files, const std::string& dpPath, std::error_code& error) {
    for (unsigned number = 1; number != 0; ++number) {
        std::string name = backupName(dpPath, number);
        if (files.status(name, error) == PathKind::absent && !error) return name;
        if (error) return {};
    }
    error = std::make_error_code(std::errc::file_exists);
    return {};
}

std::optional<RunRecord> readRunRecord(FileSystem& files, const std::string& path, std::error_code& error) {
    std::unique_ptr<InputFile> file = files.openForReading(path, error);
    if (!file) return std::nullopt;
    LineReader reader(*file);
    std::string_view line;
    while (reader.next(line)) {
        if (auto record = parseRunComment(line)) {
            if (reader.next(line)) record->stations = parseStationsComment(line).value_or("");
            error = reader.error();
            return record;
        }
    }
    error = reader.error();
    return std::nullopt;
}

std::vector<BackupFile> listBackups(FileSystem& files, const std::string& dpPath, std::error_code& error) {
    std::vector<BackupFile> backups;
    const std::string target = files.resolveLinks(dpPath, error); // the backups are beside a link's target
    if (error || !isDpName(target)) return backups; // names cut from anything else would be another file's
    for (const std::string& name : files.list(folderOf(target), error)) {
        const std::optional<unsigned> number = backupNumber(target, name);
        if (!number) continue;
        BackupFile backup;
        backup.number = *number;
        backup.path = backupName(target, *number);
        std::error_code readError; // an unreadable backup is still listed, without its settings or its time
        const PathKind kind = files.status(backup.path, readError);
        if (!readError && kind != PathKind::file) continue; // a folder or a device under such a name is no backup
        if (!readError) backup.made = files.changeTime(backup.path, readError);
        backup.run = readRunRecord(files, backup.path, readError);
        backup.unreadable = static_cast<bool>(readError);
        backups.push_back(std::move(backup));
    }
    if (error) return {};
    std::sort(backups.begin(), backups.end(),
              [](const BackupFile& a, const BackupFile& b) { return a.number < b.number; });
    return backups;
}

const BackupFile* newestBackup(const std::vector<BackupFile>& backups) {
    const BackupFile* newest = nullptr;
    for (const BackupFile& backup : backups)
        if (!newest || backup.made > newest->made || (backup.made == newest->made && backup.number > newest->number))
            newest = &backup;
    return newest;
}

} // namespace zerkon
