// Where a command writes: its output, its messages, and whether a person is watching the messages.
#pragma once

#include <zerkon/replace_file.hpp>

#include <iosfwd>

namespace zerkon::cli {

struct Console {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
};

class Progress;

// While it lives, a replacement that waits for another run on its folder says so on `console.err`, in the program's
// voice and on a line of its own: the progress line, when there is one, is wiped first. The notice set before comes
// back after.
class WaitingSaid {
public:
    explicit WaitingSaid(Console& console, Progress* progress = nullptr);
    ~WaitingSaid();
    WaitingSaid(const WaitingSaid&) = delete;
    WaitingSaid& operator=(const WaitingSaid&) = delete;

private:
    FolderWaitNotice previous_;
};

// Whether the process's standard error is a terminal (not a file or a pipe).
bool standardErrorIsTerminal();

} // namespace zerkon::cli
