// zerkon-cli's command line read by its own small parser, so that every message and every help screen speaks in the
// program's voice: commands, options before or after the files, "--" before file names that begin with "-".
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zerkon::cli {

struct Option {
    std::string name;      // "--range"
    std::string valueName; // "DISTANCE"; empty for a flag
    std::string help;
    // Why a value is refused, after the option's name; empty when it is accepted.
    std::function<std::string(const std::string&)> check;
    bool repeatable = false;
    bool required = false;
};

struct Command {
    std::string name;
    std::string summary;     // its line in the list of commands
    std::string description; // the top of its own help
    std::vector<Option> options;
    bool manyFiles = true; // FILE... or one FILE
    std::string filesHelp;
};

struct Program {
    std::string name; // "zerkon-cli"
    std::string description;
    std::string version; // what --version prints
    std::vector<Command> commands;
};

struct ParsedCommandLine {
    // Run `command` when exitCode is negative; otherwise print `output` on standard output and `message` on standard
    // error, and exit with exitCode.
    int exitCode = -1;
    std::string output;
    std::string message;
    const Command* command = nullptr;
    std::map<std::string, std::vector<std::string>> options; // a flag has one empty value
    std::vector<std::string> files;

    bool has(const std::string& option) const { return options.count(option) != 0; }
    const std::vector<std::string>& values(const std::string& option) const; // empty when not given
};

ParsedCommandLine parseCommandLine(const Program& program, const std::vector<std::string>& arguments);

} // namespace zerkon::cli
