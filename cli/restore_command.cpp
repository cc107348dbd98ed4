#include "restore_command.hpp"

#include "file_list.hpp"
#include "text_format.hpp"

#include <zerkon/backups.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/outcome.hpp>
#include <zerkon/restore.hpp>

#include <ostream>

namespace zerkon::cli {

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
