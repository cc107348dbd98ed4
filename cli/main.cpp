// zerkon-cli: the command-line companion of the Zerkon dialog, over the same engine.
#include <zerkon/pass.hpp>

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kVersion = "1.2.0";

std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string plural(int count, const char* singular, const char* pluralForm) {
    return std::to_string(count) + " " + (count == 1 ? singular : pluralForm);
}

// One line per file on standard output; failures on standard error. Returns the number of files that failed.
int harmonizeAll(const std::vector<std::string>& files, const std::string& range, const std::string& elevation) {
    int failures = 0;
    for (const std::string& file : files) {
        const zerkon::PassResult result = zerkon::harmonizeFile(file, range, elevation);
        if (!result.ok()) {
            std::fprintf(stderr, "zerkon-cli: %s: %s\n", file.c_str(), result.reason.c_str());
            ++failures;
            continue;
        }
        std::printf("%s: %s aimed, %s rewritten, backup %s\n", file.c_str(),
                    plural(result.counts.stationsAimed, "gun station", "gun stations").c_str(),
                    plural(result.counts.gunLinesRewritten, "gun line", "gun lines").c_str(),
                    fileName(result.backupPath).c_str());
        if (!result.warning.empty()) std::fprintf(stderr, "zerkon-cli: %s: %s\n", file.c_str(), result.warning.c_str());
    }
    return failures;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Zerkon aims the guns of an aircraft's DP file so that their fire converges at a chosen range and "
                 "elevation, keeping the previous file as a numbered backup.",
                 "zerkon-cli"};
    app.set_version_flag("--version", std::string("zerkon-cli ") + kVersion);
    app.require_subcommand(1);

    std::string range = "900";
    std::string elevation = "1";
    std::vector<std::string> files;
    CLI::App* harmonize = app.add_subcommand(
        "harmonize", "Aim every eligible gun of each DP file; the previous file is kept as NAME_NNN.dp and the "
                     "compiled copy NAME.cdp is deleted.");
    harmonize->add_option("--range", range, "Convergence range in feet, read like C's %f (\"900ft\" is 900)")
        ->capture_default_str();
    harmonize->add_option("--elevation", elevation, "Elevation of the convergence point in feet")
        ->capture_default_str();
    harmonize->add_option("FILE", files, "DP files to harmonize")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? 0 : 2;
    }
    return harmonizeAll(files, range, elevation) == 0 ? 0 : 1;
}
