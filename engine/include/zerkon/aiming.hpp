// The aiming rules: how a gun station line and a gun line of a harmonized station are rewritten.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zerkon {

using StationNumber = std::uint32_t;

// The convergence point. Every value is a 32-bit float, as the aiming arithmetic requires.
struct AimSettings {
    float rangeFeet = 0.0f;
    float elevationFeet = 0.0f;
    float rangeMetres = 0.0f;     // R
    float elevationMetres = 0.0f; // E
};

AimSettings makeAimSettings(float rangeFeet, float elevationFeet);

struct Station {
    bool harmonize = false;
    float speed = 0.0f;
};

// Stations by number. Aircraft have a handful, numbered from 0, but any number a file names is kept apart.
class StationTable {
public:
    Station& operator[](StationNumber number);
    const Station* find(StationNumber number) const;

private:
    static constexpr StationNumber kDirectLimit = 256;
    std::vector<Station> direct_;
    std::map<StationNumber, Station> sparse_;
};

// What the rewrite pass remembers from line to line.
struct AimState {
    StationTable stations;
    std::optional<StationNumber> currentStation = 0; // none after a "[guns." header that names no station
};

// Why a gun station line came out as it did.
enum class StationVerdict {
    aimed,
    notHarmonized,    // its flag is not set (the value after "=" is not 0 or 1)
    angleOutOfLimits, // H beyond ±10°, or not a number
    shortRecord,      // fewer than 17 commas: copied unchanged
    unreadableField,  // the speed or one of X, Y, Z, A, B, H is not a number: copied unchanged
    angleNotFinite,   // the flight time or the aim came out infinite or not a number (a speed of 0 or "nan")
    badStationNumber, // no station digits after "gunstation.": copied unchanged, state untouched
};

// Everything the gun station handler found out about one line; the numbers are the ones the pass writes.
struct StationAim {
    StationVerdict verdict = StationVerdict::badStationNumber;
    StationNumber station = 0;
    float speed = 0.0f; // V
    float x = 0, y = 0, z = 0, a = 0, b = 0, h = 0;
    float distance = 0.0f;          // D, metres along the aircraft's axis to the convergence range
    float flightTime = 0.0f;        // T, seconds at three quarters of V
    float fall = 0.0f;              // F, drop over the flight time plus the elevation, negative
    float newA = 0.0f, newH = 0.0f; // P and Q, degrees
    bool computed = false;          // D, T, F, P and Q hold computed values
};

// Rewrites a gun station line ("gunstation.N=...") into `out`, updating the station's flag and speed.
StationAim rewriteGunStationLine(std::string_view line, AimState& state, const AimSettings& settings, std::string& out);

// Rewrites a gun line ("gun.N=...") of a harmonized station into `out`: fields 4 and 5 become 0.
// Returns false when the line is copied unchanged (fewer than 6 commas, or fields 1 to 3 not all numbers).
bool rewriteGunLine(std::string_view line, std::string& out);

// The station number written as decimal digits at the start of `text` ("10]" gives 10); none without digits or
// beyond the range of a station number.
std::optional<StationNumber> leadingStationNumber(std::string_view text);

} // namespace zerkon
