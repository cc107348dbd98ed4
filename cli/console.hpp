// Where a command writes: its output, its messages, and whether a person is watching the messages.
#pragma once

#include <iosfwd>

namespace zerkon::cli {

struct Console {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
};

// Whether the process's standard error is a terminal (not a file or a pipe).
bool standardErrorIsTerminal();

} // namespace zerkon::cli
