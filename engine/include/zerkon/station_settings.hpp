// The settings of a run: one convergence point, and stations that take their own (wing guns at one range, nose guns at
// another).
#pragma once

#include <zerkon/aiming.hpp>

#include <string>
#include <vector>

namespace zerkon {

// Stations first to last, both included.
struct StationSpan {
    StationNumber first = 0;
    StationNumber last = 0;
};

// The settings of some stations.
struct StationSettings {
    std::vector<StationSpan> stations;
    AimSettings settings;

    bool names(StationNumber station) const;
};

// The range and elevation, in feet, that the dialog and the commands start from.
constexpr float kDefaultRangeFeet = 900.0f;
constexpr float kDefaultElevationFeet = 1.0f;

// What a run aims the guns at, as numbers: each front end reads its own text once.
struct RunSettings {
    float rangeFeet = kDefaultRangeFeet;
    float elevationFeet = kDefaultElevationFeet;
    std::vector<StationSettings> stations; // aimed at their own settings instead of the run's
};

// The settings of the first entry that names the station, or the run's own.
const AimSettings& settingsOf(StationNumber station, const std::vector<StationSettings>& stations,
                              const AimSettings& run);

// Spans as a person writes them, in their order: "0,1", "2-5".
std::string stationListText(const std::vector<StationSpan>& spans);

} // namespace zerkon
