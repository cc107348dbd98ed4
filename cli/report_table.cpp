#include "report_command.hpp"

#include "station_report_text.hpp"
#include "text_format.hpp"
#include "text_table.hpp"

#include <ostream>

namespace zerkon::cli {

void writeReportTable(std::ostream& out, const FileReport& report) {
    const Preview& preview = report.preview;
    const AimSettings& settings = preview.settings;
    out << report.path << ": range " << fixed(settings.rangeFeet, 1) << " ft (" << fixed(settings.rangeMetres, 3)
        << " m), elevation " << fixed(settings.elevationFeet, 1) << " ft (" << fixed(settings.elevationMetres, 3)
        << " m)\n";
    if (preview.stations.empty()) {
        out << "  no gun station lines\n";
        return;
    }

    using Align = TextTable::Align;
    TextTable table({Align::right, Align::right, Align::left, Align::left, Align::right, Align::right, Align::right,
                     Align::right, Align::right, Align::right, Align::right, Align::right, Align::right, Align::right,
                     Align::right, Align::right, Align::right, Align::right});
    table.addRow({"station", "line", "flag", "status", "X m", "Y m", "Z m", "speed", "D m", "T s", "drop m", "A", "B",
                  "H", "new A", "new B", "new H", "guns"});
    const auto orDash = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    for (const StationReport& station : preview.stations) {
        const StationText text = stationText(station);
        const bool numbered = station.aim.verdict != StationVerdict::badStationNumber;
        table.addRow({numbered ? std::to_string(station.aim.station) : "?", std::to_string(station.lineNumber),
                      orDash(station.flagText), verdictText(station.aim.verdict), orDash(text.x), orDash(text.y),
                      orDash(text.z), orDash(text.speed), orDash(text.distance), orDash(text.flightTime),
                      orDash(text.drop), orDash(text.a), orDash(text.b), orDash(text.h), orDash(text.newA),
                      orDash(text.newB), orDash(text.newH), std::to_string(station.gunLinesCleared)});
    }
    table.write(out, "  ");
    out << "  " << preview.counts.stationsAimed << " of "
        << plural(static_cast<int>(preview.stations.size()), "gun station", "gun stations") << " aimed, "
        << plural(preview.counts.gunLinesRewritten, "gun line", "gun lines")
        << " cleared; angles in degrees, speed as written, T at three quarters of the speed\n";
}

} // namespace zerkon::cli
