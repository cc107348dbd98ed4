#include "text_format.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/number_text.hpp>
#include <zerkon/outcome.hpp>

#include <charconv>

namespace zerkon::cli {

std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return printable(slash == std::string::npos ? path : path.substr(slash + 1));
}

bool nameEndsWith(std::string_view path, std::string_view end) {
    return path.size() >= end.size() && equalsNoCase(path.substr(path.size() - end.size()), end);
}

std::string plural(int count, const char* singular, const char* pluralForm) {
    return std::to_string(count) + " " + (count == 1 ? singular : pluralForm);
}

std::string fixed(double value, int decimals) {
    std::string text;
    appendFixed(text, value, decimals);
    return text;
}

std::string shortest(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string stationsText(const std::vector<StationSpan>& spans) {
    const bool one = spans.size() == 1 && spans.front().first == spans.front().last;
    return (one ? "station " : "stations ") + stationListText(spans);
}

std::string runCommentText(const RunRecord& run) {
    std::string text = "range " + run.rangeFeet + " ft, elevation " + run.elevationFeet + " ft on " + run.when;
    if (!run.stations.empty()) text += "; " + run.stations;
    return text;
}

std::string settingsText(const AimSettings& settings, int metreDecimals) {
    return "range " + fixed(settings.rangeFeet, 1) + " ft (" + fixed(settings.rangeMetres, metreDecimals) +
           " m), elevation " + fixed(settings.elevationFeet, 1) + " ft (" +
           fixed(settings.elevationMetres, metreDecimals) + " m)";
}

const char* verdictText(StationVerdict verdict) {
    switch (verdict) {
    case StationVerdict::aimed:
        return "aimed";
    case StationVerdict::notHarmonized:
        return "flag not 0 or 1";
    case StationVerdict::angleOutOfLimits:
        return "|H| > 10 deg";
    case StationVerdict::shortRecord:
        return "short record";
    case StationVerdict::unreadableField:
        return "unreadable field";
    case StationVerdict::angleNotFinite:
        return "angle not finite";
    case StationVerdict::pointNotAhead:
        return "range not ahead";
    case StationVerdict::badStationNumber:
        return "no station number";
    }
    return "?";
}

const char* verdictKey(StationVerdict verdict) {
    switch (verdict) {
    case StationVerdict::aimed:
        return "aimed";
    case StationVerdict::notHarmonized:
        return "flag";
    case StationVerdict::angleOutOfLimits:
        return "angle_out_of_limits";
    case StationVerdict::shortRecord:
        return "short_record";
    case StationVerdict::unreadableField:
        return "unreadable_field";
    case StationVerdict::angleNotFinite:
        return "angle_not_finite";
    case StationVerdict::pointNotAhead:
        return "range_not_ahead";
    case StationVerdict::badStationNumber:
        return "bad_station_number";
    }
    return "unknown";
}

} // namespace zerkon::cli
