// The names of a DP file and of the files that belong to it. Each is made from the DP file's stem, its path with the
// ".dp" ending taken away, so no name is ever cut out of a folder's name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zerkon {

// Whether names that differ only in the case of ASCII letters name one file, as on Windows.
#ifdef _WIN32
constexpr bool kNamesIgnoreCase = true;
#else
constexpr bool kNamesIgnoreCase = false;
#endif

// Whether the name of the file at `path` ends in ".dp", in any case: the files the commands change.
bool isDpName(std::string_view path);

// A path too short to be a DP file's ("dp").
bool longEnoughForDpNames(std::string_view dpPath);

// The path without its ".dp" ending ("a/plane" for "a/plane.DP"); a path without one is its own stem.
std::string dpStem(std::string_view dpPath);

// The stem, "_", the number with at least three digits and ".dp": "plane.DP" and 1 give "plane_001.dp", 1000 gives
// "plane_1000.dp".
std::string backupName(std::string_view dpPath, unsigned number);

// The number of the backup `name` (a name in the DP file's folder) stands for, when backupName() gives exactly that
// name: "plane_0001.dp" is not the name of backup 1, so it is no backup.
std::optional<unsigned> backupNumber(std::string_view dpPath, std::string_view name);

// The stem and ".cdp": "plane.dp" gives "plane.cdp".
std::string compiledName(std::string_view dpPath);

} // namespace zerkon
