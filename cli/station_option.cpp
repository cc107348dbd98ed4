#include "station_option.hpp"

#include "file_list.hpp"

#include <zerkon/distance.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/number_text.hpp>
#include <zerkon/outcome.hpp>
#include <zerkon/preview.hpp>

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>
#include <set>

namespace zerkon::cli {
namespace {

constexpr const char* kForm = "write LIST=RANGE or LIST=RANGE/ELEVATION, for example 0,1=250m or 2-5=300yd/1ft";

std::optional<StationNumber> stationNumber(std::string_view text) {
    text = trimmed(text);
    StationNumber number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return number;
}

// "0,1" or "2-5" as spans; the error says which item is wrong.
std::vector<StationSpan> readStationList(std::string_view list, std::string& error) {
    std::vector<StationSpan> spans;
    for (std::size_t start = 0; error.empty() && start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view item = list.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        const auto first = stationNumber(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : stationNumber(item.substr(dash + 1));
        if (!first || !last)
            error = quoted(trimmed(item)) + " is not a station number or span such as 3 or 2-5; " + kForm;
        else if (*last < *first)
            error = quoted(trimmed(item)) + " runs backwards; write the lower station first";
        else
            spans.push_back({*first, *last});
        start = comma + 1;
    }
    return spans;
}

// A station named twice among `spans`, as a message; empty when none is.
std::string stationNamedTwice(std::vector<StationSpan> spans) {
    std::sort(spans.begin(), spans.end(), [](const StationSpan& a, const StationSpan& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].first <= spans[i - 1].last)
            return "station " + std::to_string(spans[i].first) + " is listed twice";
        spans[i].last = std::max(spans[i].last, spans[i - 1].last); // what the spans so far reach
    }
    return {};
}

StationOption readOption(std::string_view text) {
    StationOption option;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        option.error = std::string("no \"=\"; ") + kForm;
        return option;
    }
    option.stations = readStationList(text.substr(0, equals), option.error);
    if (!option.error.empty()) return option;
    if (option.error = stationNamedTwice(option.stations); !option.error.empty()) return option;

    const std::string_view settings = text.substr(equals + 1);
    const std::size_t slash = settings.find('/');
    const DistanceReading range = readRange(settings.substr(0, slash));
    if (!range.ok()) {
        option.error = "range " + range.error;
        return option;
    }
    option.rangeFeet = range.feet;
    if (slash != std::string_view::npos) {
        const DistanceReading elevation = readDistance(settings.substr(slash + 1));
        if (!elevation.ok()) option.error = "elevation " + elevation.error;
        option.elevationFeet = elevation.feet;
    }
    return option;
}

} // namespace

StationOption readStationOption(std::string_view text) {
    StationOption option = readOption(text);
    if (!option.error.empty()) option.error = quoted(text) + ": " + option.error;
    return option;
}

int readStationSettings(const std::vector<std::string>& texts, const std::vector<std::string>& files,
                        RunSettings& settings, Console& console) {
    std::vector<StationSpan> every;
    for (const std::string& text : texts) {
        const StationOption option = readStationOption(text);
        every.insert(every.end(), option.stations.begin(), option.stations.end());
        settings.stations.push_back({option.stations, makeAimSettings(option.rangeFeet, option.elevationFeet.value_or(
                                                                                            settings.elevationFeet))});
    }
    if (const std::string twice = stationNamedTwice(std::move(every)); !twice.empty()) {
        console.err << "zerkon-cli: --station: " << twice << '\n';
        return 2;
    }
    if (settings.stations.empty()) return 0;
    int code = 0;
    for (const NamedFile& file : eachFileOnce(files)) {
        if (!file.refusal.empty()) continue;
        const Preview preview = previewHarmonize(file.path, RunSettings{});
        if (!preview.ok()) continue; // said when the file's turn comes
        std::set<StationNumber> numbers;
        for (const StationReport& report : preview.stations)
            if (report.aim.verdict != StationVerdict::badStationNumber) numbers.insert(report.aim.station);
        std::vector<StationSpan> present;
        for (const StationNumber number : numbers)
            present.push_back({number, number});
        for (const StationSettings& entry : settings.stations) {
            if (std::any_of(numbers.begin(), numbers.end(), [&](StationNumber number) { return entry.names(number); }))
                continue;
            console.err << "zerkon-cli: " << printable(file.path) << ": --station " << stationListText(entry.stations)
                        << " names no gun station of the file"
                        << (present.empty() ? std::string(", which has none") : "; it has " + stationListText(present))
                        << '\n';
            code = 2;
        }
    }
    return code;
}

} // namespace zerkon::cli
