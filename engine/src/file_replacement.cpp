#include "file_replacement.hpp"

#include <zerkon/backups.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/outcome.hpp>

namespace zerkon {

std::string quoted(std::string_view text) { return "\"" + printable(text) + "\""; }

std::string fileOperationReason(const std::string& what, const std::string& path, const std::error_code& error) {
    return "cannot " + what + " " + quoted(path) + ": " + error.message();
}

bool sameText(std::string_view a, std::string_view b, bool ignoreCase) {
    return ignoreCase ? equalsNoCase(a, b) : a == b;
}

std::string followLinks(FileSystem& files, const std::string& path, std::string& target) {
    std::error_code error;
    target = files.resolveLinks(path, error);
    return error ? fileOperationReason("follow the link", path, error) : std::string();
}

std::vector<std::string> compiledCopies(FileSystem& files, const std::string& path, std::error_code& error) {
    const std::string compiled = compiledName(path);
    const std::string folder = folderOf(compiled);
    std::vector<std::string> copies;
    if (!kNamesIgnoreCase) {
        for (const std::string& name : files.list(folder, error))
            if (equalsNoCase(name, nameOf(compiled))) copies.push_back(folder + name);
        if (error != std::errc::operation_not_supported) return copies;
        error.clear(); // a file system that cannot list its folders still has the one name
    }
    if (files.status(compiled, error) != PathKind::absent && !error) copies.push_back(compiled);
    return copies;
}

namespace {

constexpr int kBackupNameAttempts = 100;

using KeepOperation = void (FileSystem::*)(const std::string&, const std::string&, std::error_code&);

// Gives the current file the next free backup name by `keep` (a link or a rename). A name that another program takes
// meanwhile stays its own, and the next free one is tried. Returns the reason when no name can be found; `error` is
// the failure of `keep`.
std::string keepAsBackup(FileSystem& files, Replacement& replacement, KeepOperation keep, std::error_code& error) {
    for (int attempt = 0; attempt < kBackupNameAttempts; ++attempt) {
        std::error_code nameError;
        replacement.keptAs = nextFreeBackupName(files, replacement.path, nameError);
        if (nameError) return fileOperationReason("find a backup name for", replacement.path, nameError);
        error.clear();
        (files.*keep)(replacement.path, replacement.keptAs, error);
        if (error != std::errc::file_exists) return {};
    }
    return {};
}

std::string putInPlace(FileSystem& files, Replacement& replacement) {
    const std::string& path = replacement.path;
    const std::string& temporary = replacement.temporary;
    std::error_code error;
    if (!replacement.keepCurrent) {
        files.rename(temporary, path, error);
        return error ? fileOperationReason("rename " + quoted(temporary) + " to", path, error) : std::string();
    }
    std::string reason = keepAsBackup(files, replacement, &FileSystem::link, error);
    if (!reason.empty()) return reason;
    if (!error) {
        files.replace(temporary, path, error);
        if (!error) return {};
        std::error_code ignored;
        files.remove(replacement.keptAs, ignored); // the current content still has its own name; renames may do better
    }
    reason = keepAsBackup(files, replacement, &FileSystem::rename, error);
    if (!reason.empty()) return reason;
    if (error) return fileOperationReason("rename " + quoted(path) + " to", replacement.keptAs, error);
    files.rename(temporary, path, error);
    if (!error) return {};
    reason = fileOperationReason("rename " + quoted(temporary) + " to", path, error);
    std::error_code undoError;
    files.rename(replacement.keptAs, path, undoError); // put the current content back under its own name
    if (undoError) reason += "; the previous content is kept in " + quoted(replacement.keptAs);
    return reason;
}

// The compiled copies are stale once the file is replaced. One that is not there is no failure; one that stays is
// returned as a warning for the user.
std::string deleteCompiledCopies(FileSystem& files, Replacement& replacement) {
    std::error_code error;
    const std::vector<std::string> copies = compiledCopies(files, replacement.path, error);
    if (error) return fileOperationReason("look for the compiled copy", compiledName(replacement.path), error);
    std::string warning;
    for (const std::string& copy : copies) {
        files.remove(copy, error);
        if (!error)
            replacement.compiledDeleted.push_back(copy);
        else if (error != std::errc::no_such_file_or_directory)
            warning = "cannot delete the compiled copy " + quoted(copy) + ": " + error.message();
        error.clear();
    }
    return warning;
}

void addWarning(std::string& warnings, const std::string& warning) {
    if (warning.empty()) return;
    if (!warnings.empty()) warnings += "; ";
    warnings += warning;
}

} // namespace

std::string beginReplacement(FileSystem& files, Replacement& replacement) {
    std::error_code error;
    replacement.lock = files.lockFolder(folderOf(replacement.path), error);
    if (!replacement.lock) return fileOperationReason("lock the folder of", replacement.path, error);
    replacement.source = files.openForReading(replacement.sourcePath, error);
    if (!replacement.source) return fileOperationReason("open", replacement.sourcePath, error);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        replacement.temporary =
            replacement.path + ".zerkon-tmp" + (attempt > 0 ? std::to_string(attempt) : std::string());
        error.clear();
        replacement.output = files.createNew(replacement.temporary, error);
        if (replacement.output || error != std::errc::file_exists) break; // a stale one is left to its owner
    }
    if (!replacement.output) return fileOperationReason("create", replacement.temporary, error);
    replacement.temporaryCreated = true;
    return {};
}

std::string finishReplacement(FileSystem& files, Replacement& replacement, std::string reason) {
    std::error_code error;
    if (reason.empty()) {
        replacement.output->flush(error);
        if (error) reason = fileOperationReason("flush", replacement.temporary, error);
    }
    if (reason.empty()) {
        replacement.output->close(error);
        if (error) reason = fileOperationReason("close", replacement.temporary, error);
    }
    if (reason.empty()) {
        replacement.source->close(error);
        if (error) reason = fileOperationReason("close", replacement.sourcePath, error);
    }
    if (reason.empty() && replacement.keepCurrent) {
        files.copyOwnership(replacement.path, replacement.temporary, error);
        if (error) reason = fileOperationReason("give the new file the permissions of", replacement.path, error);
    }
    if (reason.empty()) reason = putInPlace(files, replacement);
    replacement.output.reset(); // closed before the removal: Windows deletes no open file
    replacement.source.reset();
    if (!reason.empty()) {
        replacement.keptAs.clear();
        if (replacement.temporaryCreated) {
            std::error_code ignored;
            files.remove(replacement.temporary, ignored);
        }
        replacement.lock.reset();
        return reason;
    }
    addWarning(replacement.warning, deleteCompiledCopies(files, replacement));
    files.syncFolder(folderOf(replacement.path), error);
    if (error) addWarning(replacement.warning, fileOperationReason("sync the folder of", replacement.path, error));
    replacement.lock.reset();
    return {};
}

} // namespace zerkon
