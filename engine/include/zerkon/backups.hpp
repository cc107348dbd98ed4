// The numbered backups a DP file has gathered, and the name the next one takes.
#pragma once

#include <zerkon/dp_format.hpp>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zerkon {

class FileSystem;

struct BackupFile {
    unsigned number = 0;
    std::string path;
    std::chrono::system_clock::time_point made; // when it was made (its change time); the epoch when unknown
    std::optional<RunRecord> run;               // none when the content was never harmonized, or could not be read
    bool unreadable = false;                    // its content could not be read
};

// Backups are never overwritten: the first number whose name is free is taken, so a gap left by a deleted backup
// is reused. Empty, with `error` set, when the file system cannot tell.
std::string nextFreeBackupName(FileSystem& files, const std::string& dpPath, std::error_code& error);

// Whether `path` is the name the pass gives a numbered backup of the DP file at `dpPath` ("plane_001.dp" of
// "plane.dp"), in the same folder.
bool isBackupOf(const std::string& path, const std::string& dpPath);

// Every regular file in the DP file's folder named exactly as one of its backups, by number.
std::vector<BackupFile> listBackups(FileSystem& files, const std::string& dpPath, std::error_code& error);

// The backup made last; with gaps reused, the highest number need not be it. Its content may be much older (a file
// copied with its time kept, say). Null when empty.
const BackupFile* newestBackup(const std::vector<BackupFile>& backups);

// The first run comment of the file, if it has one.
std::optional<RunRecord> readRunRecord(FileSystem& files, const std::string& path, std::error_code& error);

} // namespace zerkon
