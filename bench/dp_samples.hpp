// Generated DP text for the benchmarks: the same bytes for the same mix and size on every run.
#pragma once

#include <cstddef>
#include <string>

namespace zerkon::bench {

enum class Mix {
    realistic, // an aircraft: mostly pass-through lines, a few percent gun station and gun lines
    gunHeavy,  // nothing but gun station lines, each followed by a gun line of its station
};

const char* mixName(Mix mix);

// DP text of at least `size` bytes with CR LF line ends, whole lines only.
std::string generateDpText(Mix mix, std::size_t size);

struct LineCounts {
    std::size_t lines = 0;
    std::size_t gunStationLines = 0;
    std::size_t gunLines = 0;
};

LineCounts countLines(const std::string& text);

// One gun station line of a harmonized station, and a few other lines the handlers see, each with its newline.
extern const char* const kAimedStationLine;
extern const char* const kUnaimedStationLine;
extern const char* const kGunLine;
extern const char* const kPassThroughLine;

} // namespace zerkon::bench
