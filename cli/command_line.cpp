#include "command_line.hpp"

#include "argument_parser.hpp"
#include "console.hpp"
#include "harmonize_command.hpp"
#include "plot_command.hpp"
#include "report_command.hpp"
#include "restore_command.hpp"
#include "station_option.hpp"
#include "text_format.hpp"

#include <zerkon/distance.hpp>

#include <algorithm>
#include <charconv>
#include <new>
#include <ostream>

namespace zerkon::cli {
namespace {

const std::string kRangeHelp =
    std::string("How far ahead the guns' fire meets: a number, in feet unless followed by m or "
                "yd (250m, \"300 yd\"); default ") +
    kDefaultRangeText + " ft";
const std::string kElevationHelp = std::string("How far above the aircraft's centre line the fire meets, written like "
                                               "--range; default ") +
                                   kDefaultElevationText + " ft";
constexpr const char* kStationHelp =
    "Aim stations LIST (0,1 or 2-5) at their own range and elevation (the run's when none is given); repeatable";

// Refusals of each option's text, as the parser meets it; the texts are read into numbers once all are accepted.
std::string checkRange(const std::string& text) { return readRange(text).error; }
std::string checkDistance(const std::string& text) { return readDistance(text).error; }
std::string checkStationOption(const std::string& text) { return readStationOption(text).error; }

std::string checkBackupNumber(const std::string& text) {
    unsigned number = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
    if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size() && number > 0) return {};
    return "\"" + text + "\" is not a backup number; write a whole number from 1 (3 for NAME_003.dp)";
}

std::string checkFileName(const std::string& text) { return text.empty() ? "needs a file name" : ""; }

// The run's settings from the options given, with the stations that take their own. Returns the exit code: 0, or 2
// when a station is listed twice or an option names no station of a file.
int readSettings(const ParsedCommandLine& parsed, RunSettings& settings, Console& console) {
    if (parsed.has("--range")) settings.rangeFeet = readRange(parsed.values("--range").back()).feet;
    if (parsed.has("--elevation")) settings.elevationFeet = readDistance(parsed.values("--elevation").back()).feet;
    return readStationSettings(parsed.values("--station"), parsed.files, settings, console);
}

} // namespace

int runCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    const Option range{"--range", "DISTANCE", kRangeHelp, checkRange};
    const Option elevation{"--elevation", "DISTANCE", kElevationHelp, checkDistance};
    const Option station{"--station", "LIST=RANGE[/ELEVATION]", kStationHelp, checkStationOption, true};
    const Program program{
        "zerkon-cli",
        "Zerkon aims the guns of an aircraft's DP file so that their fire converges at a chosen range and elevation, "
        "keeping the previous file as a numbered backup.",
        std::string("zerkon-cli ") + ZERKON_VERSION,
        {
            {"harmonize",
             "Aim the guns of DP files, keeping each previous file as a backup",
             "Aim every eligible gun of each DP file. The previous file is kept as NAME_NNN.dp and the compiled copy "
             "NAME.cdp is deleted, so that the game reads the new aim.",
             {range,
              elevation,
              station,
              {"--dry-run", {}, "Write nothing; print the lines that would change as a unified diff", {}}},
             true,
             "The DP files to harmonize (NAME.dp). Other names, such as those \"*\" brings in, are skipped."},
            {"report",
             "Show what each file aims at now, and what harmonize would write",
             "Show, for every gun station, where its guns converge now and whether and how a run would aim them. "
             "Writes nothing.",
             {range,
              elevation,
              station,
              {"--wide", {}, "Show every number of every station, over 100 columns wide", {}},
              {"--json", {}, "Print one JSON document instead of tables", {}}},
             true,
             "The DP files to report on (NAME.dp)."},
            {"restore",
             "Put a backup back under the DP file's name",
             "Put a backup back under the DP file's name. The current file is kept as a new backup first, so a "
             "restore can itself be undone; the compiled copy is deleted.",
             {{"--backup", "N", "Restore NAME_NNN.dp with this number N (default: the newest backup)",
               checkBackupNumber}},
             false,
             "The DP file (NAME.dp)."},
            {"backups",
             "List the backups of a DP file",
             "List the backups of a DP file with their dates and the settings of the run that wrote them.",
             {},
             false,
             "The DP file (NAME.dp)."},
            {"plot",
             "Draw the lines of fire as an SVG picture",
             "Draw the lines of fire of the guns, now and as a run would aim them, top and side view, as an SVG "
             "picture. Writes only the picture.",
             {range,
              elevation,
              station,
              {"--svg", "OUT.svg", "The picture to write (never a .dp or .cdp name)", checkFileName, false, true},
              {"--force", {}, "Replace the picture if it exists", {}}},
             false,
             "The DP file (NAME.dp)."},
        }};

    const ParsedCommandLine parsed =
        parseCommandLine(program, std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    if (parsed.exitCode >= 0) {
        out << parsed.output;
        err << parsed.message;
        return parsed.exitCode;
    }
    Console console{out, err, errIsTerminal};
    const std::string& command = parsed.command->name;
    const auto runChosenCommand = [&]() -> int {
        RunSettings settings;
        if (command == "harmonize" || command == "report" || command == "plot")
            if (const int code = readSettings(parsed, settings, console)) return code;
        if (command == "harmonize") return runHarmonize({parsed.files, settings, parsed.has("--dry-run")}, console);
        if (command == "report")
            return runReport({parsed.files, settings, parsed.has("--json"), parsed.has("--wide")}, console);
        if (command == "restore") {
            RestoreRequest restore{parsed.files.front(), std::nullopt};
            if (parsed.has("--backup"))
                restore.backupNumber = static_cast<unsigned>(std::stoul(parsed.values("--backup").front()));
            return runRestore(restore, console);
        }
        if (command == "backups") return runBackups(parsed.files.front(), console);
        return runPlot({parsed.files.front(), settings, parsed.values("--svg").front(), parsed.has("--force")},
                       console);
    };
    int code = 1;
    try {
        const WaitingSaid waiting(console);
        code = runChosenCommand();
    } catch (const std::bad_alloc&) {
        err << "zerkon-cli: out of memory\n";
    }
    // Output that could not be written (a full disk, /dev/full) is lost: the command fails, as coreutils' do. The
    // system's reason is gone by now when the failing write came before the end.
    out.flush();
    if (out) return code;
    err << "zerkon-cli: cannot write the output\n";
    return 1;
}

} // namespace zerkon::cli
