#include "restore_command.hpp"

#include "text_format.hpp"

#include <zerkon/backups.hpp>
#include <zerkon/restore.hpp>

#include <ostream>

namespace zerkon::cli {

int runRestore(const RestoreRequest& request, Console& console) {
    unsigned number = 0;
    if (request.backupNumber) {
        number = *request.backupNumber;
    } else {
        std::error_code error;
        const std::vector<BackupFile> backups = listBackups(request.file, error);
        if (error) {
            console.err << "zerkon-cli: " << request.file << ": cannot list its backups: " << error.message() << '\n';
            return 1;
        }
        const BackupFile* newest = newestBackup(backups);
        if (!newest) {
            console.err << "zerkon-cli: " << request.file << ": there is no backup to restore\n";
            return 1;
        }
        number = newest->number;
    }

    const RestoreResult result = restoreBackup(request.file, number);
    if (!result.ok()) {
        console.err << "zerkon-cli: " << request.file << ": " << result.reason << '\n';
        return 1;
    }
    console.out << request.file << ": restored from " << fileName(result.restoredFrom);
    if (!result.keptAs.empty()) console.out << ", previous content kept as " << fileName(result.keptAs);
    console.out << '\n';
    if (!result.warning.empty()) console.err << "zerkon-cli: " << request.file << ": " << result.warning << '\n';
    return 0;
}

} // namespace zerkon::cli
