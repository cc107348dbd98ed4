// The numbers of one station as the report prints them: the same digits the pass writes into the DP file, from the
// same printer with the same decimals.
#pragma once

#include <zerkon/preview.hpp>

#include <string>

namespace zerkon::cli {

// Whether X, Y, Z, A, B, H and the speed were read from the line (they were not for a short or unreadable one).
bool geometryWasRead(StationVerdict verdict);

struct StationText {
    std::string x, y, z, a, b, h; // three decimals, as the pass rewrites them
    std::string speed;
    std::string distance, flightTime, drop;
    std::string newA, newB, newH; // as the pass writes them, empty for a station that is not aimed
};

StationText stationText(const StationReport& report);

} // namespace zerkon::cli
