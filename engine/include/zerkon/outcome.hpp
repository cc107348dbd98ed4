// How every operation of the engine ends: done, or refused or failed with a reason for a person to read.
#pragma once

#include <string>
#include <string_view>

namespace zerkon {

enum class Failure {
    none,
    badPath,         // the path is too short to derive the backup and compiled names from
    badRange,        // the range text holds no finite number, or one not greater than zero
    badElevation,    // the elevation text holds no finite number
    notAFile,        // nothing under the path, or a folder
    badBackupNumber, // backups are numbered from 1
    fileOperation,   // a status query, open, create, read, write, flush, close or rename failed
};

struct Outcome {
    Failure failure = Failure::none;
    std::string reason; // on failure: which file, which operation and the system's words

    bool ok() const { return failure == Failure::none; }
};

// `text` with each control character written as an escape ("\n", "\x01"), so a file name holding a newline stays on
// the one line of its message.
std::string printable(std::string_view text);

// `text`, printable, in double quotes: how a message names a file or repeats what was typed.
std::string quoted(std::string_view text);

} // namespace zerkon
