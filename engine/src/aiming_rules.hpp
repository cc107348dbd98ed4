// The gun station and gun line rules: read the record, judge it, write it. Only the rewriter calls them.
#pragma once

#include <zerkon/aiming.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zerkon {

// A gun station line ("gunstation.N=...") as read, before any judgement.
struct StationRecord {
    std::optional<StationNumber> number;    // none without digits after "gunstation."
    std::optional<std::string_view> flag;   // the first value, as written after the first "="; none without "="
    bool complete = false;                  // 17 commas or more
    bool readable = false;                  // the speed and fields 11 to 16 are numbers that fit a float
    std::size_t headEnd = 0, tailStart = 0; // the commas that end field 10 and begin field 17
    float speed = 0.0f;                     // V
    float geometry[6] = {};                 // X, Y, Z, A, B, H
};

StationRecord readStationRecord(std::string_view line);

// The verdict on a station and the aim it takes. `flagBefore` is the station's flag from its earlier lines, which a
// line without "=" keeps. The station is harmonized from here on exactly when the verdict is `aimed`.
StationAim judgeStation(const StationRecord& record, bool flagBefore, const AimSettings& settings);

// Appends the line as the verdict wants it: fields 11 to 16 rewritten, or the whole line unchanged when the record
// could not be read.
void writeStationLine(std::string_view line, const StationRecord& record, const StationAim& aim, std::string& out);

// Rewrites a gun line ("gun.N=...") of a harmonized station into `out`: fields 4 and 5 become 0.
// Returns false, appending nothing, when the line stays as it is (fewer than 6 commas, or fields 1 to 3 not all
// numbers).
bool rewriteGunLine(std::string_view line, std::string& out);

// The station number written as decimal digits at the start of `text` ("10]" gives 10); none without digits or
// beyond the range of a station number.
std::optional<StationNumber> leadingStationNumber(std::string_view text);

} // namespace zerkon
