// The line rewriting of a DP file: pure code over lines, with no file in sight.
#pragma once

#include <zerkon/aiming.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/station_settings.hpp>

#include <cstddef>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zerkon {

// What the rewriter did with one line.
enum class LineAction {
    copied,           // left as it is: nothing appended, the pass writes the line as read
    dropped,          // the comment of an earlier run: nothing appended
    commentInserted,  // a "[GUNSTATIONS]" line, with the run comment appended before it
    stationJudged,    // a gun station line, written as its verdict wants
    gunLineRewritten, // a gun line of a harmonized station, its fields 4 and 5 set to 0
};

struct LineOutcome {
    LineAction action = LineAction::copied;
    // stationJudged and gunLineRewritten: the gun station line concerned, counted from 0 in the order read. A gun
    // line belongs to the last gun station line that named its station.
    std::size_t stationLine = 0;
    StationAim aim;            // stationJudged: the verdict and the numbers written
    std::string_view flagText; // stationJudged: the first value as written after "=", valid as long as the line
};

struct PassCounts {
    int stationsAimed = 0;
    std::vector<StationNumber> stationsBeyondLimits; // left as they were, since their aim would be beyond ±10°
    int gunLinesRewritten = 0;
    int headerCommentsWritten = 0;
    int oldCommentsDropped = 0;

    void add(const LineOutcome& outcome);
};

class DpRewriter {
public:
    // A station named in `stations` is aimed at its own settings, every other at `settings`.
    DpRewriter(const AimSettings& settings, std::string runComment, std::vector<StationSettings> stations = {});

    // Appends the rewritten form of one line to `out` and says what it did. A line holds its newline unless it is
    // the file's last. A line copied as it is and a dropped one append nothing (the copy needs none), and a
    // "[GUNSTATIONS]" line appends the run comment before itself.
    LineOutcome rewriteLine(std::string_view line, std::string& out);

private:
    // What the rewriter remembers of a station from its last gun station line.
    struct Station {
        bool harmonize = false;
        std::size_t line = 0; // counted as LineOutcome::stationLine
    };

    LineOutcome stationLine(std::string_view line, std::string& out);
    const Station* harmonizedStation() const; // the current station, if its gun lines are rewritten

    AimSettings settings_;
    std::string runComment_;
    std::vector<StationSettings> stationSettings_;
    std::map<StationNumber, Station> stations_;
    std::optional<StationNumber> currentStation_ = 0; // none after a "[guns." header that names no station
    std::size_t stationLinesRead_ = 0;
};

} // namespace zerkon
