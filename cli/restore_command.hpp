// zerkon-cli restore and zerkon-cli backups: undo a pass, and see what there is to undo it with.
#pragma once

#include "console.hpp"

#include <zerkon/backups.hpp>

#include <optional>
#include <string>
#include <vector>

namespace zerkon::cli {

struct RestoreRequest {
    std::string file;
    std::optional<unsigned> backupNumber; // none: the newest backup
};

// Returns the exit code: 0 when the backup is back under the DP name, 1 otherwise.
int runRestore(const RestoreRequest& request, Console& console);

// Returns the exit code: 0 when the folder could be read (with or without backups), 1 otherwise, and when there is
// neither the file nor a backup of it.
int runBackups(const std::string& file, Console& console);

// The backups of `file`, or in `reason` why there is nothing to list or restore under it: its folder cannot be read,
// it is a folder, or there is no file and no backup either. A DP file deleted by hand is recreated from its backup.
std::vector<BackupFile> backupsOf(const std::string& file, std::string& reason);

} // namespace zerkon::cli
