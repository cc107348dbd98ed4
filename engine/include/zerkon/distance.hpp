// Distances as a person writes them, on the command line or in the dialog: "900", "250m", "300 yd", "820.5 Feet".
#pragma once

#include <string>
#include <string_view>

namespace zerkon {

struct DistanceReading {
    float feet = 0.0f;
    std::string error; // empty when the text is a distance; otherwise why not and what to write instead

    bool ok() const { return error.empty(); }
};

// A decimal number with an optional sign and exponent, then optionally a unit: ft, foot, feet; m, metre(s),
// meter(s); yd, yard(s), in any case. Feet when no unit is given. White space may stand around the number and the
// unit. Hexadecimal, inf, nan, a decimal comma and any other trailing text are refused, and so is a distance too
// large for a 32-bit float.
DistanceReading readDistance(std::string_view text);

// A distance greater than zero: the guns converge ahead of the aircraft.
DistanceReading readRange(std::string_view text);

} // namespace zerkon
