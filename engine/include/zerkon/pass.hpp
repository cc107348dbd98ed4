// The rewrite pass over one DP file, with a result that says what happened.
#pragma once

#include <zerkon/dp_rewriter.hpp>
#include <zerkon/outcome.hpp>
#include <zerkon/replace_file.hpp>
#include <zerkon/station_settings.hpp>

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zerkon {

// The notes are empty on failure.
struct PassResult : Outcome, ReplacementNotes {
    std::string backupPath; // on success: where the previous content now lives
    PassCounts counts;
};

struct PassOptions {
    FileSystem* fileSystem = nullptr;   // null: the machine's own files
    std::function<std::tm()> localTime; // empty: the machine's clock, in local time
};

struct SettingsReading : Outcome {
    RunSettings settings;
};

// The run's range and elevation from texts in feet, each read like C's "%f" ("900 ft" is 900); refused when either
// holds no finite number or the range is not ahead of the aircraft.
SettingsReading readRunSettings(std::string_view rangeText, std::string_view elevationText);

// Keeps the DP file at `path` as its next free numbered backup, writes the harmonized file under `path` and deletes
// the compiled copy. A symbolic link is followed: its target is harmonized beside its own backup. On any failure the DP
// file holds its previous content and no other file is left behind.
PassResult harmonizeFile(const std::string& path, const RunSettings& settings, const PassOptions& options = {});

} // namespace zerkon
