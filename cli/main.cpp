// zerkon-cli: the command-line companion of the Zerkon dialog, over the same engine.
#include "command_line.hpp"
#include "console.hpp"
#include "interrupts.hpp"

#include <atomic>
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
// its own code page back afterwards, since the console belongs to the shell: at an interrupt too, which ends the
// process without this destructor.
class Utf8Console {
public:
    Utf8Console() {
        previous_ = ::GetConsoleOutputCP();
        ::SetConsoleOutputCP(CP_UTF8);
        ::SetConsoleCtrlHandler(giveBackOnInterrupt, TRUE);
    }
    ~Utf8Console() {
        // What is still buffered is written in UTF-8 first.
        std::cout.flush();
        std::fflush(nullptr);
        giveBack();
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    static void giveBack() {
        if (previous_ != 0) ::SetConsoleOutputCP(previous_);
    }
    static BOOL WINAPI giveBackOnInterrupt(DWORD) {
        giveBack();
        return FALSE;
    }
    static inline std::atomic<UINT> previous_{0};
};
} // namespace
#endif

int main(int argc, char** argv) {
    zerkon::cli::removeTemporaryFileOnInterrupt();
#ifdef _WIN32
    const Utf8Console console;
#endif
    return zerkon::cli::runCommandLine(argc, argv, std::cout, std::cerr, zerkon::cli::standardErrorIsTerminal());
}
