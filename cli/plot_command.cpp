#include "plot_command.hpp"

#include "svg_plot.hpp"
#include "text_format.hpp"

#include <zerkon/preview.hpp>

#include <filesystem>
#include <fstream>
#include <ostream>

namespace zerkon::cli {

int runPlot(const PlotRequest& request, Console& console) {
    const Preview preview = previewHarmonize(request.file, request.range, request.elevation);
    if (!preview.ok()) {
        console.err << "zerkon-cli: " << request.file << ": " << preview.reason << '\n';
        return 1;
    }
    std::error_code ignored;
    if (std::filesystem::equivalent(request.svgPath, request.file, ignored)) {
        console.err << "zerkon-cli: " << request.svgPath << ": the picture would overwrite the DP file\n";
        return 1;
    }
    const std::string svg = convergencePlotSvg(fileName(request.file), preview);
    std::ofstream out(request.svgPath, std::ios::binary | std::ios::trunc);
    out << svg;
    out.close();
    if (!out) {
        console.err << "zerkon-cli: cannot write " << request.svgPath << '\n';
        return 1;
    }
    console.out << request.svgPath << ": " << plural(preview.counts.stationsAimed, "gun station", "gun stations")
                << " drawn\n";
    return 0;
}

} // namespace zerkon::cli
