#include <zerkon/convergence.hpp>

#include <cmath>
#include <initializer_list>
#include <utility>

namespace zerkon {
namespace {

// The pass writes H = atan(X / D) × -57.29577951, so D = X / tan(-H / 57.29577951).
ConvergenceGap findRange(const StationAim& station, double& distance) {
    if (station.x == 0.0f) return ConvergenceGap::onCentreLine;
    if (std::fmod(station.h, 180.0f) == 0.0f) return ConvergenceGap::parallel;
    if (std::fabs(station.h) >= 90.0f) return ConvergenceGap::notForward;
    distance = station.x / std::tan(-station.h / kDegreesPerRadian);
    return distance > 0.0 ? ConvergenceGap::none : ConvergenceGap::diverges;
}

// The pass writes A = atan((Y + F) / D) × 57.29577951 with F = -4.877 T² - E and T = 4/3 D / V, so
// E = Y - D tan(A / 57.29577951) - 4.877 T².
ConvergenceGap findElevation(const StationAim& station, double distance, double& elevation) {
    if (station.speed <= 0.0f) return ConvergenceGap::noSpeed;
    if (std::fabs(station.a) >= 90.0f) return ConvergenceGap::notForward;
    elevation =
        station.y - distance * std::tan(station.a / kDegreesPerRadian) - gravityDropOver(distance, station.speed);
    return ConvergenceGap::none;
}

} // namespace

Convergence currentConvergence(const StationAim& station) {
    Convergence convergence;
    for (const float value : {station.x, station.y, station.z, station.a, station.h, station.speed}) {
        if (!std::isfinite(value)) {
            convergence.rangeGap = convergence.elevationGap = ConvergenceGap::notANumber;
            return convergence;
        }
    }
    double distance = 0.0;
    convergence.rangeGap = convergence.elevationGap = findRange(station, distance);
    if (convergence.rangeGap != ConvergenceGap::none) return convergence;
    convergence.rangeMetres = station.z + distance;
    convergence.elevationGap = findElevation(station, distance, convergence.elevationMetres);
    return convergence;
}

const char* convergenceGapText(ConvergenceGap gap) {
    static constexpr std::pair<ConvergenceGap, const char*> kTexts[] = {
        {ConvergenceGap::none, ""},
        {ConvergenceGap::notANumber, "a number is not finite"},
        {ConvergenceGap::onCentreLine, "gun on the centre line"},
        {ConvergenceGap::parallel, "parallel to the centre line"},
        {ConvergenceGap::diverges, "diverges from the centre line"},
        {ConvergenceGap::notForward, "does not fire forward"},
        {ConvergenceGap::noSpeed, "no speed"},
    };
    for (const auto& [key, text] : kTexts)
        if (key == gap) return text;
    return "?";
}

} // namespace zerkon
