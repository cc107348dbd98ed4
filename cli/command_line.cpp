#include "command_line.hpp"

#include "console.hpp"
#include "harmonize_command.hpp"
#include "plot_command.hpp"
#include "report_command.hpp"
#include "restore_command.hpp"
#include "station_option.hpp"
#include "text_format.hpp"

#include <zerkon/distance.hpp>

#include <CLI/CLI.hpp>

#include <charconv>
#include <new>
#include <ostream>

namespace zerkon::cli {
namespace {

constexpr const char* kRangeHelp = "Convergence range: a number, in feet unless followed by m or yd (250m, \"300 yd\")";
constexpr const char* kElevationHelp = "Elevation of the convergence point, written like --range";
constexpr const char* kStationHelp =
    "Aim stations LIST (0,1 or 2-5) at their own range and elevation (the run's when none is given); repeatable";

// A distance read once, as the option is parsed, into `feet`, which holds the default until then.
void addDistance(CLI::App& command, const char* name, const char* help, float& feet, bool isRange) {
    const auto read = [name, &feet, isRange](const std::string& text) {
        const DistanceReading distance = isRange ? readRange(text) : readDistance(text);
        if (!distance.ok()) throw CLI::ValidationError(name, distance.error);
        feet = distance.feet;
    };
    command.add_option_function<std::string>(name, read, help)->type_name("DISTANCE")->default_str(shortest(feet));
}

const CLI::Validator kBackupNumber(
    [](std::string& text) -> std::string {
        unsigned number = 0;
        const auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
        if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size() && number > 0) return {};
        return "\"" + text + "\" is not a backup number; write a whole number from 1 (3 for NAME_003.dp)";
    },
    "");

const CLI::Validator kFileName([](std::string& text) { return text.empty() ? "needs a file name" : ""; }, "");

// The run's settings and the stations that take their own, whose elevation may be the run's.
void addSettings(CLI::App& command, RunSettings& settings, std::vector<StationOption>& stations) {
    addDistance(command, "--range", kRangeHelp, settings.rangeFeet, true);
    addDistance(command, "--elevation", kElevationHelp, settings.elevationFeet, false);
    const auto read = [&stations](const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            stations.push_back(readStationOption(text));
            if (!stations.back().error.empty()) throw CLI::ValidationError("--station", stations.back().error);
        }
    };
    command.add_option_function<std::vector<std::string>>("--station", read, kStationHelp)
        ->allow_extra_args(false) // one value each time, so the files after it stay files
        ->type_name("LIST=RANGE[/ELEVATION]");
}

// The stations' own settings, once the run's elevation is known. Returns the exit code: 0, or 2 when a station is
// listed twice or an option names no station of a file.
int readStations(const std::vector<StationOption>& read, RunSettings& settings, const std::vector<std::string>& files,
                 Console& console) {
    StationOptions options = stationSettings(read, settings.elevationFeet);
    if (!options.error.empty()) {
        console.err << "zerkon-cli: --station: " << options.error << '\n';
        return 2;
    }
    settings.stations = std::move(options.stations);
    return refuseStationsNotInFiles(files, settings.stations, console);
}

// Every message starts with the program's name, on one line.
std::string failureMessage(const CLI::App*, const CLI::Error& error) {
    const bool saysWhatToWrite = dynamic_cast<const CLI::ValidationError*>(&error) != nullptr;
    return std::string("zerkon-cli: ") + error.what() + (saysWhatToWrite ? "\n" : " (see zerkon-cli --help)\n");
}

// What CLI11 would misread, said plainly: it takes "--range=" as "--range" followed by the next argument (the
// file), and an unknown first word as a missing command. Empty when the arguments are for CLI11 to read.
std::string misreadArgument(const CLI::App& app, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") break;
        if (argument.size() > 3 && argument.substr(0, 2) == "--" && argument.back() == '=' &&
            argument.find('=') == argument.size() - 1)
            return std::string(argument.substr(0, argument.size() - 1)) + " needs a value";
    }
    if (argc < 2 || argv[1][0] == '-') return {};
    std::string commands;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        if (command->get_name() == argv[1]) return {};
        commands += (commands.empty() ? "" : ", ") + command->get_name();
    }
    return "\"" + std::string(argv[1]) + "\" is not a command; the commands are " + commands;
}

// Output that could not be written (a full disk, /dev/full) is lost: the command fails, as coreutils' do. The
// system's reason is gone by now when the failing write came before the end.
int checkedExitCode(std::ostream& out, std::ostream& err, int code) {
    out.flush();
    if (out) return code;
    err << "zerkon-cli: cannot write the output\n";
    return 1;
}

} // namespace

int runCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    CLI::App app{"Zerkon aims the guns of an aircraft's DP file so that their fire converges at a chosen range and "
                 "elevation, keeping the previous file as a numbered backup.",
                 "zerkon-cli"};
    app.set_version_flag("--version", std::string("zerkon-cli ") + ZERKON_VERSION);
    app.require_subcommand(1);
    app.failure_message(failureMessage); // before the commands, which take it from here

    HarmonizeRequest harmonize;
    CLI::App* harmonizeCommand = app.add_subcommand(
        "harmonize", "Aim every eligible gun of each DP file; the previous file is kept as NAME_NNN.dp and the "
                     "compiled copy NAME.cdp is deleted.");
    std::vector<StationOption> harmonizeStations, reportStations, plotStations;
    addSettings(*harmonizeCommand, harmonize.settings, harmonizeStations);
    harmonizeCommand->add_flag("--dry-run", harmonize.dryRun,
                               "Write nothing; print the lines that would change as a unified diff");
    harmonizeCommand->add_option("FILE", harmonize.files, "DP files to harmonize (NAME.dp)")->required();

    ReportRequest report;
    CLI::App* reportCommand = app.add_subcommand(
        "report", "Show, for every gun station, whether it would be aimed and the numbers of its aim. Writes nothing.");
    addSettings(*reportCommand, report.settings, reportStations);
    reportCommand->add_flag("--wide", report.wide, "Show every number of every station, over 100 columns wide");
    reportCommand->add_flag("--json", report.json, "Print one JSON document instead of tables");
    reportCommand->add_option("FILE", report.files, "DP files to report on (NAME.dp)")->required();

    RestoreRequest restore;
    unsigned backupNumber = 0;
    CLI::App* restoreCommand = app.add_subcommand(
        "restore", "Put a backup back under the DP name. The current file is kept as a new backup first, so a "
                   "restore can itself be undone; the compiled copy is deleted.");
    CLI::Option* backupOption = restoreCommand->add_option(
        "--backup", backupNumber, "Number N of the backup NAME_NNN.dp to restore (default: the newest)");
    backupOption->check(kBackupNumber)->type_name("N");
    restoreCommand->add_option("FILE", restore.file, "The DP file (NAME.dp)")->required();

    std::string backupsFile;
    CLI::App* backupsCommand = app.add_subcommand(
        "backups", "List the backups of a DP file with their dates and the settings of the run that wrote them.");
    backupsCommand->add_option("FILE", backupsFile, "The DP file")->required();

    PlotRequest plot;
    CLI::App* plotCommand =
        app.add_subcommand("plot", "Draw the lines of fire of the aimed guns, top and side view, as an SVG picture.");
    addSettings(*plotCommand, plot.settings, plotStations);
    plotCommand->add_option("--svg", plot.svgPath, "The picture to write (never a .dp or .cdp name)")
        ->check(kFileName)
        ->required();
    plotCommand->add_flag("--force", plot.force, "Replace the picture if it exists");
    plotCommand->add_option("FILE", plot.file, "The DP file")->required();

    if (const std::string misread = misreadArgument(app, argc, argv); !misread.empty()) {
        err << "zerkon-cli: " << misread << '\n';
        return 2;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return code == 0 ? 0 : 2;
    }

    Console console{out, err, errIsTerminal};
    const auto runChosenCommand = [&]() -> int {
        if (*harmonizeCommand) {
            const int code = readStations(harmonizeStations, harmonize.settings, harmonize.files, console);
            return code != 0 ? code : runHarmonize(harmonize, console);
        }
        if (*reportCommand) {
            const int code = readStations(reportStations, report.settings, report.files, console);
            return code != 0 ? code : runReport(report, console);
        }
        if (*restoreCommand) {
            if (*backupOption) restore.backupNumber = backupNumber;
            return runRestore(restore, console);
        }
        if (*backupsCommand) return runBackups(backupsFile, console);
        const int code = readStations(plotStations, plot.settings, {plot.file}, console);
        return code != 0 ? code : runPlot(plot, console);
    };
    int code = 1;
    try {
        code = runChosenCommand();
    } catch (const std::bad_alloc&) {
        err << "zerkon-cli: out of memory\n";
    }
    return checkedExitCode(out, err, code);
}

} // namespace zerkon::cli
