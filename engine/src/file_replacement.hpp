// Replacing a file without ever losing it: what the pass and a restore share.
#pragma once

#include <zerkon/file_system.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace zerkon {

std::string quoted(std::string_view text);

// "cannot <what> "<path>": <the system's words>"
std::string fileOperationReason(const std::string& what, const std::string& path, const std::error_code& error);

// Equal texts, ASCII letters compared without case when asked.
bool sameText(std::string_view a, std::string_view b, bool ignoreCase);

#ifdef _WIN32
constexpr bool kNamesIgnoreCase = true;
#else
constexpr bool kNamesIgnoreCase = false;
#endif

// The file a DP path stands for: a symbolic link is followed, so its target is replaced in its own folder and the
// link stays a link. Returns the reason of a failure, empty on success.
std::string followLinks(FileSystem& files, const std::string& path, std::string& target);

// The compiled copies of the DP file at `path` that exist. Where names tell case apart, "PLANE.cdp", "plane.CDP"
// and the others all count: the simulator takes any of them.
std::vector<std::string> compiledCopies(FileSystem& files, const std::string& path, std::error_code& error);

// A file being replaced. Its new content, read from `sourcePath` (the file itself, or a backup), goes to a temporary
// file beside it first, so the file is replaced only once the new one is complete.
struct Replacement {
    Replacement(std::string path, bool keepCurrent, std::string sourcePath)
        : path(std::move(path)), keepCurrent(keepCurrent), sourcePath(std::move(sourcePath)) {}

    std::string path;       // the file replaced
    bool keepCurrent;       // its current content is kept as the next free numbered backup (false: no current file)
    std::string sourcePath; // what the new content is made from
    std::string temporary;
    bool temporaryCreated = false; // only a file of our own is ever removed
    std::unique_ptr<FolderLock> lock;
    std::unique_ptr<InputFile> source;
    std::unique_ptr<OutputFile> output;

    // Once finished:
    std::string keptAs;                       // the backup that holds the current content; empty when none was kept
    std::vector<std::string> compiledDeleted; // the compiled copies deleted, stale once the file is replaced
    std::string warning;                      // what went wrong after the file was in place, for the user to know
};

// Waits for other passes in the folder, opens the source and creates the temporary file. Returns the reason of a
// failure, empty on success.
std::string beginReplacement(FileSystem& files, Replacement& replacement);

// Once all the new content is written (`reason` empty), makes it durable, closes both files, gives the new file the
// current one's permissions and owner, and puts it in place; then deletes the compiled copies and syncs the folder.
// Where the file system has links, the backup becomes a second name of the current file and the new one then
// replaces it in one step, so whenever the process is stopped a whole file is under `path`; elsewhere two renames do
// it. A backup name taken meanwhile by another program is never overwritten: the next free one is taken.
// Returns the reason of a failure, here or before; after any failure the current content is under `path` again (or
// the reason says where it is) and no temporary file is left.
std::string finishReplacement(FileSystem& files, Replacement& replacement, std::string reason);

} // namespace zerkon
