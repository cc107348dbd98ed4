// Replacing a file without ever losing it: the pass, a restore and a picture drawn again all do it this way.
#pragma once

#include <zerkon/file_system.hpp>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zerkon {

// What becomes of the file under the path replaced.
enum class CurrentFile {
    keptAsBackup, // a DP file: its content is kept as the next free numbered backup
    absent,       // a DP file that is not there: a file that appears meanwhile is never overwritten
    overwritten,  // no DP file (a picture drawn again): the new file takes its place
};

// Writes the new content to `output`, named `outputName` in messages, reading it from `source` when the replacement
// has one (null otherwise). Returns the reason of a failure, empty on success.
using ContentWriter = std::function<std::string(InputFile* source, OutputFile& output, const std::string& outputName)>;

// What the user is told once the new file is in place; the pass and a restore hand it on as it is.
struct ReplacementNotes {
    std::vector<std::string> compiledDeleted; // the compiled copies of a DP file, stale once it is replaced
    std::vector<std::string> compiledLeft;    // those that could not be deleted: the game still loads their old aim
    std::string warning;                      // what went wrong after the file was in place, for the user to know
};

// What a replacement did.
struct Replaced : ReplacementNotes {
    std::string reason; // why it failed; empty on success
    std::string keptAs; // the backup that holds the current content; empty when none was kept
};

// Replaces the file at `path` without ever losing it. Waits for other passes in the folder, opens `sourcePath` (none
// when empty; only a regular file is read), and has `write` fill a temporary file beside `path`, which only its owner
// may use meanwhile; then gives it the current file's permissions, owner and attributes (the backup's, when a DP file
// is restored where there is none), makes it durable, and puts it in place, unless another file has taken the name
// meanwhile. A DP file's compiled copies are deleted after, and the folder is synced.
// Where the file system has links, a backup becomes a second name of the current file and the new one then replaces
// it in one step, so whenever the process is stopped a whole file is under `path`; elsewhere two renames do it. A file
// that has other names already keeps them as they are: its backup is a durable copy, and the new file replaces it in
// one step. A backup name taken meanwhile by another program is never overwritten: the next free one is taken.
// After any failure the current content is under `path` again (or the reason says where it is) and no temporary file
// is left.
Replaced replaceFile(FileSystem& files, const std::string& path, CurrentFile current, const std::string& sourcePath,
                     const ContentWriter& write);

// What the front end says when a replacement has waited a second for another run's lock on `folder` ("." for the
// current one) and waits on: called once a wait, on the waiting thread. The engine itself says nothing, so a program
// without a console (the dialog) prints nowhere. Returns the notice it replaces, for a command that says it its own
// way for a while.
using FolderWaitNotice = std::function<void(const std::string& folder)>;
FolderWaitNotice setFolderWaitNotice(FolderWaitNotice notice);

// Copies the name of the temporary file a replacement is writing now into `buffer` (of `size` characters, its end
// included), for a handler to remove the file before the process ends; false when there is none or it does not fit.
// Safe in a signal handler, and on another thread while the replacement goes on; one replacement at a time is named.
bool copyTemporaryFileInProgress(char* buffer, std::size_t size) noexcept;

} // namespace zerkon
