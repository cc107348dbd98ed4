// What a pass and its preview check before they touch any file.
#pragma once

#include <zerkon/aiming.hpp>
#include <zerkon/pass.hpp>

#include <ctime>
#include <string>

namespace zerkon {

struct PassInputs : Outcome {
    std::string path; // the file to work on: a symbolic link's target
    AimSettings settings;
};

// The path must be long enough to derive the backup and compiled names from and name a file; the range and elevation
// must be finite numbers, since garbage would aim the guns at garbage.
PassInputs checkPassInputs(FileSystem& files, const std::string& path, const RunSettings& settings);

// The options' clock, or the machine's in local time.
std::tm passLocalTime(const PassOptions& options);

} // namespace zerkon
