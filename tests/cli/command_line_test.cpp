#include "test_files.hpp"

#include "command_line.hpp"

#include <zerkon/distance.hpp>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

namespace {

using zerkon::testing::TempFolder;

void writeIn(const zerkon::testing::TempFolder& folder, const std::string& name, const std::string& bytes) {
    zerkon::testing::writeBytes(folder.file(name), bytes);
}

std::string readIn(const zerkon::testing::TempFolder& folder, const std::string& name) {
    return zerkon::testing::readBytes(folder.file(name));
}

// Every file of the folder by name, with its content.
std::map<std::string, std::string> snapshot(const zerkon::testing::TempFolder& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& name : folder.names())
        files[name] = readIn(folder, name);
    return files;
}

// Two aimed stations (one with flag 0), one left alone, and their guns.
const std::string kAircraft =
    "; test aircraft\r\n"
    "[GUNSTATIONS]\r\n"
    "gunstation.0=1,3,1,350,835,750,0.3,0.25,4,80,12,-2.410,-0.080,1.150,0.40,0.00,0.62,mg\r\n"
    "gunstation.1=0,3,1,350,850,750,0.3,0.25,4,80,12,1.5,-0.3,2.0,0,0,0,mg\r\n"
    "gunstation.2=2,3,1,350,835,750,0.3,0.25,4,80,12,2.410,-0.080,1.150,0.40,0.00,-0.62,mg\r\n"
    "[GUNS.0]\r\n"
    "gun.0=-2.410,-0.080,1.150,0.40,0.62,1,flash\r\n"
    "gun.1=-2.410,-0.080,1.150,0.40,0.62,1,flash\r\n"
    "[GUNS.1]\r\n"
    "gun.0=1.5,-0.3,2.0,0.40,0.62,1,flash\r\n"
    "[GUNS.2]\r\n"
    "gun.0=2.410,-0.080,1.150,0.40,-0.62,1,flash\r\n";

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// Output to `outInstead` when given, as to a full disk.
CliRun run(std::vector<std::string> arguments, bool errIsTerminal = false, std::ostream* outInstead = nullptr) {
    arguments.insert(arguments.begin(), "zerkon-cli");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    std::ostringstream out, err;
    const int code = zerkon::cli::runCommandLine(static_cast<int>(argv.size()), argv.data(),
                                                 outInstead ? *outInstead : out, err, errIsTerminal);
    return {code, out.str(), err.str()};
}

// Every refusal is one line that starts with the program's name; a command line that is wrong exits 2 before any
// file is read, a file that fails exits 1.
TEST(CommandLine, ExitCodesAndMessages) {
    TempFolder folder;
    writeIn(folder, "plane.dp", kAircraft);
    const std::string plane = folder.file("plane.dp");
    const std::string missing = folder.file("missing.dp");
    const std::string notes = folder.file("notes.txt");
    writeIn(folder, "notes.txt", "");
    const std::string hangar = folder.file("hangar.dp");
    std::filesystem::create_directory(hangar);
    const std::string other = folder.file("other.DP");
    const std::string picture = folder.file("plane.svg");
    writeIn(folder, "plane.svg", "an older picture");
    const std::string hint = "for example 900, 250m or \"300 yd\"\n";
    const std::string notANumber = " is not a decimal number; write a distance, " + hint;
    const std::string notAhead = " must be greater than zero: the guns converge ahead of the aircraft\n";
    const std::string tooSmall = " is too small: it becomes 0 in metres\n";
    const std::string tooLarge = " is too large for a distance; write at most 3.4e38 ft\n";
    const std::string nowhere = folder.file("nowhere/p.svg");
    const auto see = [](const std::string& command) {
        return " (see zerkon-cli " + command + (command.empty() ? "" : " ") + "--help)\n";
    };
    const struct {
        std::vector<std::string> arguments;
        int code;
        std::string err; // after "zerkon-cli: ", up to a final "*": the start of the message
    } cases[] = {
        {{}, 2, "Usage: zerkon-cli COMMAND [OPTIONS] FILE...\n*"}, // the only message without the program's name
        {{"--help"}, 0, ""},
        // Every mistake in the words themselves: what was wrong, the nearest right word, and where the help is.
        {{"frobnicate", plane},
         2,
         "\"frobnicate\" is not a command; the commands are harmonize, report, restore, backups and plot" + see("")},
        {{"harmoniz", plane}, 2, "\"harmoniz\" is not a command; did you mean harmonize?" + see("")},
        {{"help", "reprot"}, 2, "\"reprot\" is not a command; did you mean report?" + see("")},
        {{"--range", "900", plane},
         2,
         "--range is an option of harmonize, report and plot; write the command first" + see("")},
        {{"report"}, 2, "report needs one or more DP files" + see("report")},
        {{"harmonize", "--rang", "900", plane},
         2,
         "there is no option --rang; did you mean --range?" + see("harmonize")},
        {{"report", "-e", "5", plane}, 2, "there is no option -e; did you mean --elevation?" + see("report")},
        {{"harmonize", "--wide", plane}, 2, "--wide is an option of report, not of harmonize" + see("harmonize")},
        {{"report", "--frobnicate", plane}, 2, "there is no option --frobnicate" + see("report")},
        {{"report", "--range"}, 2, "--range needs a value" + see("report")},
        {{"report", "--range", "--json", plane}, 2, "--range needs a value" + see("report")},
        {{"report", "--json=yes", plane}, 2, "--json takes no value" + see("report")},
        {{"report", "--range", "1", "--range=2", plane}, 2, "--range is given twice; give it once" + see("report")},
        {{"plot", plane}, 2, "plot needs --svg OUT.svg" + see("plot")},
        {{"plot", "--svg", picture, plane, plane},
         2,
         "plot takes one DP file; \"" + plane + "\" is one too many" + see("plot")},
        // A word that begins with "/" is a file name on every system, even where options may begin with "/".
        {{"report", "/nowhere/x.dp"}, 1, "/nowhere/x.dp: *"},
        {{"report", "--", "-x.dp"}, 1, "-x.dp: *"},
#ifdef _WIN32
        {{"report", "/?"}, 0, ""},
#endif
        {{"report", plane}, 0, ""},
        {{"report", missing}, 1, "*"},
        {{"report", plane, missing}, 1, "*"},
        {{"harmonize", "--dry-run", missing}, 1, "*"},
        {{"restore", plane}, 1, plane + ": there is no backup to restore\n"},
        {{"backups", plane}, 0, ""},
        // Only DP files are touched; a name that is not one, or not there, is said to be so.
        {{"report", notes, plane}, 1, notes + ": not a DP file (the name does not end in .dp); left alone\n"},
        {{"restore", notes}, 1, "*"},
        {{"restore", missing}, 1, missing + ": no such file, and no backup of it\n"},
        {{"backups", missing}, 1, missing + ": no such file, and no backup of it\n"},
        {{"backups", hangar}, 1, hangar + ": not a file (a folder?)\n"},
        {{"restore", "--backup", "1", hangar}, 1, hangar + ": not a file (a folder?)\n"},
        // Distances: one message, printed once however many files, that shows what to write.
        {{"report", "--range=far", plane, plane}, 2, "--range: \"far\"" + notANumber},
        {{"report", "--range", "0x10", plane}, 2, "--range: \"0x10\"" + notANumber},
        {{"report", "--elevation", "-inf", plane}, 2, "--elevation: \"-inf\"" + notANumber},
        {{"report", "--range", "1,5", plane},
         2,
         "--range: \"1,5\" has a decimal comma; write a point, as in \"1.5\"\n"},
        {{"report", "--range", "274 km", plane},
         2,
         "--range: \"274 km\": \"km\" is not a unit; write ft, m or yd after the number, " + hint},
        {{"report", "--range=1e40", plane}, 2, "--range: \"1e40\"" + tooLarge},
        {{"report", "--range", "2e38 yd", plane}, 2, "--range: \"2e38 yd\"" + tooLarge},
        {{"report", "--range=", plane}, 2, "--range needs a value" + see("report")},
        {{"harmonize", "-x.dp"},
         2,
         "there is no option -x.dp; to name a file that starts with a dash, put -- before the file names" +
             see("harmonize")},
        {{"report", "--", plane, "-x.DP"}, 1, "-x.DP: \"-x.DP\" does not exist\n"},
        {{"report", "--range", " ", plane}, 2, "--range: needs a value, " + hint},
        {{"report", "--range=-5", plane}, 2, "--range: \"-5\"" + notAhead},
        {{"report", "--range", "1e-45", plane}, 2, "--range: \"1e-45\"" + tooSmall},
        {{"report", "--range", "1e-50 m", plane}, 2, "--range: \"1e-50 m\"" + tooSmall},
        {{"report", "--range", "0.0", plane}, 2, "--range: \"0.0\"" + notAhead},
        {{"report", "--range", "1,000", plane},
         2,
         "--range: \"1,000\" has a comma; write \"1000\" if it groups thousands, or a point for a fraction\n"},
        {{"report", "--range", "12,500,000 m", plane},
         2,
         "--range: \"12,500,000 m\" has a comma; write \"12500000 m\" if it groups thousands, or a point for a "
         "fraction\n"},
        {{"report", "--range", "1,0001", plane},
         2,
         "--range: \"1,0001\" has a decimal comma; write a point, as in \"1.0001\"\n"},
        {{"report", "--elevation", "-5 m", plane}, 0, ""},
        {{"restore", "--backup", "0", plane},
         2,
         "--backup: \"0\" is not a backup number; write a whole number from 1 (3 for NAME_003.dp)\n"},
        {{"restore", "--backup", "99999999999", plane}, 2, "*"},
        // A picture never replaces a DP file, nor anything without --force.
        {{"plot", "--svg", "", plane}, 2, "--svg: needs a file name\n"},
        {{"plot", "--svg", other, plane},
         2,
         other + ": a picture is never written under a .dp or .cdp name; name it .svg\n"},
        {{"plot", "--svg", plane, plane}, 2, "*"},
        {{"plot", "--svg", folder.file("plane.cdp"), plane}, 2, "*"},
        {{"plot", "--svg", picture, plane}, 1, picture + ": exists already; add --force to replace it\n"},
        {{"plot", "--svg", nowhere, plane}, 1, nowhere + ": cannot create it: *"},
        {{"plot", "--force", "--svg", picture, plane}, 0, ""},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& argument : c.arguments)
            line += " " + argument;
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.code, c.code) << line;
        const std::string err = c.code == 0 || c.arguments.empty() ? c.err : "zerkon-cli: " + c.err;
        if (!err.empty() && err.back() == '*')
            EXPECT_EQ(result.err.substr(0, err.size() - 1), err.substr(0, err.size() - 1)) << line;
        else
            EXPECT_EQ(result.err, err) << line;
    }
}

// Output that cannot be written fails the command, as coreutils' commands do, instead of an empty file and exit 0.
TEST(CommandLine, UnwritableOutputFails) {
    struct FullDisk : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    };
    TempFolder folder;
    writeIn(folder, "plane.dp", kAircraft);
    const std::string plane = folder.file("plane.dp");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"report", "--json", plane}, {"harmonize", "--dry-run", plane}, {"backups", plane}}) {
        FullDisk full;
        std::ostream out(&full);
        const CliRun result = run(arguments, false, &out);
        EXPECT_EQ(result.code, 1) << arguments[0];
        EXPECT_EQ(result.err, "zerkon-cli: cannot write the output\n") << arguments[0];
    }
}

// Help in 80 columns without the parser's words for types; "help COMMAND" is "COMMAND --help".
TEST(CommandLine, HelpFitsEightyColumns) {
    for (const char* command : {"", "harmonize", "report", "restore", "backups", "plot"}) {
        const CliRun help = *command ? run({command, "--help"}) : run({"--help"});
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_EQ(help.out.rfind("Usage: zerkon-cli ", 0), 0u) << help.out;
        std::istringstream lines(help.out);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LT(line.size(), 80u) << line;
        for (const char* noise : {"TEXT", "REQUIRED", "[Option", "Subcommand"})
            EXPECT_EQ(help.out.find(noise), std::string::npos) << help.out;
        const CliRun asked = *command ? run({"help", command}) : run({"help"});
        EXPECT_EQ(asked.out, help.out) << command;
        EXPECT_EQ(asked.code, 0) << command;
    }
}

// A name holding a newline or another control character is shown escaped, so each message stays one line.
TEST(CommandLine, ControlCharactersInNamesAreEscaped) {
    TempFolder folder;
    const std::string name = folder.file("new\nline\x01.dp");
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"report", name},
                                                      {"harmonize", name},
                                                      {"harmonize", "--dry-run", name},
                                                      {"restore", name},
                                                      {"backups", name},
                                                      {"plot", "--svg", folder.file("p.svg"), name}}) {
        const CliRun result = run(arguments);
        EXPECT_EQ(result.code, 1) << arguments[0];
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find("new\\nline\\x01.dp"), std::string::npos) << result.err;
    }
}

TEST(CommandLine, DistancesInFeetMetresOrYards) {
    const struct {
        const char* text;
        float feet;
    } cases[] = {
        {"900", 900.0f},
        {" 820.5 feet ", 820.5f},
        {"+1e2FT", 100.0f},
        {"-5", -5.0f},
        {".5", 0.5f},
        {"5.", 5.0f},
        {"1 foot", 1.0f},
        {"274.32m", 900.0f},
        {"250 Metres", 820.20997375f},
        {"1 meter", 3.2808399f},
        {"300 yd", 900.0f},
        {"2YARDS", 6.0f},
    };
    for (const auto& c : cases) {
        const zerkon::DistanceReading distance = zerkon::readDistance(c.text);
        EXPECT_EQ(distance.error, "") << c.text;
        EXPECT_EQ(distance.feet, c.feet) << c.text;
    }
}

// --station: a listed station is aimed at its own settings, every other at the run's; a refused option exits 2 with
// one message before any file is written.
TEST(CommandLine, StationOptions) {
    TempFolder folder;
    writeIn(folder, "plane.dp", kAircraft);
    writeIn(folder, "other.dp", "[GUNSTATIONS]\r\ngunstation.5=1,3,1,350,835,750,0.3,0.25,4,80,12,1,0,0,0,0,0,mg\r\n");
    const std::string plane = folder.file("plane.dp"), other = folder.file("other.dp");
    const std::string form = "; write LIST=RANGE or LIST=RANGE/ELEVATION, for example 0,1=250m or 2-5=300yd/1ft\n";
    const struct {
        std::vector<std::string> options;
        std::vector<double> rangeFeet; // of stations 0, 1 and 2 when accepted
        std::string err;               // when refused
    } cases[] = {
        {{"--station", "0,1=250m"}, {820.20996, 820.20996, 900}, ""},
        {{"--station", "2=300yd/2m", "--station", " 0 = 100"}, {100, 900, 900}, ""},
        {{"--station", "0-9=1000"}, {1000, 1000, 1000}, ""}, // names stations the file has not, and some it has
        {{"--station", "0,1"}, {}, "zerkon-cli: --station: \"0,1\": no \"=\"" + form},
        {{"--station", "0,,1=250m"},
         {},
         "zerkon-cli: --station: \"0,,1=250m\": \"\" is not a station number or span such as 3 or 2-5" + form},
        {{"--station", "2-1=250m"},
         {},
         "zerkon-cli: --station: \"2-1=250m\": \"2-1\" runs backwards; write the lower station first\n"},
        {{"--station", "0=0m"},
         {},
         "zerkon-cli: --station: \"0=0m\": range \"0m\" must be greater than zero: the guns converge ahead of the "
         "aircraft\n"},
        {{"--station", "0=250m/high"}, {}, "*"},
        {{"--station", "0,0-1=250m"}, {}, "zerkon-cli: --station: \"0,0-1=250m\": station 0 is listed twice\n"},
        {{"--station", "0-1=250m", "--station", "1,2=300m"}, {}, "zerkon-cli: --station: station 1 is listed twice\n"},
        {{"--station", "1=250m"},
         {},
         "zerkon-cli: " + other + ": --station 1 names no gun station of the file; it has 5\n"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& option : c.options)
            line += " " + option;
        const auto before = snapshot(folder);
        std::vector<std::string> arguments = {c.rangeFeet.empty() ? "harmonize" : "report", "--json"};
        if (c.rangeFeet.empty()) arguments.pop_back();
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.push_back(plane);
        if (c.rangeFeet.empty()) arguments.push_back(other);
        const CliRun result = run(arguments);
        if (!c.rangeFeet.empty()) {
            ASSERT_EQ(result.code, 0) << line << "\n" << result.err;
            const nlohmann::json stations = nlohmann::json::parse(result.out)["files"][0]["stations"];
            for (std::size_t i = 0; i < c.rangeFeet.size(); ++i)
                EXPECT_NEAR(stations[i]["run_settings"]["range_feet"].get<double>(), c.rangeFeet[i], 1e-4) << line;
            continue;
        }
        EXPECT_EQ(result.code, 2) << line;
        EXPECT_EQ(snapshot(folder), before) << line;
        if (c.err == "*")
            EXPECT_EQ(result.err.rfind("zerkon-cli: --station: ", 0), 0u) << line << "\n" << result.err;
        else
            EXPECT_EQ(result.err, c.err) << line;
    }
}

TEST(CommandLine, HarmonizeKeepsItsOutputLine) {
    TempFolder folder;
    writeIn(folder, "plane.dp", kAircraft);
    const CliRun result = run({"harmonize", "--range", "300 yd", folder.file("plane.dp")});
    EXPECT_EQ(result.code, 0);
    EXPECT_NE(readIn(folder, "plane.dp").find("Range: 900.0 ft."), std::string::npos); // the run comment keeps feet
    EXPECT_EQ(result.out,
              folder.file("plane.dp") + ": 2 gun stations aimed, 3 gun lines rewritten, backup plane_001.dp\n");
    EXPECT_EQ(result.err, "");
}

// "harmonize *" in an aircraft's folder: each file once, other names skipped with one note, backups named beside
// their file and files without a gun station left alone, and the sum of the DP files at the end.
TEST(CommandLine, FolderOfAircraft) {
    TempFolder folder;
    for (const char* name : {"a.dp", "b.dp"})
        writeIn(folder, name, kAircraft);
    writeIn(folder, "a_001.dp", kAircraft);
    writeIn(folder, "notes.txt", "not a DP file");
    writeIn(folder, "a.cdp", "compiled");
    writeIn(folder, "empty.dp", "");
    writeIn(folder, "text.dp", "no gun here\r\n[GUNS.0]\r\n");
    const auto in = [&](std::vector<std::string> names) {
        for (std::string& name : names)
            name = folder.file(name);
        return names;
    };
    const std::string skipped = "zerkon-cli: skipped 2 names that are not DP files: " + folder.file("a.cdp") + " and " +
                                folder.file("notes.txt") + "\n";
    const struct {
        std::vector<std::string> names;
        int code;
        std::string summary; // the last line of standard output
        std::string err;
        std::vector<std::string> folderAfter;
    } cases[] = {
        {in({"a.cdp", "a.dp", "a_001.dp", "b.dp", "empty.dp", "notes.txt", "text.dp", "./a.dp"}),
         0,
         "4 DP files: 2 harmonized, 2 without gun stations left alone, 0 failed, 4 gun stations aimed\n",
         "zerkon-cli: " + folder.file("./a.dp") + ": same file as " + folder.file("a.dp") + ", handled once\n" +
             skipped + "zerkon-cli: 1 backup left alone, named beside their DP file: " + folder.file("a_001.dp") + "\n",
         {"a.dp", "a_001.dp", "a_002.dp", "b.dp", "b_001.dp", "empty.dp", "notes.txt", "text.dp"}},
        {in({"a.dp", "missing.dp"}), 1, "2 DP files: 1 harmonized, 1 failed, 2 gun stations aimed\n", "*", {}},
        {in({"a.cdp", "notes.txt"}),
         1,
         "",
         skipped + "zerkon-cli: none of the 2 names is a DP file to harmonize\n",
         {}},
        {in({"notes.txt"}),
         1,
         "",
         "zerkon-cli: " + folder.file("notes.txt") + ": not a DP file (the name does not end in .dp); left alone\n",
         {}},
        {in({"empty.dp"}), 0, folder.file("empty.dp") + ": no gun station in it; left alone, no backup made\n", "", {}},
        {in({"a_001.dp"}), 0, "*", "", {}}, // a backup named on its own is harmonized
    };
    for (const auto& c : cases) {
        const auto before = snapshot(folder);
        std::vector<std::string> arguments = {"harmonize"};
        arguments.insert(arguments.end(), c.names.begin(), c.names.end());
        const CliRun result = run(arguments);
        EXPECT_EQ(result.code, c.code) << arguments.back();
        if (c.summary != "*") {
            EXPECT_EQ(result.out.substr(result.out.rfind('\n', result.out.size() - 2) + 1), c.summary) << result.out;
        }
        if (c.err != "*") {
            EXPECT_EQ(result.err, c.err) << arguments.back();
        }
        if (!c.folderAfter.empty()) {
            EXPECT_EQ(folder.names(), c.folderAfter);
        }
        if (c.code != 0 && c.summary.empty()) {
            EXPECT_EQ(snapshot(folder), before);
        }
    }
    EXPECT_EQ(readIn(folder, "empty.dp"), "");
    EXPECT_NE(snapshot(folder).count("a_001_001.dp"), 0u);
}

// Progress is redrawn in place on a terminal and wiped before anything else is written; a log gets none of it.
TEST(CommandLine, ProgressOnlyOnATerminal) {
    TempFolder folder;
    writeIn(folder, "a.dp", kAircraft);
    writeIn(folder, "b.dp", kAircraft);
    const std::string missing = folder.file("missing.dp");
    const std::vector<std::string> arguments = {"harmonize", "--dry-run", folder.file("a.dp"), missing,
                                                folder.file("b.dp")};
    const CliRun terminal = run(arguments, true);
    EXPECT_EQ(terminal.err.rfind("\r[1/3] ", 0), 0u) << terminal.err;
    EXPECT_NE(terminal.err.find("\r[3/3] "), std::string::npos) << terminal.err;
    const std::size_t message = terminal.err.find("zerkon-cli: " + missing + ": ");
    ASSERT_NE(message, std::string::npos) << terminal.err;
    EXPECT_EQ(terminal.err.substr(message - 2, 2), " \r") << terminal.err; // the progress line wiped first
    EXPECT_EQ(terminal.err.back(), '\r');
    EXPECT_NE(terminal.out.find("\n3 DP files: 2 would be harmonized, 1 failed, 4 gun stations aimed\n"),
              std::string::npos);
    EXPECT_EQ(run(arguments, false).err.find('\r'), std::string::npos);
    EXPECT_EQ(run({"harmonize", "--dry-run", folder.file("a.dp")}, true).err, ""); // one file needs no progress
}

TEST(CommandLine, DryRunWritesNothingAndShowsTheDiff) {
    TempFolder folder;
    // No "[GUNSTATIONS]", so no run comment with the clock's time: the diff is the same on every run.
    writeIn(folder, "plane.dp",
            "; Guns harmonized by Zerkon - Range: 750.0 ft.  Elevation: 0.0 ft. - then\r\n"
            "[AIRCRAFT]\r\n"
            "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\r\n"
            "gunstation.1=1,0,0,0,880,0,0,0,0,0,0,-2.25,0.1,1.2,0,0,0,0\r\n"
            "[GUNS.0]\r\n"
            "gun.0=1.5,-0.25,2,3.2,1.1,7,x");
    writeIn(folder, "plane.cdp", "compiled");
    const auto before = snapshot(folder);
    const std::string plane = folder.file("plane.dp");
    const CliRun result = run({"harmonize", "--dry-run", plane});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(snapshot(folder), before);
    EXPECT_EQ(result.out, plane +
                              ": dry run, nothing written: 2 gun stations aimed, 1 gun line rewritten, backup "
                              "plane_001.dp, would delete plane.cdp\n"
                              "--- " +
                              plane + "\n+++ " + plane +
                              " (harmonized)\n"
                              "@@ -1 +0,0 @@\n"
                              "-; Guns harmonized by Zerkon - Range: 750.0 ft.  Elevation: 0.0 ft. - then\n"
                              "@@ -3,2 +2,2 @@\n"
                              "-gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\n"
                              "-gunstation.1=1,0,0,0,880,0,0,0,0,0,0,-2.25,0.1,1.2,0,0,0,0\n"
                              "+gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,-0.31448,0,-0.31559,0\n"
                              "+gunstation.1=1,0,0,0,880,0,0,0,0,0,0,-2.250,0.100,1.200,-0.21817,0,0.47200,0\n"
                              "@@ -6 +5 @@\n"
                              "-gun.0=1.5,-0.25,2,3.2,1.1,7,x\n"
                              "\\ No newline at end of file\n"
                              "+gun.0=1.5,-0.250,2.000,3.200,0,0,x\n"
                              "\\ No newline at end of file\n");
}

// Harmonize, restore: the original bytes are back; restore again: the harmonized bytes are back.
TEST(CommandLine, RestoreRoundTrips) {
    TempFolder folder;
    writeIn(folder, "plane.dp", kAircraft);
    const std::string plane = folder.file("plane.dp");
    ASSERT_EQ(run({"harmonize", plane}).code, 0);
    const std::string harmonized = readIn(folder, "plane.dp");
    ASSERT_NE(harmonized, kAircraft);
    writeIn(folder, "plane.cdp", "compiled");

    const CliRun first = run({"restore", plane});
    EXPECT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, plane + ": restored from plane_001.dp, previous content kept as plane_002.dp\n");
    EXPECT_EQ(readIn(folder, "plane.dp"), kAircraft);
    EXPECT_EQ(readIn(folder, "plane_001.dp"), kAircraft);
    EXPECT_EQ(readIn(folder, "plane_002.dp"), harmonized);
    EXPECT_EQ(snapshot(folder).count("plane.cdp"), 0u);

    const CliRun second = run({"restore", plane});
    EXPECT_EQ(second.code, 0) << second.err;
    EXPECT_EQ(readIn(folder, "plane.dp"), harmonized);
    EXPECT_EQ(snapshot(folder).size(), 4u); // plane.dp and three backups, nothing else

    const CliRun chosen = run({"restore", "--backup", "1", plane});
    EXPECT_EQ(chosen.code, 0) << chosen.err;
    EXPECT_EQ(readIn(folder, "plane.dp"), kAircraft);

    const CliRun listing = run({"backups", plane});
    EXPECT_EQ(listing.code, 0);
    EXPECT_NE(listing.out.find(plane + ": 4 backups"), std::string::npos) << listing.out;
    EXPECT_NE(listing.out.find("900.0"), std::string::npos) << listing.out;
}

TEST(CommandLine, JsonReportParsesAndNamesEveryFile) {
    TempFolder folder;
    writeIn(folder, "plane.dp", kAircraft);
    const CliRun result = run({"report", "--json", folder.file("plane.dp"), folder.file("missing.dp")});
    EXPECT_EQ(result.code, 1);
    const nlohmann::json document = nlohmann::json::parse(result.out);
    ASSERT_EQ(document["files"].size(), 2u);
    const nlohmann::json& plane = document["files"][0];
    EXPECT_EQ(plane["ok"], true);
    EXPECT_TRUE(plane["now"]["run_comment"].is_null());
    EXPECT_EQ(plane["run"]["range_metres"].get<float>(), 274.32001f); // the same 32-bit floats as the pass
    EXPECT_EQ(plane["run"]["elevation_metres"].get<float>(), 0.3048f);
    ASSERT_EQ(plane["stations"].size(), 3u);
    const nlohmann::json& worked = plane["stations"][1]; // the worked example of the aiming rules
    EXPECT_EQ(worked["status"], "aimed");
    EXPECT_EQ(worked["flag"], "0");
    EXPECT_EQ(worked["written"]["a"], "-0.31448");
    EXPECT_EQ(worked["written"]["h"], "-0.31559");
    EXPECT_EQ(worked["distance"].get<float>(), 272.32001f);
    EXPECT_NEAR(worked["flight_time"].get<double>(), 0.4271686, 1e-7);
    EXPECT_NEAR(worked["drop"].get<double>(), 1.194721 - 0.3048, 1e-6); // F = -1.194721 less the elevation
    EXPECT_EQ(worked["gun_lines_cleared"], 1);
    EXPECT_EQ(plane["stations"][0]["gun_lines_cleared"], 2);
    // Station 0's angles now, A 0.4 and H 0.62, meet the centre line 2.41 / tan 0.62° ahead of the gun.
    const nlohmann::json& now = plane["stations"][0]["current"]["convergence"];
    EXPECT_EQ(now["range_metres"].get<double>(), 223.856);
    EXPECT_EQ(now["elevation_feet"].get<double>(), -7.387);
    EXPECT_EQ(worked["current"]["convergence"]["reason"], "parallel to the centre line");
    EXPECT_TRUE(worked["current"]["convergence"]["range_feet"].is_null());
    EXPECT_EQ(plane["stations"][2]["status"], "flag");
    EXPECT_FALSE(plane["stations"][2].contains("new"));
    EXPECT_EQ(document["files"][1]["ok"], false);
    EXPECT_TRUE(document["files"][1].contains("error"));
}

// Below the line that names the file, the default table fits 100 columns; --wide adds what it leaves out.
// What the file holds now comes first, then what a run would write.
TEST(CommandLine, ReportFitsHundredColumns) {
    TempFolder folder;
    writeIn(folder, "plane.dp",
            "; Guns harmonized by Zerkon - Range: 750.0 ft.  Elevation: 0.0 ft. - Sat Mar  7 18:02:11 2026\r\n" +
                kAircraft);
    for (const bool wide : {false, true}) {
        std::vector<std::string> arguments = {"report", folder.file("plane.dp")};
        if (wide) arguments.push_back("--wide");
        const CliRun result = run(arguments);
        EXPECT_EQ(result.code, 0);
        std::size_t widest = 0;
        for (std::size_t start = result.out.find('\n') + 1, end; start < result.out.size(); start = end + 1) {
            end = result.out.find('\n', start);
            widest = std::max(widest, end - start);
        }
        EXPECT_EQ(widest <= 100, !wide) << result.out;
        EXPECT_EQ(result.out.find("new B") != std::string::npos, wide) << result.out;
        EXPECT_NE(result.out.find(wide ? "-0.31448" : "-0.31448  -0.31559"), std::string::npos) << result.out;
        const std::size_t now = result.out.find("\n  Now: harmonized to range 750.0 ft, elevation 0.0 ft on Sat Mar  "
                                                "7 18:02:11 2026\n  Where its angles converge now:\n");
        EXPECT_LT(now, result.out.find("\n  A run at range 900.0 ft (274.320 m), elevation 1.0 ft (0.305 m), the "
                                       "default, would write:\n"))
            << result.out;
    }
    const nlohmann::json comment = nlohmann::json::parse(run({"report", "--json", folder.file("plane.dp")}).out);
    EXPECT_EQ(comment["files"][0]["now"]["run_comment"]["range_feet"], 750.0);
}

TEST(CommandLine, PlotWritesAPicture) {
    TempFolder folder;
    writeIn(folder, "plane.dp", kAircraft);
    const CliRun result =
        run({"plot", "--station", "1=250m", "--svg", folder.file("plane.svg"), folder.file("plane.dp")});
    EXPECT_EQ(result.code, 0) << result.err;
    const std::string svg = readIn(folder, "plane.svg");
    // What the file holds now, then what a run would write; one station is "station".
    EXPECT_LT(svg.find(">Now (dotted): no run comment<"), svg.find(">A run (solid) at range 900.0 ft (274.32 m)"));
    EXPECT_NE(svg.find(">station 1: range 820 ft (250.0 m)<"), std::string::npos);
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("</svg>\n"), std::string::npos);
    EXPECT_NE(svg.find("Station 2: not aimed, flag not 0 or 1"), std::string::npos);
    EXPECT_NE(svg.find("now: parallel to the centre line"), std::string::npos); // station 1, A and H 0
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
}

} // namespace
