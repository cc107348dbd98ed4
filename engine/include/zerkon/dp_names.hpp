// The names of the files that belong to a DP file.
#pragma once

#include <string>

namespace zerkon {

// The path without its last three characters, then "_", the number with at least three digits and ".dp":
// "plane.DP" and 1 give "plane_001.dp", 1000 gives "plane_1000.dp". The path has at least three characters.
std::string backupName(const std::string& dpPath, unsigned number);

// The path with its last two characters replaced by "cdp": "plane.dp" gives "plane.cdp".
std::string compiledName(const std::string& dpPath);

} // namespace zerkon
