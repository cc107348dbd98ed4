// The rewrite pass over one DP file, with a result that says what happened.
#pragma once

#include <zerkon/dp_rewriter.hpp>

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace zerkon {

class FileSystem;

enum class Failure {
    none,
    badPath,       // the path is too short to derive the backup and compiled names from
    badRange,      // the range text holds no finite number
    badElevation,  // the elevation text holds no finite number
    notAFile,      // nothing under the path, or a folder
    fileOperation, // a status query, open, create, read, write, flush, close or rename failed
};

struct PassResult {
    Failure failure = Failure::none;
    std::string reason;     // on failure: which file, which operation and the system's words, for a person to read
    std::string backupPath; // on success: where the previous content now lives
    std::string warning;    // on success: something the user should know (a compiled copy that could not be deleted)
    PassCounts counts;

    bool ok() const { return failure == Failure::none; }
};

struct PassOptions {
    FileSystem* fileSystem = nullptr;   // null: the machine's own files
    std::function<std::tm()> localTime; // empty: the machine's clock, in local time
};

// Keeps the DP file at `path` as its next free numbered backup, writes the harmonized file under `path` and deletes
// the compiled copy. On any failure the DP file holds its previous content and no other file is left behind.
PassResult harmonizeFile(const std::string& path, std::string_view rangeText, std::string_view elevationText,
                         const PassOptions& options = {});

} // namespace zerkon
