// zerkon-cli restore and zerkon-cli backups: undo a pass, and see what there is to undo it with.
#pragma once

#include "console.hpp"

#include <optional>
#include <string>

namespace zerkon::cli {

struct RestoreRequest {
    std::string file;
    std::optional<unsigned> backupNumber; // none: the newest backup
};

// Returns the exit code: 0 when the backup is back under the DP name, 1 otherwise.
int runRestore(const RestoreRequest& request, Console& console);

// Returns the exit code: 0 when the folder could be read (with or without backups), 1 otherwise.
int runBackups(const std::string& file, Console& console);

} // namespace zerkon::cli
