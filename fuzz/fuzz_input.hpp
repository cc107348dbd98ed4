// How a fuzz input is read: a first line with the range and elevation texts, then the DP file's bytes.
#pragma once

#include <zerkon/dp_format.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zerkon::fuzz {

struct FuzzInput {
    std::string rangeText = kDefaultRangeText;
    std::string elevationText = kDefaultElevationText;
    std::string_view content; // the DP file as it sits on disk
};

// "RANGE ELEVATION\n" within the first 64 bytes; without it the whole input is the file and the settings are the
// dialog's defaults.
FuzzInput splitInput(const std::uint8_t* data, std::size_t size);

// The settings as the pass would derive them; texts that hold no finite number fall back to the defaults, since the
// pass refuses those before it reads any line.
AimSettings settingsOf(const FuzzInput& input);

// "inf" or "nan" in any case.
bool holdsNonFiniteText(std::string_view text);

} // namespace zerkon::fuzz
