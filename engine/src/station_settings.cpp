#include <zerkon/station_settings.hpp>

namespace zerkon {

bool StationSettings::names(StationNumber station) const {
    for (const StationSpan& span : stations)
        if (station >= span.first && station <= span.last) return true;
    return false;
}

const AimSettings& settingsOf(StationNumber station, const std::vector<StationSettings>& stations,
                              const AimSettings& run) {
    for (const StationSettings& entry : stations)
        if (entry.names(station)) return entry.settings;
    return run;
}

std::string stationListText(const std::vector<StationSpan>& spans) {
    std::string text;
    for (const StationSpan& span : spans) {
        if (!text.empty()) text += ',';
        text += std::to_string(span.first);
        if (span.last != span.first) text += '-' + std::to_string(span.last);
    }
    return text;
}

} // namespace zerkon
