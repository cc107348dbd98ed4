// Replacing a file without ever losing it: what the pass and a restore share.
#pragma once

#include <zerkon/file_system.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace zerkon {

std::string quoted(std::string_view text);

// "cannot <what> "<path>": <the system's words>"
std::string fileOperationReason(const std::string& what, const std::string& path, const std::error_code& error);

// Creates a new file beside `path` under a name no file has, given in `name`. The new content goes there first, so
// the file at `path` is replaced only once the new one is complete.
std::unique_ptr<OutputFile> createTemporaryBeside(FileSystem& files, const std::string& path, std::string& name,
                                                  std::error_code& error);

// Puts the complete file `temporary` under `path`, the file there taking the name `keptAs` (none when `keptAs` is
// empty). Where the file system has links, `keptAs` becomes a second name of the current file and the new one then
// replaces it in one step, so whenever the process is stopped a whole file is under `path`. Elsewhere two renames do
// it, and between them only `keptAs` holds the current content. Returns the reason of a failure, empty on success;
// after a failure the current content is under `path` again, or the reason says where it is.
std::string replaceKeeping(FileSystem& files, const std::string& path, const std::string& keptAs,
                           const std::string& temporary);

// Deletes the compiled copy of the DP file at `path`, which is stale once the DP file is replaced. A copy that is not
// there is no failure; one that stays is returned as a warning for the user, empty otherwise.
std::string deleteCompiledCopy(FileSystem& files, const std::string& path);

} // namespace zerkon
