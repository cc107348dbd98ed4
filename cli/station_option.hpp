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

// The settings of the stations the --station options name, each text accepted by readStationOption, into `settings`;
// an option without ELEVATION takes the run's. Exit code 2, said on the console, when a station is listed twice or an
// option names no gun station of one of the files, checked for every file before any is written; 0 otherwise.
int readStationSettings(const std::vector<std::string>& texts, const std::vector<std::string>& files,
                        RunSettings& settings, Console& console);

} // namespace zerkon::cli
