// Putting a numbered backup back under the DP file's own name, undoably.
#pragma once

#include <zerkon/pass.hpp>

#include <string>

namespace zerkon {

// The notes are empty on failure.
struct RestoreResult : Outcome, ReplacementNotes {
    std::string restoredFrom; // the backup whose content the DP file now holds; it stays where it is
    std::string keptAs;       // the new backup holding what the DP file held; empty when there was no DP file
};

struct RestoreOptions {
    FileSystem* fileSystem = nullptr; // null: the machine's own files
};

// Keeps the DP file at `path` as its next free numbered backup, writes a copy of backup `backupNumber` under `path`
// and deletes the compiled copy. On any failure the DP file holds its previous content, every backup is as it was,
// and no other file is left behind.
RestoreResult restoreBackup(const std::string& path, unsigned backupNumber, const RestoreOptions& options = {});

} // namespace zerkon
