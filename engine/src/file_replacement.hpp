// Replacing a file without ever losing it: what the pass and a restore share.
#pragma once

#include <zerkon/file_system.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace zerkon {

std::string quoted(std::string_view text);

// "cannot <what> "<path>": <the system's words>"
std::string fileOperationReason(const std::string& what, const std::string& path, const std::error_code& error);

// A file being replaced. Its new content, read from `sourcePath` (the file itself, or a backup), goes to a temporary
// file beside it first, so the file is replaced only once the new one is complete.
struct Replacement {
    Replacement(std::string path, std::string keptAs, std::string sourcePath)
        : path(std::move(path)), keptAs(std::move(keptAs)), sourcePath(std::move(sourcePath)) {}

    std::string path;       // the file replaced
    std::string keptAs;     // the name its current content takes; empty when there is no current file
    std::string sourcePath; // what the new content is made from
    std::string temporary;
    bool temporaryCreated = false; // only a file of our own is ever removed
    std::unique_ptr<InputFile> source;
    std::unique_ptr<OutputFile> output;
};

// Opens the source and creates the temporary file. Returns the reason of a failure, empty on success.
std::string beginReplacement(FileSystem& files, Replacement& replacement);

// Once all the new content is written (`reason` empty), makes it durable, closes both files and puts it in place.
// Where the file system has links, `keptAs` becomes a second name of the current file and the new one then replaces
// it in one step, so whenever the process is stopped a whole file is under `path`; elsewhere two renames do it.
// Returns the reason of a failure, here or before; after any failure the current content is under `path` again (or
// the reason says where it is) and no temporary file is left.
std::string finishReplacement(FileSystem& files, Replacement& replacement, std::string reason);

// Deletes the compiled copy of the DP file at `path`, which is stale once the DP file is replaced. A copy that is not
// there is no failure; one that stays is returned as a warning for the user, empty otherwise.
std::string deleteCompiledCopy(FileSystem& files, const std::string& path);

} // namespace zerkon
