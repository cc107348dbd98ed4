// Where a station's fire converges now: the range and elevation a pass would have aimed it at to give it the angles
// it has.
#pragma once

#include <zerkon/aiming.hpp>

namespace zerkon {

// Why the angles a station has give no convergence point.
enum class ConvergenceGap {
    none,
    notANumber,   // X, A, H or the speed is not a finite number
    onCentreLine, // X is 0: the gun sits on the aircraft's centre line
    parallel,     // H is 0 (or 180): the line of fire never meets the centre line
    diverges,     // the line of fire moves away from the centre line
    notForward,   // the gun fires sideways or backwards (|H| or |A| is 90 or more)
    noSpeed,      // a speed of 0 or less gives no flight time, so no drop and no elevation
};

struct Convergence {
    ConvergenceGap rangeGap = ConvergenceGap::none;     // none: rangeMetres holds the answer
    ConvergenceGap elevationGap = ConvergenceGap::none; // none: elevationMetres holds the answer
    double rangeMetres = 0.0;     // from the aircraft's origin along its axis, like the range of a pass
    double elevationMetres = 0.0; // where the fire arrives at that range, like the elevation of a pass

    double rangeFeet() const { return rangeMetres / kFeetToMetres; }
    double elevationFeet() const { return elevationMetres / kFeetToMetres; }
};

// Undoes the aiming arithmetic on the angles A and H that a station has now (from H and X the range at which its line
// of fire crosses the centre line, then from A, the speed and the drop at that range the elevation), in double so
// that a harmonized file gives back its settings.
Convergence currentConvergence(const StationAim& station);

// The gap in a few words ("gun on the centre line").
const char* convergenceGapText(ConvergenceGap gap);

} // namespace zerkon
