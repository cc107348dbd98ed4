#include <zerkon/restore.hpp>

#include <zerkon/backups.hpp>
#include <zerkon/dp_names.hpp>
#include <zerkon/file_system.hpp>

#include <memory>
#include <vector>

namespace zerkon {
namespace {

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

RestoreResult failed(Failure failure, std::string reason) {
    RestoreResult result;
    result.failure = failure;
    result.reason = std::move(reason);
    return result;
}

RestoreResult fileFailure(const std::string& what, const std::string& path, const std::error_code& error) {
    return failed(Failure::fileOperation, "cannot " + what + " " + quoted(path) + ": " + error.message());
}

// The copy is written beside the DP file first, so the DP file is replaced only once the copy is complete.
std::unique_ptr<OutputFile> createTemporary(FileSystem& files, const std::string& path, std::string& name,
                                            std::error_code& error) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        name = path + ".zerkon-tmp" + (attempt > 0 ? std::to_string(attempt) : std::string());
        error.clear();
        auto file = files.createNew(name, error);
        if (file || error != std::errc::file_exists) return file;
    }
    return nullptr;
}

// Byte for byte: a backup already holds the file as it was on disk, CR LF and all.
RestoreResult copyInto(InputFile& input, OutputFile& output, const std::string& from, const std::string& to) {
    std::vector<char> buffer(256 * 1024);
    std::error_code error;
    for (;;) {
        const std::size_t got = input.read(buffer.data(), buffer.size(), error);
        if (error) return fileFailure("read", from, error);
        if (got == 0) break;
        output.write(buffer.data(), got, error);
        if (error) return fileFailure("write", to, error);
    }
    output.flush(error);
    if (error) return fileFailure("flush", to, error);
    output.close(error);
    if (error) return fileFailure("close", to, error);
    input.close(error);
    if (error) return fileFailure("close", from, error);
    return {};
}

// The current content takes the name `keptAs` and the copy the DP file's name. Where the file system has links,
// `keptAs` becomes a second name of the current file and the copy then replaces the DP file in one step, so whenever
// the process is stopped a whole file is under the DP file's name. Elsewhere two renames do it, and between them only
// `keptAs` holds the current content. With no current file (`keptAs` empty) the copy simply takes the name.
RestoreResult putInPlace(FileSystem& files, const std::string& path, const std::string& keptAs,
                         const std::string& temporary) {
    std::error_code error;
    if (keptAs.empty()) {
        files.rename(temporary, path, error);
        return error ? fileFailure("rename " + quoted(temporary) + " to", path, error) : RestoreResult{};
    }
    files.link(path, keptAs, error);
    if (!error) {
        files.replace(temporary, path, error);
        if (!error) return {};
        std::error_code ignored;
        files.remove(keptAs, ignored); // the current content still has its own name; the renames may do better
    }
    error.clear();
    files.rename(path, keptAs, error);
    if (error) return fileFailure("rename " + quoted(path) + " to", keptAs, error);
    files.rename(temporary, path, error);
    if (!error) return {};
    RestoreResult result = fileFailure("rename " + quoted(temporary) + " to", path, error);
    std::error_code undoError;
    files.rename(keptAs, path, undoError); // put the current content back under its own name
    if (undoError) result.reason += "; the current content is kept in " + quoted(keptAs);
    return result;
}

} // namespace

RestoreResult restoreBackup(const std::string& path, unsigned backupNumber, const RestoreOptions& options) {
    if (path.size() < 3) return failed(Failure::badPath, quoted(path) + " is too short to be the path of a DP file");
    if (backupNumber == 0) return failed(Failure::notAFile, "backups are numbered from 1");
    FileSystem& files = options.fileSystem ? *options.fileSystem : machineFileSystem();
    const std::string backup = backupName(path, backupNumber);

    std::error_code error;
    const PathKind backupKind = files.status(backup, error);
    if (error) return fileFailure("query", backup, error);
    if (backupKind != PathKind::file) return failed(Failure::notAFile, "there is no backup " + quoted(backup));
    // A DP file that is missing (deleted by hand) is simply recreated; a folder under its name is not replaced.
    const PathKind dpKind = files.status(path, error);
    if (error) return fileFailure("query", path, error);
    if (dpKind == PathKind::other) return failed(Failure::notAFile, quoted(path) + " is not a file");

    std::string keptAs;
    if (dpKind == PathKind::file) {
        keptAs = nextFreeBackupName(files, path, error);
        if (error) return fileFailure("find a backup name for", path, error);
    }

    std::unique_ptr<InputFile> input = files.openForReading(backup, error);
    if (!input) return fileFailure("open", backup, error);
    std::string temporary;
    std::unique_ptr<OutputFile> output = createTemporary(files, path, temporary, error);
    if (!output) return fileFailure("create", temporary, error);

    RestoreResult result = copyInto(*input, *output, backup, temporary);
    if (result.ok()) result = putInPlace(files, path, keptAs, temporary);
    if (!result.ok()) {
        output.reset(); // closed first: Windows deletes no open file
        input.reset();
        std::error_code ignored;
        files.remove(temporary, ignored);
        return result;
    }

    // The compiled copy was built from the content just replaced.
    const std::string compiled = compiledName(path);
    files.remove(compiled, error);
    if (error && error != std::errc::no_such_file_or_directory)
        result.warning = "cannot delete the compiled copy " + quoted(compiled) + ": " + error.message();
    result.restoredFrom = backup;
    result.keptAs = keptAs;
    return result;
}

} // namespace zerkon
