#include <zerkon/restore.hpp>

#include <zerkon/dp_format.hpp>
#include <zerkon/dp_names.hpp>
#include <zerkon/file_system.hpp>

#include "pass_inputs.hpp"

namespace zerkon {

RestoreResult restoreBackup(const std::string& path, unsigned backupNumber, const RestoreOptions& options) {
    if (Outcome length = checkDpPathLength(path); !length.ok()) return failed<RestoreResult>(std::move(length));
    if (backupNumber == 0) return failed<RestoreResult>(Failure::badBackupNumber, "backups are numbered from 1");
    FileSystem& files = options.fileSystem ? *options.fileSystem : machineFileSystem();
    std::string dpPath; // a symbolic link's target, restored beside its own backups
    if (Outcome dp = followDpPath(files, path, dpPath); !dp.ok()) return failed<RestoreResult>(std::move(dp));
    if (Outcome twin = checkNoCaseTwin(files, dpPath); !twin.ok()) return failed<RestoreResult>(std::move(twin));
    const std::string backup = backupName(dpPath, backupNumber);

    std::error_code error;
    const PathKind backupKind = files.status(backup, error);
    if (error) return fileFailure<RestoreResult>("query", backup, error);
    if (backupKind != PathKind::file)
        return failed<RestoreResult>(Failure::notAFile, "there is no backup " + quoted(backup));
    // A DP file that is missing (deleted by hand) is simply recreated; a folder under its name is not replaced.
    const PathKind dpKind = settledStatus(files, dpPath, error);
    if (error) return fileFailure<RestoreResult>("query", dpPath, error);
    if (dpKind == PathKind::other) return failed<RestoreResult>(Failure::notAFile, quoted(dpPath) + " is not a file");

    const CurrentFile current = dpKind == PathKind::file ? CurrentFile::keptAsBackup : CurrentFile::absent;
    // Byte for byte: a backup already holds the file as it was on disk, CR LF and all.
    const Replaced done = replaceFile(files, dpPath, current, backup, copyOf(backup));
    if (!done.reason.empty()) return failed<RestoreResult>(Failure::fileOperation, done.reason);

    RestoreResult result;
    result.restoredFrom = backup;
    result.keptAs = done.keptAs;
    static_cast<ReplacementNotes&>(result) = done;
    return result;
}

} // namespace zerkon
