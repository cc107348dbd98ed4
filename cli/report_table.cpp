#include "report_command.hpp"

#include "station_report_text.hpp"
#include "text_format.hpp"
#include "text_table.hpp"

#include <zerkon/convergence.hpp>
#include <zerkon/outcome.hpp>

#include <ostream>
#include <string>

namespace zerkon::cli {
namespace {

// Where each station's fire converges with the angles the file holds now, before the pass.
void writeCurrentConvergence(std::ostream& out, const Preview& preview) {
    using Align = TextTable::Align;
    TextTable table({Align::right, Align::right, Align::right, Align::right, Align::right, Align::left});
    table.addRow({"station", "range ft", "range m", "elevation ft", "elevation m", ""});
    for (const StationReport& station : preview.stations) {
        if (!geometryWasRead(station.aim.verdict)) continue;
        const Convergence now = currentConvergence(station.aim);
        const bool range = now.rangeGap == ConvergenceGap::none, elevation = now.elevationGap == ConvergenceGap::none;
        table.addRow({std::to_string(station.aim.station), range ? fixed(now.rangeFeet(), 1) : "-",
                      range ? fixed(now.rangeMetres, 2) : "-", elevation ? fixed(now.elevationFeet(), 1) : "-",
                      elevation ? fixed(now.elevationMetres, 2) : "-",
                      convergenceGapText(range ? now.elevationGap : now.rangeGap)});
    }
    table.write(out, "  ");
}

bool isDefault(const AimSettings& settings) {
    return settings.rangeFeet == kDefaultRangeFeet && settings.elevationFeet == kDefaultElevationFeet;
}

} // namespace

void writeReportTable(std::ostream& out, const FileReport& report, bool wide) {
    const Preview& preview = report.preview;
    // What the file holds now comes first, and apart from what a run would write: the two are easily taken one for
    // the other.
    out << printable(report.path) << '\n'
        << "  Now: " << (preview.runComment ? "harmonized to " + runCommentText(*preview.runComment) : "no run comment")
        << (preview.stations.empty() ? "; no gun station lines\n" : "\n  Where its angles converge now:\n");
    if (preview.stations.empty()) return;
    writeCurrentConvergence(out, preview);
    out << "  A run at " << settingsText(preview.settings, 3) << (isDefault(preview.settings) ? ", the default," : "")
        << " would write:\n";
    for (const StationSettings& own : preview.stationSettings)
        out << "    " << stationsText(own.stations) << " at " << settingsText(own.settings, 3) << '\n';

    // The default fits 100 columns: the position, the flight and the angles written, with fewer decimals; the
    // wide table has every number as the pass reads and writes it.
    std::vector<TextTable::Align> columns(wide ? 18 : 10, TextTable::Align::right);
    columns[2] = TextTable::Align::left; // the status, or the flag and then the status
    if (wide) columns[3] = TextTable::Align::left;
    TextTable table(std::move(columns));
    if (wide)
        table.addRow({"station", "line", "flag", "status", "X m", "Y m", "Z m", "speed", "D m", "T s", "drop m", "A",
                      "B", "H", "new A", "new B", "new H", "guns"});
    else
        table.addRow({"station", "line", "status", "X m", "Y m", "Z m", "D m", "T s", "new A", "new H"});
    for (const StationReport& station : preview.stations) {
        const StationAim& aim = station.aim;
        const StationText text = stationText(station);
        const bool read = geometryWasRead(aim.verdict);
        std::vector<std::string> row = {aim.verdict != StationVerdict::badStationNumber ? std::to_string(aim.station)
                                                                                        : "?",
                                        std::to_string(station.lineNumber)};
        if (wide)
            row.insert(row.end(), {station.flagText, verdictText(aim.verdict), text.x, text.y, text.z, text.speed,
                                   text.distance, text.flightTime, text.drop, text.a, text.b, text.h, text.newA,
                                   text.newB, text.newH, std::to_string(station.gunLinesCleared)});
        else
            row.insert(row.end(), {verdictText(aim.verdict), read ? fixed(aim.x, 2) : "", read ? fixed(aim.y, 2) : "",
                                   read ? fixed(aim.z, 2) : "", aim.computed ? fixed(aim.distance, 1) : "",
                                   aim.computed ? fixed(aim.flightTime, 3) : "", text.newA, text.newH});
        for (std::string& cell : row)
            if (cell.empty()) cell = "-";
        table.addRow(std::move(row));
    }
    table.write(out, "  ");
    out << "  " << preview.counts.stationsAimed << " of " << plural(preview.stations.size(), "gun station")
        << " would be aimed, " << plural(preview.counts.gunLinesRewritten, "gun line") << " cleared; angles in degrees"
        << (wide ? ", speed as written, T at three quarters of the speed\n" : "; --wide shows more\n");
    for (const StationReport& station : preview.stations) {
        const StationAim& aim = station.aim;
        if (aim.verdict != StationVerdict::aimBeyondLimits) continue;
        out << "  station " << aim.station
            << " would be left as it is: aimed at this range, it would point more than 10 deg off the axis";
        if (aim.shortestRangeFeet > 0)
            out << "; a range of " << fixed(aim.shortestRangeFeet, 1) << " ft or more aims it";
        out << '\n';
    }
}

} // namespace zerkon::cli
