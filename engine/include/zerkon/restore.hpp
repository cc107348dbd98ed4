// Putting a numbered backup back under the DP file's own name, undoably.
#pragma once

#include <zerkon/pass.hpp>

#include <string>
#include <vector>

namespace zerkon {

struct RestoreResult : Outcome {
    std::string restoredFrom; // the backup whose content the DP file now holds; it stays where it is
    std::string keptAs;       // the new backup holding what the DP file held; empty when there was no DP file
    std::vector<std::string> compiledDeleted; // the compiled copies deleted, built from the content replaced
    std::vector<std::string> compiledLeft;    // on success: compiled copies that could not be deleted, stale now
    std::string warning;                      // on success: a compiled copy that could not be deleted
};

struct RestoreOptions {
    FileSystem* fileSystem = nullptr; // null: the machine's own files
};

// Keeps the DP file at `path` as its next free numbered backup, writes a copy of backup `backupNumber` under `path`
// and deletes the compiled copy. On any failure the DP file holds its previous content, every backup is as it was,
// and no other file is left behind.
RestoreResult restoreBackup(const std::string& path, unsigned backupNumber, const RestoreOptions& options = {});

} // namespace zerkon
