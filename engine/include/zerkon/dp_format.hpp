// The DP format as the pass knows it: the line prefixes its rules match, the run comment and the settings a run
// starts from. The names of a DP file's backups and compiled copy are in dp_names.hpp.
#pragma once

#include <zerkon/aiming.hpp>
#include <zerkon/station_settings.hpp>

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zerkon {

// The beginnings of the lines a rule looks at, matched without regard to the case of ASCII letters.
constexpr std::string_view kGunStationPrefix = "gunstation.";
constexpr std::string_view kGunSectionPrefix = "[guns.";
constexpr std::string_view kGunPrefix = "gun.";
constexpr std::string_view kGunStationsHeader = "[GUNSTATIONS]";
constexpr std::string_view kRunCommentPrefix = "; Guns harmonized";

// kDefaultRangeFeet and kDefaultElevationFeet as the dialog's boxes show them.
constexpr const char* kDefaultRangeText = "900";
constexpr const char* kDefaultElevationText = "1";

// Inline: the pass asks every line that begins with "g", "[" or ";" whether it starts with a rule's prefix.
inline char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

inline bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

// The run comment placed above each "[GUNSTATIONS]" line, with its newline.
std::string runComment(const AimSettings& settings, const std::tm& localTime);

// The line placed directly below the run comment that records the settings of some stations, with its newline; empty
// when every station takes the run's settings. It begins like the run comment, so the next run drops it too.
std::string stationsComment(const std::vector<StationSettings>& stations);

// The settings a run comment records, as the text it holds ("900.0", "1.0", "Sat Mar  7 18:02:11 2026").
struct RunRecord {
    std::string rangeFeet;
    std::string elevationFeet;
    std::string when;
    std::string stations; // from the stations comment below it: "Stations 0,1: Range 820.2 ft.  Elevation 1.0 ft."
};

// The settings in one run comment line; none when the line is not one.
std::optional<RunRecord> parseRunComment(std::string_view line);

// The settings of some stations in a stations comment line, as the text after "by Zerkon - "; none when the line is
// not one.
std::optional<std::string> parseStationsComment(std::string_view line);

} // namespace zerkon
