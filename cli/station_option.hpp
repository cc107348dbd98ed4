// --station LIST=RANGE[/ELEVATION]: settings for some stations, such as the wing guns at 250 m.
#pragma once

#include "console.hpp"

#include <zerkon/station_settings.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zerkon::cli {

// One --station option as read.
struct StationOption {
    std::vector<StationSpan> stations;
    float rangeFeet = 0.0f;
    std::optional<float> elevationFeet; // none: the run's
    std::string error; // why the text is no --station option, and what to write instead; empty when it is one
};

// LIST is station numbers and spans separated by commas ("0,1", "2-5"), RANGE and ELEVATION are distances like --range
// and --elevation.
StationOption readStationOption(std::string_view text);

struct StationOptions {
    std::vector<StationSettings> stations;
    std::string error; // a station that two options name
};

// The settings of each option read without error; an option without ELEVATION takes the run's.
StationOptions stationSettings(const std::vector<StationOption>& options, float runElevationFeet);

// Exit code 2, with a message naming the file, when an option names no gun station of one of the files: checked for
// every file before any is written. 0 when every option names a station of every file it can read.
int refuseStationsNotInFiles(const std::vector<std::string>& files, const std::vector<StationSettings>& stations,
                             Console& console);

} // namespace zerkon::cli
