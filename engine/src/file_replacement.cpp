#include "file_replacement.hpp"

#include <zerkon/dp_format.hpp>

namespace zerkon {

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string fileOperationReason(const std::string& what, const std::string& path, const std::error_code& error) {
    return "cannot " + what + " " + quoted(path) + ": " + error.message();
}

namespace {

std::unique_ptr<OutputFile> createTemporaryBeside(FileSystem& files, const std::string& path, std::string& name,
                                                  std::error_code& error) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        name = path + ".zerkon-tmp" + (attempt > 0 ? std::to_string(attempt) : std::string());
        error.clear();
        auto file = files.createNew(name, error);
        if (file || error != std::errc::file_exists) return file;
    }
    return nullptr;
}

std::string putInPlace(FileSystem& files, const std::string& path, const std::string& keptAs,
                       const std::string& temporary) {
    std::error_code error;
    if (keptAs.empty()) {
        files.rename(temporary, path, error);
        return error ? fileOperationReason("rename " + quoted(temporary) + " to", path, error) : std::string();
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
    if (error) return fileOperationReason("rename " + quoted(path) + " to", keptAs, error);
    files.rename(temporary, path, error);
    if (!error) return {};
    std::string reason = fileOperationReason("rename " + quoted(temporary) + " to", path, error);
    std::error_code undoError;
    files.rename(keptAs, path, undoError); // put the current content back under its own name
    if (undoError) reason += "; the previous content is kept in " + quoted(keptAs);
    return reason;
}

} // namespace

std::string beginReplacement(FileSystem& files, Replacement& replacement) {
    std::error_code error;
    replacement.source = files.openForReading(replacement.sourcePath, error);
    if (!replacement.source) return fileOperationReason("open", replacement.sourcePath, error);
    replacement.output = createTemporaryBeside(files, replacement.path, replacement.temporary, error);
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
    if (reason.empty()) reason = putInPlace(files, replacement.path, replacement.keptAs, replacement.temporary);
    replacement.output.reset(); // closed before the removal: Windows deletes no open file
    replacement.source.reset();
    if (!reason.empty() && replacement.temporaryCreated) {
        std::error_code ignored;
        files.remove(replacement.temporary, ignored);
    }
    return reason;
}

std::string deleteCompiledCopy(FileSystem& files, const std::string& path) {
    const std::string compiled = compiledName(path);
    std::error_code error;
    files.remove(compiled, error);
    if (!error || error == std::errc::no_such_file_or_directory) return {};
    return "cannot delete the compiled copy " + quoted(compiled) + ": " + error.message();
}

} // namespace zerkon
