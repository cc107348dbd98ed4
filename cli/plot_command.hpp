// zerkon-cli plot: draw where the guns of one DP file would converge. Writes only the picture.
#pragma once

#include "console.hpp"

#include <string>

namespace zerkon::cli {

struct PlotRequest {
    std::string file;
    std::string range = "900";
    std::string elevation = "1";
    std::string svgPath;
};

// Returns the exit code: 0 when the picture was written, 1 otherwise.
int runPlot(const PlotRequest& request, Console& console);

} // namespace zerkon::cli
