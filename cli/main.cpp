// zerkon-cli: the command-line companion of the Zerkon dialog, over the same engine.
#include "command_line.hpp"
#include "console.hpp"

#include <iostream>

int main(int argc, char** argv) {
    return zerkon::cli::runCommandLine(argc, argv, std::cout, std::cerr, zerkon::cli::standardErrorIsTerminal());
}
