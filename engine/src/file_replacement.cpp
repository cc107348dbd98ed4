#include "file_replacement.hpp"

#include <zerkon/backups.hpp>
#include <zerkon/outcome.hpp>

#include <atomic>
#include <vector>

namespace zerkon {

std::string fileOperationReason(const std::string& what, const std::string& path, const std::error_code& error) {
    return "cannot " + what + " " + quoted(path) + ": " + error.message();
}

std::string followLinks(FileSystem& files, const std::string& path, std::string& target) {
    std::error_code error;
    target = files.resolveLinks(path, error);
    return error ? fileOperationReason("follow the link", path, error) : std::string();
}

ContentWriter copyOf(const std::string& from) {
    return [from](InputFile* input, OutputFile& output, const std::string& to) {
        std::vector<char> buffer(256 * 1024);
        std::error_code error;
        for (;;) {
            const std::size_t got = input->read(buffer.data(), buffer.size(), error);
            if (error) return fileOperationReason("read", from, error);
            if (got == 0) return std::string();
            output.write(buffer.data(), got, error);
            if (error) return fileOperationReason("write", to, error);
        }
    };
}

PathKind settledStatus(FileSystem& files, const std::string& path, std::error_code& error) {
    const PathKind kind = files.status(path, error);
    if (kind != PathKind::absent || error) return kind;
    std::error_code lockError;
    const std::unique_ptr<FolderLock> lock = files.lockFolder(folderOf(path), lockError);
    return lock ? files.status(path, error) : kind;
}

std::vector<std::string> compiledCopies(FileSystem& files, const std::string& path, std::error_code& error) {
    const std::string compiled = compiledName(path);
    std::vector<std::string> copies;
    if (!kNamesIgnoreCase) {
        for (const std::string& name : files.namesInAnyCase(compiled, error))
            copies.push_back(folderOf(compiled) + name);
    } else if (files.status(compiled, error) != PathKind::absent && !error) {
        copies.push_back(compiled);
    }
    return copies;
}

namespace {

constexpr std::size_t kTemporarySlotSize = 4096;
std::atomic<bool> temporarySlotTaken{false};
// The name and a count of its changes, odd while it changes: a handler may run on another thread while the replacement
// goes on (Windows runs a console's Ctrl+C there), so it keeps a copy only if the count stayed the same and even.
std::atomic<unsigned> temporaryChanges{0};
std::atomic<char> temporarySlot[kTemporarySlotSize];

// Names the temporary file for copyTemporaryFileInProgress() while it may exist: named before it is created, so that
// no signal falls between, until it is put in place or removed.
class TemporaryInProgress {
public:
    TemporaryInProgress() : owned_(!temporarySlotTaken.exchange(true)) {}
    ~TemporaryInProgress() {
        name({});
        if (owned_) temporarySlotTaken.store(false);
    }

    void name(const std::string& temporary) {
        if (!owned_) return;
        const unsigned changes = temporaryChanges.load(std::memory_order_relaxed);
        temporaryChanges.store(changes + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        const std::size_t size = temporary.size() < kTemporarySlotSize ? temporary.size() : 0; // too long: none named
        for (std::size_t i = 0; i < size; ++i)
            temporarySlot[i].store(temporary[i], std::memory_order_relaxed);
        temporarySlot[size].store('\0', std::memory_order_relaxed);
        temporaryChanges.store(changes + 2, std::memory_order_release);
    }

private:
    const bool owned_;
};

using KeepOperation = void (FileSystem::*)(const std::string&, const std::string&, std::error_code&);

// Gives `from` (the current file, or a copy of it) the next free backup name of `path` by `keep` (a link or a rename).
// A name that another program takes meanwhile stays its own, and the next free one is tried. Returns the reason when
// no name can be found; `error` is the failure of `keep`.
std::string keepAsBackup(FileSystem& files, const std::string& from, const std::string& path, std::string& keptAs,
                         KeepOperation keep, std::error_code& error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::error_code nameError;
        keptAs = nextFreeBackupName(files, path, nameError);
        if (nameError) return fileOperationReason("find a backup name for", path, nameError);
        error.clear();
        (files.*keep)(from, keptAs, error);
        if (error != std::errc::file_exists) return {};
    }
    return {};
}

std::string renameReason(const std::string& from, const std::string& to, const std::error_code& error) {
    return fileOperationReason("rename " + quoted(from) + " to", to, error);
}

// Puts the complete temporary file in place of `path`, keeping the current file as `current` says.
std::string putInPlace(FileSystem& files, const std::string& path, CurrentFile current, const std::string& temporary,
                       std::string& keptAs) {
    std::error_code error;
    if (current == CurrentFile::absent) files.rename(temporary, path, error); // never over a file put there meanwhile
    if (current == CurrentFile::overwritten) files.replace(temporary, path, error);
    if (current != CurrentFile::keptAsBackup) return error ? renameReason(temporary, path, error) : std::string();
    std::string reason = keepAsBackup(files, path, path, keptAs, &FileSystem::link, error);
    if (!reason.empty()) return reason;
    if (!error) {
        files.replace(temporary, path, error);
        if (!error) return {};
        std::error_code removeError;
        files.remove(keptAs, removeError); // the current content still has its own name; renames may do better
        if (removeError)
            return renameReason(temporary, path, error) + "; " + quoted(keptAs) + " stays a second name of " +
                   quoted(path) + ", since it cannot be removed: " + removeError.message();
    }
    reason = keepAsBackup(files, path, path, keptAs, &FileSystem::rename, error);
    if (!reason.empty()) return reason;
    if (error) return renameReason(path, keptAs, error);
    files.rename(temporary, path, error);
    if (!error) return {};
    reason = renameReason(temporary, path, error);
    std::error_code undoError;
    files.rename(keptAs, path, undoError); // put the current content back under its own name
    if (undoError) reason += "; the previous content is kept in " + quoted(keptAs);
    return reason;
}

void addWarning(std::string& warnings, const std::string& warning) {
    if (warning.empty()) return;
    if (!warnings.empty()) warnings += "; ";
    warnings += warning;
}

// The compiled copies are stale once the file is replaced. Only regular files are compiled copies: a folder under such
// a name is left alone. One that is not there is no failure; each one that stays is told in the warning.
void deleteCompiledCopies(FileSystem& files, const std::string& path, Replaced& done) {
    std::error_code error;
    const std::vector<std::string> copies = compiledCopies(files, path, error);
    if (error)
        return addWarning(done.warning, fileOperationReason("look for the compiled copy", compiledName(path), error));
    for (const std::string& copy : copies) {
        const PathKind kind = files.status(copy, error);
        if (!error && kind == PathKind::file) files.remove(copy, error);
        if (!error && kind == PathKind::file) {
            done.compiledDeleted.push_back(copy);
        } else if (error && error != std::errc::no_such_file_or_directory) {
            done.compiledLeft.push_back(copy);
            addWarning(done.warning, fileOperationReason("delete the compiled copy", copy, error));
        }
        error.clear();
    }
    if (!done.compiledLeft.empty()) done.warning += "; the game loads the old aim from it until it is deleted";
}

// Creates the temporary file beside `path`. The folder is locked, so a regular file under a temporary name of ours was
// left by a run that was stopped: it is removed, and the warning says so. One that cannot be removed is passed by.
std::unique_ptr<OutputFile> createTemporary(FileSystem& files, const std::string& path, NewFileAccess access,
                                            std::string& temporary, TemporaryInProgress& named, std::string& warning,
                                            std::error_code& error) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        temporary = path + ".zerkon-tmp" + (attempt > 0 ? std::to_string(attempt) : std::string());
        named.name(temporary);
        for (bool staleRemoved = false;; staleRemoved = true) {
            error.clear();
            std::unique_ptr<OutputFile> output = files.createNew(temporary, access, error);
            if (output || error != std::errc::file_exists) return output;
            if (staleRemoved) break;
            std::error_code staleError;
            if (files.status(temporary, staleError) != PathKind::file || staleError) break;
            files.remove(temporary, staleError);
            if (staleError) break;
            addWarning(warning, "removed " + quoted(temporary) + ", left by a run that was stopped");
        }
    }
    return nullptr;
}

// Writes the new content and gives the file the identity of `identityFrom` (none when empty) before the sync, which
// makes both durable; then closes both files. Returns the reason of a failure.
std::string writeTemporary(FileSystem& files, OutputFile& output, const std::string& temporary,
                           const std::string& identityFrom, InputFile* source, const std::string& sourcePath,
                           const ContentWriter& write) {
    if (std::string reason = write(source, output, temporary); !reason.empty()) return reason;
    std::error_code error;
    if (!identityFrom.empty()) {
        const std::string what = files.copyIdentity(identityFrom, temporary, error);
        if (error)
            return fileOperationReason("give the new file " + (what.empty() ? "the permissions" : what) + " of",
                                       identityFrom, error);
    }
    output.flush(error);
    if (error) return fileOperationReason("flush", temporary, error);
    output.close(error);
    if (error) return fileOperationReason("close", temporary, error);
    if (source) source->close(error);
    if (error) return fileOperationReason("close", sourcePath, error);
    return {};
}

// Removes a file of ours that a failure leaves behind; the reason says so when it stays.
void removeLeftover(FileSystem& files, const std::string& what, const std::string& path, std::string& reason) {
    std::error_code error;
    files.remove(path, error);
    if (error && error != std::errc::no_such_file_or_directory)
        reason += "; the " + what + " " + quoted(path) + " is left: " + error.message();
}

std::string notRegularReason(const std::string& path) {
    return quoted(path) + " is not a regular file; nothing was written";
}

// Opens `path` for reading and asks the open file what it is, so what is checked is what is read: a pipe or a device
// put there after the name was checked is refused, not waited on, and a symbolic link there is not followed.
std::unique_ptr<InputFile> openRegularFile(FileSystem& files, const std::string& path, FileIdentity& identity,
                                           std::string& reason) {
    std::error_code error;
    std::unique_ptr<InputFile> file = files.openForReading(path, error);
    if (!file) {
        reason = error == std::errc::too_many_symbolic_link_levels ? notRegularReason(path)
                                                                   : fileOperationReason("open", path, error);
        return nullptr;
    }
    identity = file->identity(error);
    if (error) reason = fileOperationReason("query", path, error);
    if (!error && identity.kind != PathKind::file) reason = notRegularReason(path);
    return reason.empty() ? std::move(file) : nullptr;
}

std::string changedReason(const std::string& path) {
    return quoted(path) + " changed while it was read; nothing was written";
}

// Just before the new file takes its name: the name must still hold the file that was read, or what another program
// put there meanwhile would be lost.
std::string checkUnchanged(FileSystem& files, const std::string& path, const FileIdentity& read) {
    std::error_code error;
    const FileIdentity now = files.identity(path, error);
    if (error) return fileOperationReason("query", path, error);
    return now.sameFileAs(read) ? std::string() : changedReason(path);
}

// A file with other names stays theirs: its backup is a copy, made durable under the temporary name and then given the
// next free backup name, so a power cut never leaves part of it under a backup's name. Returns the reason of a
// failure, after which no copy is left.
std::string keepCopyAsBackup(FileSystem& files, const std::string& path, const FileIdentity& current,
                             std::string& temporary, TemporaryInProgress& named, std::string& warning,
                             std::string& keptAs) {
    std::error_code error;
    std::unique_ptr<OutputFile> output =
        createTemporary(files, path, NewFileAccess::ownerOnly, temporary, named, warning, error);
    if (!output) return fileOperationReason("create", temporary, error);
    FileIdentity copied;
    std::string reason;
    std::unique_ptr<InputFile> input = openRegularFile(files, path, copied, reason);
    if (input && !copied.sameFileAs(current)) reason = changedReason(path);
    if (reason.empty()) reason = writeTemporary(files, *output, temporary, path, input.get(), path, copyOf(path));
    if (reason.empty()) {
        reason = keepAsBackup(files, temporary, path, keptAs, &FileSystem::rename, error);
        if (reason.empty() && error) reason = renameReason(temporary, keptAs, error);
    }
    if (reason.empty()) return {};
    keptAs.clear();
    output.reset(); // closed before the removal: Windows deletes no open file
    input.reset();
    removeLeftover(files, "temporary file", temporary, reason);
    return reason;
}

} // namespace

Replaced replaceFile(FileSystem& files, const std::string& path, CurrentFile current, const std::string& sourcePath,
                     const ContentWriter& write) {
    Replaced done;
    std::error_code error;
    if (current == CurrentFile::overwritten) {
        // Written through a symbolic link, and only over a regular file: never over a device, a pipe or a folder.
        std::string target;
        done.reason = followLinks(files, path, target);
        const PathKind kind = done.reason.empty() ? files.status(target, error) : PathKind::absent;
        if (error) done.reason = fileOperationReason("query", target, error);
        if (kind == PathKind::other) done.reason = quoted(target) + " is not a regular file; only a file is replaced";
        if (!done.reason.empty()) return done;
        if (target != path) return replaceFile(files, target, current, sourcePath, write);
    }
    const std::unique_ptr<FolderLock> lock = files.lockFolder(folderOf(path), error);
    if (!lock) {
        done.reason = fileOperationReason("lock the folder of", path, error);
        return done;
    }
    if (current == CurrentFile::keptAsBackup) files.checkReplaceable(path, error);
    if (error) {
        done.reason = fileOperationReason("replace", path, error);
        return done;
    }
    std::unique_ptr<InputFile> source;
    FileIdentity read;
    if (!sourcePath.empty() && !(source = openRegularFile(files, sourcePath, read, done.reason))) return done;
    // The file under `path` that is kept as the backup: the one read, when the pass reads it. A link there (on
    // Windows, where the pass does not follow links) is not replaced by a file.
    FileIdentity kept;
    if (current == CurrentFile::keptAsBackup) {
        kept = files.identity(path, error);
        if (error) done.reason = fileOperationReason("query", path, error);
        if (!error && kept.kind != PathKind::file) done.reason = notRegularReason(path);
        if (done.reason.empty() && sourcePath == path && !kept.sameFileAs(read)) done.reason = changedReason(path);
        if (!done.reason.empty()) return done;
    }
    // The new file is what the current one is; a file restored where there is none is what its backup is. It is
    // private until then.
    const std::string identityFrom = current == CurrentFile::keptAsBackup ? path
                                     : current == CurrentFile::absent     ? sourcePath
                                                                          : std::string();
    const bool keepCopy = kept.links > 1;
    std::string temporary;
    TemporaryInProgress named;
    std::unique_ptr<OutputFile> output;
    bool temporaryMade = false;
    try {
        if (keepCopy) {
            done.reason = keepCopyAsBackup(files, path, kept, temporary, named, done.warning, done.keptAs);
            if (!done.reason.empty()) return done;
        }
        output = createTemporary(files, path, identityFrom.empty() ? NewFileAccess::usual : NewFileAccess::ownerOnly,
                                 temporary, named, done.warning, error);
        temporaryMade = output != nullptr; // a name it could not take may be another program's file
        done.reason = output ? writeTemporary(files, *output, temporary, identityFrom, source.get(), sourcePath, write)
                             : fileOperationReason("create", temporary, error);
        if (done.reason.empty() && current == CurrentFile::keptAsBackup)
            done.reason = checkUnchanged(files, path, kept);
        if (done.reason.empty()) // a copy kept as the backup leaves the file under `path` to be overwritten
            done.reason =
                putInPlace(files, path, keepCopy ? CurrentFile::overwritten : current, temporary, done.keptAs);
    } catch (...) {
        // Memory that runs out while the temporary file is made, written or put in place, say: the caller hears of it,
        // with no file of ours left. The current content is under its name or the backup's, as at any failure.
        output.reset();
        source.reset();
        std::error_code ignored;
        if (!temporary.empty()) files.remove(temporary, ignored);
        if (keepCopy && !done.keptAs.empty()) files.remove(done.keptAs, ignored);
        throw;
    }
    output.reset(); // closed before the removal: Windows deletes no open file
    source.reset();
    if (!done.reason.empty()) {
        if (keepCopy && !done.keptAs.empty()) removeLeftover(files, "backup", done.keptAs, done.reason); // a copy
        done.keptAs.clear();
        if (temporaryMade) removeLeftover(files, "temporary file", temporary, done.reason);
        return done;
    }
    if (current != CurrentFile::overwritten) deleteCompiledCopies(files, path, done);
    files.syncFolder(folderOf(path), error);
    if (error) addWarning(done.warning, fileOperationReason("sync the folder of", path, error));
    return done;
}

bool copyTemporaryFileInProgress(char* buffer, std::size_t size) noexcept {
    const std::size_t limit = size < kTemporarySlotSize ? size : kTemporarySlotSize;
    for (;;) {
        const unsigned changes = temporaryChanges.load(std::memory_order_acquire);
        // A name that changes now was never created: a signal handler that interrupts the change has nothing to remove.
        if (changes % 2 != 0) return false;
        std::size_t length = 0;
        while (length < limit && (buffer[length] = temporarySlot[length].load(std::memory_order_relaxed)) != '\0')
            ++length;
        std::atomic_thread_fence(std::memory_order_acquire);
        if (temporaryChanges.load(std::memory_order_relaxed) == changes) return length > 0 && length < limit;
    }
}

} // namespace zerkon
