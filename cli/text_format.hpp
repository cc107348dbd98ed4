// Small pieces of text shared by the commands.
#pragma once

#include <zerkon/aiming.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/station_settings.hpp>

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace zerkon::cli {

// "zerkon-cli: FILE: message" on a line of its own, the file's name with its control characters escaped.
void sayAbout(std::ostream& err, const std::string& file, const std::string& message);

// The last component of a path, with either kind of slash, its control characters escaped.
std::string fileName(const std::string& path);

// Whether `path` ends in `end`, in any case (".DP" and ".dp").
bool nameEndsWith(std::string_view path, std::string_view end);

// "1 gun line", "2 gun lines".
std::string plural(long long count, const std::string& noun);

// "a, b and c" with " and " as `lastSeparator`.
std::string joined(const std::vector<std::string>& words, const std::string& lastSeparator);

// `value` with `decimals` digits after the point, printed the way the pass prints numbers into a DP file.
std::string fixed(double value, int decimals);

// The shortest decimal text that reads back as the same 32-bit float ("835", "274.32").
std::string shortest(float value);

// "station 4", "stations 0,1" or "stations 2-5".
std::string stationsText(const std::vector<StationSpan>& spans);

// What a run comment says a file was harmonized to, with the time of that run and the stations it set apart:
// "range 750.0 ft, elevation 0.0 ft on Sat Mar  7 18:02:11 2026".
std::string runCommentText(const RunRecord& run);

// The settings a run aims at: "range 900.0 ft (274.320 m), elevation 1.0 ft (0.305 m)".
std::string settingsText(const AimSettings& settings, int metreDecimals);

// Why a station is or is not aimed, in a few words.
const char* verdictText(StationVerdict verdict);

// The verdict as a word for machines ("aimed", "flag", ...).
const char* verdictKey(StationVerdict verdict);

} // namespace zerkon::cli
