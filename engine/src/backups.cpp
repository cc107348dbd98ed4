#include <zerkon/backups.hpp>

#include <zerkon/dp_format.hpp>
#include <zerkon/file_system.hpp>

#include "text_stream.hpp"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace zerkon {
namespace {

bool sameText(std::string_view a, std::string_view b, bool ignoreCase) {
    return ignoreCase ? equalsNoCase(a, b) : a == b;
}

#ifdef _WIN32
constexpr bool kNamesIgnoreCase = true;
#else
constexpr bool kNamesIgnoreCase = false;
#endif

// The backup number a file name stands for, when backupName() gives exactly that name: "plane_0001.dp" is not the
// name of backup 1, so it is no backup.
std::optional<unsigned> backupNumberOf(const std::string& dpPath, std::string_view stem, std::string_view name) {
    constexpr std::string_view kSuffix = ".dp";
    if (name.size() <= stem.size() + 1 + kSuffix.size()) return std::nullopt;
    if (!sameText(name.substr(0, stem.size()), stem, kNamesIgnoreCase) || name[stem.size()] != '_') return std::nullopt;
    const std::string_view digits = name.substr(stem.size() + 1, name.size() - stem.size() - 1 - kSuffix.size());
    unsigned number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9' || number > (~0u - 9) / 10) return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number == 0) return std::nullopt;
    const std::string expected = std::filesystem::path(backupName(dpPath, number)).filename().string();
    if (!sameText(expected, name, kNamesIgnoreCase)) return std::nullopt;
    return number;
}

std::time_t modificationTime(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mtime : 0;
}

} // namespace

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
    LineReader reader(*file, 64 * 1024);
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

std::vector<BackupFile> listBackups(const std::string& dpPath, std::error_code& error) {
    std::vector<BackupFile> backups;
    if (!longEnoughForDpNames(dpPath)) return backups;
    const std::filesystem::path stemPath(dpPath.substr(0, dpPath.size() - 3));
    const std::string stem = stemPath.filename().string();
    std::filesystem::path folder = stemPath.parent_path();
    if (folder.empty()) folder = ".";

    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name;
        try {
            name = it->path().filename().string();
        } catch (const std::exception&) { // a name the narrow code page cannot hold is no name we ever built
            continue;
        }
        const std::optional<unsigned> number = backupNumberOf(dpPath, stem, name);
        if (!number) continue;
        BackupFile backup;
        backup.number = *number;
        backup.path = backupName(dpPath, *number);
        backup.modified = modificationTime(backup.path);
        std::error_code readError; // an unreadable backup is still listed, without its settings
        backup.run = readRunRecord(machineFileSystem(), backup.path, readError);
        backups.push_back(std::move(backup));
    }
    std::sort(backups.begin(), backups.end(),
              [](const BackupFile& a, const BackupFile& b) { return a.number < b.number; });
    return backups;
}

const BackupFile* newestBackup(const std::vector<BackupFile>& backups) {
    const BackupFile* newest = nullptr;
    for (const BackupFile& backup : backups)
        if (!newest || backup.modified > newest->modified ||
            (backup.modified == newest->modified && backup.number > newest->number))
            newest = &backup;
    return newest;
}

} // namespace zerkon
