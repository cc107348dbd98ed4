// The line rewriting of a DP file: pure code over lines, with no file in sight.
#pragma once

#include <zerkon/aiming.hpp>

#include <ctime>
#include <string>
#include <string_view>

namespace zerkon {

struct PassCounts {
    int stationsAimed = 0;
    int gunLinesRewritten = 0;
    int headerCommentsWritten = 0;
    int oldCommentsDropped = 0;
};

// The run comment placed above each "[GUNSTATIONS]" line, with its newline.
std::string runComment(const AimSettings& settings, const std::tm& localTime);

// The 24 characters of C's ctime layout, "Wed Jun 30 21:49:08 1993", without the newline.
std::string ctimeText(const std::tm& time);

class DpRewriter {
public:
    DpRewriter(const AimSettings& settings, std::string runComment);

    // Appends the rewritten form of one line to `out`. A line holds its newline unless it is the file's last; a
    // dropped line appends nothing, and a "[GUNSTATIONS]" line appends the run comment before itself.
    void rewriteLine(std::string_view line, std::string& out);

    // True for a line that no rule looks at, so rewriteLine would append it unchanged and remember nothing: most
    // lines of a DP file, section headers and comments included. Its CR LF may still be in place: only the line's
    // beginning is read.
    static bool isPlainLine(std::string_view line) {
        // Every prefix a rule matches begins with one of these (dp_rewriter.cpp checks it beside the prefixes).
        if (line.empty() || (line[0] != 'g' && line[0] != 'G' && line[0] != '[' && line[0] != ';')) return true;
        return !startsWithARulePrefix(line);
    }

    const PassCounts& counts() const { return counts_; }
    const AimState& state() const { return state_; }

    // The verdict on the last gun station line, for callers that report on each station.
    const StationAim& lastStationAim() const { return lastStationAim_; }

private:
    static bool startsWithARulePrefix(std::string_view line);
    bool currentStationIsHarmonized() const;

    AimSettings settings_;
    std::string runComment_;
    AimState state_;
    PassCounts counts_;
    StationAim lastStationAim_;
};

} // namespace zerkon
