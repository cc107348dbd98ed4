// zerkon-cli: the command-line companion of the Zerkon dialog, over the same engine.
#include "command_line.hpp"
#include "console.hpp"

#include <zerkon/replace_file.hpp>

#include <csignal>
#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <windows.h>

// Windows shells hand wildcards to the program; MinGW-w64's start-up code expands them when this is set.
extern "C" {
int _dowildcard = -1;
}

namespace {
// The manifest makes every name UTF-8 inside the program; the console shows them as UTF-8 too while it runs, and gets
// its own code page back afterwards, since the console belongs to the shell.
class Utf8Console {
public:
    Utf8Console() : previous_(::GetConsoleOutputCP()) { ::SetConsoleOutputCP(CP_UTF8); }
    ~Utf8Console() {
        // What is still buffered is written in UTF-8 first.
        std::cout.flush();
        std::fflush(nullptr);
        if (previous_ != 0) ::SetConsoleOutputCP(previous_);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    UINT previous_;
};
} // namespace
#endif

namespace {

// An interrupted run leaves no temporary file behind: it is removed, and the signal then ends the process as it would
// have.
extern "C" void removeTemporaryAndStop(int signalNumber) {
    if (const char* temporary = zerkon::temporaryFileInProgress()) std::remove(temporary);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, removeTemporaryAndStop);
    std::signal(SIGTERM, removeTemporaryAndStop);
#ifdef SIGHUP
    std::signal(SIGHUP, removeTemporaryAndStop);
#endif
#ifdef _WIN32
    const Utf8Console console;
#endif
    return zerkon::cli::runCommandLine(argc, argv, std::cout, std::cerr, zerkon::cli::standardErrorIsTerminal());
}
