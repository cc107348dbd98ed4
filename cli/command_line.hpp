// The commands of zerkon-cli and their options, in one place.
#pragma once

#include <iosfwd>

namespace zerkon::cli {

// Runs one command line. Exit codes: 0 all went well, 1 a file failed, 2 the command line itself is wrong.
int runCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err, bool errIsTerminal);

} // namespace zerkon::cli
