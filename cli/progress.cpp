#include "progress.hpp"

#include <zerkon/outcome.hpp>

#include <ostream>

namespace zerkon::cli {
namespace {

constexpr std::size_t kMaxWidth = 79; // never wrap on a classic 80-column console

} // namespace

Progress::Progress(std::ostream& terminal, bool enabled, std::size_t total)
    : terminal_(terminal), enabled_(enabled), total_(total) {}

Progress::~Progress() { clear(); }

void Progress::start(std::size_t index, const std::string& name) {
    if (!enabled_) return;
    const std::string count = std::to_string(total_);
    std::string done = std::to_string(index + 1);
    done.insert(0, count.size() - done.size(), ' ');
    std::string line = "[" + done + "/" + count + "] " + printable(name);
    if (line.size() > kMaxWidth) line = line.substr(0, kMaxWidth - 3) + "...";
    const std::size_t width = line.size();
    if (width < drawnWidth_) line.append(drawnWidth_ - width, ' ');
    terminal_ << '\r' << line << std::flush;
    drawnWidth_ = width;
}

void Progress::clear() {
    if (!enabled_ || drawnWidth_ == 0) return;
    terminal_ << '\r' << std::string(drawnWidth_, ' ') << '\r' << std::flush;
    drawnWidth_ = 0;
}

} // namespace zerkon::cli
