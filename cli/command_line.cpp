#include "command_line.hpp"

#include "console.hpp"
#include "harmonize_command.hpp"
#include "plot_command.hpp"
#include "report_command.hpp"
#include "restore_command.hpp"

#include <CLI/CLI.hpp>

#include <ostream>

namespace zerkon::cli {
namespace {

constexpr const char* kRangeHelp = "Convergence range in feet, read like C's %f (\"900ft\" is 900)";
constexpr const char* kElevationHelp = "Elevation of the convergence point in feet";

} // namespace

int runCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    CLI::App app{"Zerkon aims the guns of an aircraft's DP file so that their fire converges at a chosen range and "
                 "elevation, keeping the previous file as a numbered backup.",
                 "zerkon-cli"};
    app.set_version_flag("--version", std::string("zerkon-cli ") + ZERKON_VERSION);
    app.require_subcommand(1);

    HarmonizeRequest harmonize;
    CLI::App* harmonizeCommand = app.add_subcommand(
        "harmonize", "Aim every eligible gun of each DP file; the previous file is kept as NAME_NNN.dp and the "
                     "compiled copy NAME.cdp is deleted.");
    harmonizeCommand->add_option("--range", harmonize.range, kRangeHelp)->capture_default_str();
    harmonizeCommand->add_option("--elevation", harmonize.elevation, kElevationHelp)->capture_default_str();
    harmonizeCommand->add_flag("--dry-run", harmonize.dryRun,
                               "Write nothing; print the lines that would change as a unified diff");
    harmonizeCommand->add_option("FILE", harmonize.files, "DP files to harmonize")->required();

    ReportRequest report;
    CLI::App* reportCommand = app.add_subcommand(
        "report", "Show, for every gun station, whether it would be aimed and the numbers of its aim. Writes nothing.");
    reportCommand->add_option("--range", report.range, kRangeHelp)->capture_default_str();
    reportCommand->add_option("--elevation", report.elevation, kElevationHelp)->capture_default_str();
    reportCommand->add_flag("--json", report.json, "Print one JSON document instead of tables");
    reportCommand->add_option("FILE", report.files, "DP files to report on")->required();

    RestoreRequest restore;
    unsigned backupNumber = 0;
    CLI::App* restoreCommand = app.add_subcommand(
        "restore", "Put a backup back under the DP name. The current file is kept as a new backup first, so a "
                   "restore can itself be undone; the compiled copy is deleted.");
    CLI::Option* backupOption = restoreCommand->add_option(
        "--backup", backupNumber, "Number N of the backup NAME_NNN.dp to restore (default: the newest)");
    backupOption->check(CLI::PositiveNumber);
    restoreCommand->add_option("FILE", restore.file, "The DP file")->required();

    std::string backupsFile;
    CLI::App* backupsCommand = app.add_subcommand(
        "backups", "List the backups of a DP file with their dates and the settings of the run that wrote them.");
    backupsCommand->add_option("FILE", backupsFile, "The DP file")->required();

    PlotRequest plot;
    CLI::App* plotCommand =
        app.add_subcommand("plot", "Draw the lines of fire of the aimed guns, top and side view, as an SVG picture.");
    plotCommand->add_option("--range", plot.range, kRangeHelp)->capture_default_str();
    plotCommand->add_option("--elevation", plot.elevation, kElevationHelp)->capture_default_str();
    plotCommand->add_option("--svg", plot.svgPath, "The picture to write")->required();
    plotCommand->add_option("FILE", plot.file, "The DP file")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return code == 0 ? 0 : 2;
    }

    Console console{out, err, errIsTerminal};
    if (*harmonizeCommand) return runHarmonize(harmonize, console);
    if (*reportCommand) return runReport(report, console);
    if (*restoreCommand) {
        if (*backupOption) restore.backupNumber = backupNumber;
        return runRestore(restore, console);
    }
    if (*backupsCommand) return runBackups(backupsFile, console);
    return runPlot(plot, console);
}

} // namespace zerkon::cli
