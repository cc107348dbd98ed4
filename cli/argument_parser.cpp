#include "argument_parser.hpp"

#include "text_format.hpp"

#include <zerkon/dp_names.hpp>

#include <algorithm>
#include <sstream>

namespace zerkon::cli {
namespace {

constexpr std::size_t kWidth = 79; // a line of 80 columns wraps early on some terminals

// `text` wrapped at word boundaries, every line after the first indented by `indent` spaces; `lead` starts the first
// line and is padded to the indent, or has the text below it when it is too long.
std::string wrapped(const std::string& lead, const std::string& text, std::size_t indent) {
    std::string out = lead;
    std::size_t column = lead.size();
    if (!lead.empty() && column + 2 > indent) {
        out += '\n';
        column = 0;
    }
    std::istringstream words(text);
    bool lineStarted = false;
    for (std::string word; words >> word;) {
        if (lineStarted && column + 1 + word.size() > kWidth) {
            out += '\n';
            column = 0;
            lineStarted = false;
        }
        if (!lineStarted) {
            out.append(indent > column ? indent - column : 0, ' ');
            column = std::max(column, indent);
        } else {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineStarted = true;
    }
    return out + '\n';
}

// Edits (insertion, deletion, change, swap of neighbours) that turn `a` into `b`.
std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// The candidate that `word` is most likely a slip for, empty when none is close.
std::string nearestWord(const std::string& word, const std::vector<std::string>& candidates) {
    std::string best;
    std::size_t bestDistance = 3; // at most two slips
    for (const std::string& candidate : candidates) {
        const std::size_t distance = editDistance(word, candidate);
        const bool beginsIt = word.size() >= 4 && candidate.rfind(word, 0) == 0; // "--ele", "harm"
        if ((distance < bestDistance && distance * 3 <= word.size()) || (beginsIt && best.empty())) {
            best = candidate;
            bestDistance = beginsIt ? 0 : distance;
        }
    }
    return best;
}

// The option or command of that name in `entries`, or null.
template <class Entry> const Entry* named(const std::vector<Entry>& entries, const std::string& name) {
    for (const Entry& entry : entries)
        if (entry.name == name) return &entry;
    return nullptr;
}

bool isHelp(const std::string& argument) {
#ifdef _WIN32
    // "?" is in no Windows file name, so "/?" cannot be one: it asks for help as it does of Windows' own programs.
    if (argument == "/?") return true;
#endif
    return argument == "--help" || argument == "-h";
}

// Whether a word is an option. A lone "-" and anything after "--" are file names, and so is a word that begins with
// "/", even on Windows.
bool isOptionWord(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

ParsedCommandLine finished(int exitCode, const std::string& output, const std::string& message = {}) {
    return {exitCode, output, message, nullptr, {}, {}};
}

ParsedCommandLine failure(const std::string& message, const std::string& helpCommand) {
    return finished(2, {}, message + " (see " + helpCommand + " --help)\n");
}

std::string notACommand(const Program& program, const std::string& word) {
    std::vector<std::string> names;
    for (const Command& command : program.commands)
        names.push_back(command.name);
    const std::string near = nearestWord(word, names);
    return program.name + ": \"" + word + "\" is not a command; " +
           (near.empty() ? "the commands are " + joined(names, " and ") : "did you mean " + near + "?");
}

// An option this command does not have: the one meant, or the commands that have it.
std::string unknownOption(const Program& program, const Command* command, const std::string& name) {
    const std::string noOption = program.name + ": there is no option " + name;
    if (isDpName(name)) return noOption + "; to name a file that starts with a dash, put -- before the file names";
    std::vector<std::string> names = {"--help"};
    if (command)
        for (const Option& option : command->options)
            names.push_back(option.name);
    else
        names.push_back("--version");
    std::vector<std::string> starting; // "-r" for "--range"
    if (name.size() == 2 && name[1] != '-')
        for (const std::string& candidate : names)
            if (candidate[2] == name[1]) starting.push_back(candidate);
    const std::string near = starting.size() == 1 ? starting.front() : nearestWord(name, names);
    if (!near.empty()) return noOption + "; did you mean " + near + "?";
    std::vector<std::string> owners;
    for (const Command& other : program.commands)
        if (named(other.options, name)) owners.push_back(other.name);
    if (owners.empty()) return noOption;
    return program.name + ": " + name + " is an option of " + joined(owners, " and ") +
           (command ? ", not of " + command->name : "; write the command first");
}

std::string usageLine(const Program& program, const Command* command) {
    return "Usage: " + program.name + " " + (command ? command->name : "COMMAND") + " [OPTIONS] " +
           (!command || command->manyFiles ? "FILE..." : "FILE") + "\n";
}

std::string commandList(const Program& program) {
    std::string text = "Commands:\n";
    for (const Command& command : program.commands)
        text += wrapped("  " + command.name, command.summary, 13);
    return text;
}

std::string shortUsage(const Program& program) {
    return usageLine(program, nullptr) + "\n" + commandList(program) + "\n\"" + program.name +
           " help COMMAND\" shows the options of a command, \"" + program.name + " help\" more.\n";
}

// The help of the program (command null) or of one command, in 80 columns.
std::string helpText(const Program& program, const Command* command) {
    if (!command)
        return usageLine(program, nullptr) + "\n" + wrapped({}, program.description, 0) + "\n" + commandList(program) +
               "\nOptions:\n" + wrapped("  -h, --help", "Show this help", 14) +
               wrapped("  --version", "Show the version", 14) + "\n\"" + program.name +
               " help COMMAND\" (or COMMAND --help) shows the options of a command.\n";
    std::string text = usageLine(program, command) + "\n" + wrapped({}, command->description, 0) + "\n" +
                       wrapped(command->manyFiles ? "  FILE..." : "  FILE", command->filesHelp, 24) + "\nOptions:\n";
    for (const Option& option : command->options)
        text += wrapped("  " + option.name + (option.valueName.empty() ? "" : " " + option.valueName), option.help, 24);
    return text + wrapped("  -h, --help", "Show this help", 24);
}

ParsedCommandLine parseCommand(const Program& program, const Command& command,
                               const std::vector<std::string>& arguments) {
    const std::string helpCommand = program.name + " " + command.name;
    const auto refuse = [&](const std::string& why) { return failure(program.name + ": " + why, helpCommand); };
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (isHelp(argument)) return finished(0, helpText(program, &command));
    }
    ParsedCommandLine parsed;
    parsed.command = &command;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (onlyFiles || !isOptionWord(argument)) {
            if (!command.manyFiles && !parsed.files.empty())
                return refuse(command.name + " takes one DP file; \"" + argument + "\" is one too many");
            parsed.files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            onlyFiles = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const Option* option = named(command.options, name);
        if (!option) return failure(unknownOption(program, &command, name), helpCommand);
        std::string value;
        if (option->valueName.empty()) {
            if (equals != std::string::npos) return refuse(name + " takes no value");
        } else if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
            if (value.empty()) return refuse(name + " needs a value");
        } else if (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
            value = arguments[++i];
        } else {
            return refuse(name + " needs a value");
        }
        std::vector<std::string>& values = parsed.options[name];
        if (!values.empty() && !option->valueName.empty() && !option->repeatable)
            return refuse(name + " is given twice; give it once");
        if (option->check)
            if (const std::string why = option->check(value); !why.empty())
                return finished(2, {}, program.name + ": " + name + ": " + why + "\n");
        if (values.empty() || !option->valueName.empty()) values.push_back(value);
    }
    for (const Option& option : command.options)
        if (option.required && !parsed.has(option.name))
            return refuse(command.name + " needs " + option.name + " " + option.valueName);
    if (parsed.files.empty())
        return refuse(command.name + " needs " + (command.manyFiles ? "one or more DP files" : "a DP file"));
    return parsed;
}

} // namespace

const std::vector<std::string>& ParsedCommandLine::values(const std::string& option) const {
    static const std::vector<std::string> none;
    const auto found = options.find(option);
    return found == options.end() ? none : found->second;
}

ParsedCommandLine parseCommandLine(const Program& program, const std::vector<std::string>& arguments) {
    if (arguments.empty()) return finished(2, {}, shortUsage(program));
    const std::string& first = arguments.front();
    if (isHelp(first)) return finished(0, helpText(program, nullptr));
    if (first == "--version") return finished(0, program.version + "\n");
    if (first == "help") {
        if (arguments.size() == 1) return finished(0, helpText(program, nullptr));
        const Command* command = named(program.commands, arguments[1]);
        if (!command) return failure(notACommand(program, arguments[1]), program.name);
        if (arguments.size() > 2)
            return failure(program.name + ": help takes one command; \"" + arguments[2] + "\" is one too many",
                           program.name);
        return finished(0, helpText(program, command));
    }
    if (isOptionWord(first))
        return failure(unknownOption(program, nullptr, first.substr(0, first.find('='))), program.name);
    const Command* command = named(program.commands, first);
    if (!command) return failure(notACommand(program, first), program.name);
    return parseCommand(program, *command, std::vector<std::string>(arguments.begin() + 1, arguments.end()));
}

} // namespace zerkon::cli
