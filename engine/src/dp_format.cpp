#include <zerkon/dp_format.hpp>

#include <zerkon/number_text.hpp>

#include <cstdio>

namespace zerkon {
namespace {

constexpr std::string_view kByZerkon = " by Zerkon - ";
constexpr std::string_view kStationsLabel = "Stations ";
constexpr std::string_view kRangeLabel = " by Zerkon - Range: ";
constexpr std::string_view kElevationLabel = " ft.  Elevation: ";
constexpr std::string_view kTimeLabel = " ft. - ";

std::string_view between(std::string_view text, std::string_view start, std::string_view end) {
    const std::size_t from = text.find(start);
    if (from == std::string_view::npos) return {};
    text.remove_prefix(from + start.size());
    return text.substr(0, text.find(end));
}

// The 24 characters of C's ctime layout, "Wed Jun 30 21:49:08 1993", without the newline.
std::string ctimeText(const std::tm& time) {
    static constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto pick = [](const char* const* names, int index, int count) {
        return index >= 0 && index < count ? names[index] : "???";
    };
    char text[64];
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", pick(kWeekdays, time.tm_wday, 7),
                  pick(kMonths, time.tm_mon, 12), time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec,
                  1900 + time.tm_year);
    return text;
}

} // namespace

std::string runComment(const AimSettings& settings, const std::tm& localTime) {
    std::string line(kRunCommentPrefix);
    line += kRangeLabel;
    appendFixed(line, settings.rangeFeet, 1);
    line += kElevationLabel;
    appendFixed(line, settings.elevationFeet, 1);
    line += kTimeLabel;
    line += ctimeText(localTime);
    line += '\n';
    return line;
}

std::string stationsComment(const std::vector<StationSettings>& stations) {
    if (stations.empty()) return {};
    std::string line(kRunCommentPrefix);
    line += kByZerkon;
    for (const StationSettings& entry : stations) {
        if (&entry != &stations.front()) line += " - ";
        line += kStationsLabel;
        line += stationListText(entry.stations) + ": Range ";
        appendFixed(line, entry.settings.rangeFeet, 1);
        line += " ft.  Elevation ";
        appendFixed(line, entry.settings.elevationFeet, 1);
        line += " ft.";
    }
    line += '\n';
    return line;
}

std::optional<std::string> parseStationsComment(std::string_view line) {
    if (!startsWithNoCase(line, kRunCommentPrefix)) return std::nullopt;
    line.remove_prefix(kRunCommentPrefix.size());
    if (line.substr(0, kByZerkon.size()) != kByZerkon) return std::nullopt;
    line.remove_prefix(kByZerkon.size());
    if (line.substr(0, kStationsLabel.size()) != kStationsLabel) return std::nullopt;
    return std::string(line.substr(0, line.find_first_of("\r\n")));
}

std::optional<RunRecord> parseRunComment(std::string_view line) {
    if (!startsWithNoCase(line, kRunCommentPrefix)) return std::nullopt;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    RunRecord record;
    record.rangeFeet = between(line, "Range: ", " ft.");
    record.elevationFeet = between(line, "Elevation: ", " ft.");
    const std::size_t dash = line.rfind(kTimeLabel);
    if (dash != std::string_view::npos) record.when = line.substr(dash + kTimeLabel.size());
    return record;
}

} // namespace zerkon
