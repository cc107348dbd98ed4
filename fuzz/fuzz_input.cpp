#include "fuzz_input.hpp"

#include <zerkon/number_text.hpp>

#include <cmath>

namespace zerkon::fuzz {

FuzzInput splitInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    FuzzInput input;
    input.content = all;
    const std::size_t newline = all.substr(0, 64).find('\n');
    if (newline == std::string_view::npos) return input;
    const std::string_view settings = all.substr(0, newline);
    const std::size_t space = settings.find(' ');
    input.rangeText = std::string(settings.substr(0, space));
    input.elevationText = space == std::string_view::npos ? std::string() : std::string(settings.substr(space + 1));
    input.content = all.substr(newline + 1);
    return input;
}

AimSettings settingsOf(const FuzzInput& input) {
    const ScannedFloat range = scanFloat(input.rangeText);
    const ScannedFloat elevation = scanFloat(input.elevationText);
    const bool usable = range.ok && elevation.ok && std::isfinite(range.value) && std::isfinite(elevation.value);
    if (usable) return makeAimSettings(range.value, elevation.value);
    return makeAimSettings(kDefaultRangeFeet, kDefaultElevationFeet);
}

bool holdsNonFiniteText(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (startsWithNoCase(text.substr(i), "inf") || startsWithNoCase(text.substr(i), "nan")) return true;
    return false;
}

} // namespace zerkon::fuzz
