// What a pass would do to a DP file, worked out by the pass's own line rewriting, writing nothing.
#pragma once

#include <zerkon/dp_format.hpp>
#include <zerkon/dp_rewriter.hpp>
#include <zerkon/pass.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zerkon {

// One gun station line and what the aiming rules made of it.
struct StationReport {
    std::size_t lineNumber = 0; // from 1, in the file as it is
    std::string flagText;       // the first value, as written after "="
    StationAim aim;
    int gunLinesCleared = 0; // gun lines of this station whose fields 4 and 5 the pass sets to 0
};

// A line of the file that the pass would not copy as it is. Texts hold their newlines (LF), if any.
struct LineRewrite {
    std::size_t lineNumber = 0; // from 1, in the file as it is
    std::string before;         // one line
    std::string after;          // none (a dropped run comment), one, or more (the run comments above "[GUNSTATIONS]")
};

struct Preview : Outcome {
    AimSettings settings;
    std::vector<StationSettings> stationSettings; // of the stations aimed at their own
    std::string backupPath;                       // the name the current file would be kept under
    std::vector<std::string> compiledCopies;      // the compiled copies there are, which the pass would delete
    std::size_t lineCount = 0;
    std::vector<StationReport> stations;
    std::vector<LineRewrite> rewrites;
    PassCounts counts;
    std::optional<RunRecord> runComment; // the file's first run comment: what it says it was last harmonized to
};

// Reads the DP file at `path` through the same rewriting as harmonizeFile() with the same settings, and reports
// every station and every line the pass would change. Creates, renames and deletes nothing.
Preview previewHarmonize(const std::string& path, const RunSettings& settings, const PassOptions& options = {});

struct GunStationSearch : Outcome {
    bool found = false;
};

// Whether the DP file at `path` holds what a pass aims: a "[GUNSTATIONS]" line or a gun station line. Reads only up to
// the first of them, so that a pass need not be previewed whole to know; refuses what previewHarmonize() refuses.
GunStationSearch findGunStations(const std::string& path, const RunSettings& settings, const PassOptions& options = {});

} // namespace zerkon
