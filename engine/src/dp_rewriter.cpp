#include <zerkon/dp_rewriter.hpp>

#include "aiming_rules.hpp"

namespace zerkon {
DpRewriter::DpRewriter(const AimSettings& settings, std::string runComment, std::vector<StationSettings> stations)
    : settings_(settings), runComment_(std::move(runComment)), stationSettings_(std::move(stations)) {}

const DpRewriter::Station* DpRewriter::harmonizedStation() const {
    if (!currentStation_) return nullptr;
    const auto found = stations_.find(*currentStation_);
    return found != stations_.end() && found->second.harmonize ? &found->second : nullptr;
}

LineOutcome DpRewriter::stationLine(std::string_view line, std::string& out) {
    const StationRecord record = readStationRecord(line);
    LineOutcome outcome;
    outcome.action = LineAction::stationJudged;
    outcome.stationLine = stationLinesRead_++;
    outcome.flagText = record.flag.value_or(std::string_view());
    if (record.number) {
        currentStation_ = *record.number;
        Station& station = stations_[*record.number];
        outcome.aim = judgeStation(record, station.harmonize, settingsOf(*record.number, stationSettings_, settings_));
        station.harmonize = outcome.aim.verdict == StationVerdict::aimed;
        station.line = outcome.stationLine;
    }
    writeStationLine(line, record, outcome.aim, out);
    return outcome;
}

LineOutcome DpRewriter::rewriteLine(std::string_view line, std::string& out) {
    // The first rule whose prefix matches wins: "gunstation." is tested before "gun.", and "[GUNSTATIONS]" never
    // matches "[guns." because its sixth character is a letter.
    if (startsWithNoCase(line, kGunStationPrefix)) return stationLine(line, out);
    LineOutcome outcome;
    if (startsWithNoCase(line, kGunSectionPrefix)) {
        currentStation_ = leadingStationNumber(line.substr(kGunSectionPrefix.size()));
    } else if (const Station* station = startsWithNoCase(line, kGunPrefix) ? harmonizedStation() : nullptr) {
        if (rewriteGunLine(line, out)) { // or left as it is
            outcome.action = LineAction::gunLineRewritten;
            outcome.stationLine = station->line;
        }
    } else if (startsWithNoCase(line, kGunStationsHeader)) {
        out.append(runComment_).append(line);
        outcome.action = LineAction::commentInserted;
    } else if (startsWithNoCase(line, kRunCommentPrefix)) {
        outcome.action = LineAction::dropped; // each run replaces the comment of the one before
    }
    return outcome;
}

void PassCounts::add(const LineOutcome& outcome) {
    switch (outcome.action) {
    case LineAction::copied:
        break;
    case LineAction::dropped:
        ++oldCommentsDropped;
        break;
    case LineAction::commentInserted:
        ++headerCommentsWritten;
        break;
    case LineAction::stationJudged:
        if (outcome.aim.verdict == StationVerdict::aimed) ++stationsAimed;
        if (outcome.aim.verdict == StationVerdict::aimBeyondLimits) stationsBeyondLimits.push_back(outcome.aim.station);
        break;
    case LineAction::gunLineRewritten:
        ++gunLinesRewritten;
        break;
    }
}

} // namespace zerkon
