// zerkon-cli harmonize: aim the guns of each file, or show what that would change.
#pragma once

#include "console.hpp"

#include <zerkon/station_settings.hpp>

#include <string>
#include <vector>

namespace zerkon::cli {

struct HarmonizeRequest {
    std::vector<std::string> files;
    RunSettings settings;
    bool dryRun = false;
};

// Returns the exit code: 0 when every file went through, 1 when any failed.
int runHarmonize(const HarmonizeRequest& request, Console& console);

} // namespace zerkon::cli
