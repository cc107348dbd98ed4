// zerkon-cli plot: draw where the guns of one DP file would converge. Writes only the picture.
#pragma once

#include "console.hpp"

#include <zerkon/file_system.hpp>
#include <zerkon/station_settings.hpp>

#include <string>
#include <vector>

namespace zerkon::cli {

struct PlotRequest {
    std::string file;
    RunSettings settings;
    std::string svgPath;
    bool force = false;               // replace an existing picture
    FileSystem* fileSystem = nullptr; // null: the machine's own files
};

// Returns the exit code: 0 when the picture was written, 1 when it was not, 2 when its name is a DP file's.
int runPlot(const PlotRequest& request, Console& console);

} // namespace zerkon::cli
