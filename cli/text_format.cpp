#include "text_format.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/number_text.hpp>
#include <zerkon/outcome.hpp>

#include <charconv>
#include <ostream>

namespace zerkon::cli {

void sayAbout(std::ostream& err, const std::string& file, const std::string& message) {
    err << "zerkon-cli: " << printable(file) << ": " << message << '\n';
}

std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return printable(slash == std::string::npos ? path : path.substr(slash + 1));
}

bool nameEndsWith(std::string_view path, std::string_view end) {
    return path.size() >= end.size() && equalsNoCase(path.substr(path.size() - end.size()), end);
}

std::string plural(long long count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string joined(const std::vector<std::string>& words, const std::string& lastSeparator) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? lastSeparator : ", ") + words[i];
    return text;
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

namespace {

struct VerdictWords {
    StationVerdict verdict;
    const char* text; // for people
    const char* name; // for machines
};

constexpr VerdictWords kVerdicts[] = {
    {StationVerdict::aimed, "aimed", "aimed"},
    {StationVerdict::notHarmonized, "flag not 0 or 1", "flag"},
    {StationVerdict::angleOutOfLimits, "|H| > 10 deg", "angle_out_of_limits"},
    {StationVerdict::shortRecord, "short record", "short_record"},
    {StationVerdict::unreadableField, "unreadable field", "unreadable_field"},
    {StationVerdict::angleNotFinite, "angle not finite", "angle_not_finite"},
    {StationVerdict::pointNotAhead, "range not ahead", "range_not_ahead"},
    {StationVerdict::badStationNumber, "no station number", "bad_station_number"},
    {StationVerdict::aimBeyondLimits, "aim > 10 deg", "aim_beyond_limits"},
};

const VerdictWords& wordsFor(StationVerdict verdict) {
    for (const VerdictWords& words : kVerdicts)
        if (words.verdict == verdict) return words;
    static constexpr VerdictWords kUnknown{StationVerdict::aimed, "?", "unknown"};
    return kUnknown;
}

} // namespace

const char* verdictText(StationVerdict verdict) { return wordsFor(verdict).text; }

const char* verdictKey(StationVerdict verdict) { return wordsFor(verdict).name; }

} // namespace zerkon::cli
