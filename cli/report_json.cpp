#include "report_command.hpp"

#include "station_report_text.hpp"
#include "text_format.hpp"

#include <zerkon/convergence.hpp>

#include <nlohmann/json.hpp>

#include <cstdlib>

namespace zerkon::cli {
namespace {

using json = nlohmann::ordered_json; // keys in the order a person reads them

// The value the 32-bit float stands for, without the float's binary tail: 274.32001f gives 274.32001, not
// 274.3200073242188. Not a number and infinities have no JSON form and become null.
json number(float value) { return std::strtod(shortest(value).c_str(), nullptr); }

// A distance worked out in double, to the millimetre or the thousandth of a foot; null where there is none.
json rounded(double value, bool known) { return known ? json(std::strtod(fixed(value, 3).c_str(), nullptr)) : json(); }

json convergenceJson(const Convergence& now) {
    const bool range = now.rangeGap == ConvergenceGap::none, elevation = now.elevationGap == ConvergenceGap::none;
    json convergence = {{"range_feet", rounded(now.rangeFeet(), range)},
                        {"range_metres", rounded(now.rangeMetres, range)},
                        {"elevation_feet", rounded(now.elevationFeet(), elevation)},
                        {"elevation_metres", rounded(now.elevationMetres, elevation)}};
    if (!elevation) convergence["reason"] = convergenceGapText(range ? now.elevationGap : now.rangeGap);
    return convergence;
}

json stationJson(const StationReport& report) {
    const StationAim& aim = report.aim;
    json station = {
        {"station", aim.verdict == StationVerdict::badStationNumber ? json() : json(aim.station)},
        {"line", report.lineNumber},
        {"flag", report.flagText},
        {"eligible", aim.verdict == StationVerdict::aimed},
        {"status", verdictKey(aim.verdict)},
        {"gun_lines_cleared", report.gunLinesCleared},
        {"run_settings",
         {{"range_feet", number(aim.settings.rangeFeet)}, {"elevation_feet", number(aim.settings.elevationFeet)}}}};
    if (geometryWasRead(aim.verdict)) {
        station["x"] = number(aim.x);
        station["y"] = number(aim.y);
        station["z"] = number(aim.z);
        station["speed"] = number(aim.speed);
        station["current"] = {{"a", number(aim.a)},
                              {"b", number(aim.b)},
                              {"h", number(aim.h)},
                              {"convergence", convergenceJson(currentConvergence(aim))}};
    }
    if (aim.computed) {
        station["distance"] = number(aim.distance);
        station["flight_time"] = number(aim.flightTime);
        station["drop"] = number(gravityDrop(aim));
    }
    if (aim.verdict == StationVerdict::aimed) {
        const StationText text = stationText(report);
        station["new"] = {{"a", number(aim.newA)}, {"b", 0}, {"h", number(aim.newH)}};
        station["written"] = {{"a", text.newA}, {"b", text.newB}, {"h", text.newH}}; // the exact text of the file
    }
    if (aim.shortestRangeFeet > 0) station["shortest_range_feet"] = number(aim.shortestRangeFeet);
    return station;
}

json fileJson(const FileReport& report) {
    const Preview& preview = report.preview;
    json file = {{"file", report.path}, {"ok", preview.ok()}};
    if (!preview.ok()) {
        file["error"] = preview.reason;
        return file;
    }
    // What the file says now, then what a run would write: each station's "current" and "new" say the same.
    json now = {{"run_comment", nullptr}};
    if (const std::optional<RunRecord>& run = report.preview.runComment)
        now["run_comment"] = {{"range_feet", std::strtod(run->rangeFeet.c_str(), nullptr)},
                              {"elevation_feet", std::strtod(run->elevationFeet.c_str(), nullptr)},
                              {"when", run->when},
                              {"stations", run->stations}};
    file["now"] = std::move(now);
    const AimSettings& settings = preview.settings;
    file["run"] = {{"range_feet", number(settings.rangeFeet)},
                   {"elevation_feet", number(settings.elevationFeet)},
                   {"range_metres", number(settings.rangeMetres)},
                   {"elevation_metres", number(settings.elevationMetres)},
                   {"backup", preview.backupPath},
                   {"stations_aimed", preview.counts.stationsAimed},
                   {"gun_lines_cleared", preview.counts.gunLinesRewritten}};
    json stations = json::array();
    for (const StationReport& station : preview.stations)
        stations.push_back(stationJson(station));
    file["stations"] = std::move(stations);
    return file;
}

} // namespace

std::string reportJson(const std::vector<FileReport>& reports) {
    json files = json::array();
    for (const FileReport& report : reports)
        files.push_back(fileJson(report));
    // Bytes that are not UTF-8 (a Windows code page path) are replaced rather than failing the whole document.
    return json{{"files", std::move(files)}}.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

} // namespace zerkon::cli
