// One line of progress on a terminal, redrawn in place, for runs over many files.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace zerkon::cli {

class Progress {
public:
    // Draws nothing unless `enabled`: progress is for a person at a terminal, never for a log.
    Progress(std::ostream& terminal, bool enabled, std::size_t total);
    ~Progress();

    void start(std::size_t index, const std::string& name); // index from 0
    void clear();                                           // before any other message on the same terminal

private:
    std::ostream& terminal_;
    bool enabled_;
    std::size_t total_;
    std::size_t drawnWidth_ = 0;
};

} // namespace zerkon::cli
