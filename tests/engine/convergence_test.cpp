#include <zerkon/convergence.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using zerkon::ConvergenceGap;

struct ConvergenceCase {
    const char* name;
    float x, y, z, a, h, speed;
    ConvergenceGap rangeGap, elevationGap;
    double rangeFeet, elevationFeet; // where known
};

void PrintTo(const ConvergenceCase& c, std::ostream* os) { *os << c.name; }

class CurrentConvergence : public testing::TestWithParam<ConvergenceCase> {};

TEST_P(CurrentConvergence, UndoesTheAim) {
    const ConvergenceCase& c = GetParam();
    zerkon::StationAim station;
    station.x = c.x, station.y = c.y, station.z = c.z, station.a = c.a, station.h = c.h, station.speed = c.speed;
    const zerkon::Convergence convergence = zerkon::currentConvergence(station);
    EXPECT_EQ(convergence.rangeGap, c.rangeGap);
    EXPECT_EQ(convergence.elevationGap, c.elevationGap);
    if (c.rangeGap == ConvergenceGap::none) {
        EXPECT_NEAR(convergence.rangeFeet(), c.rangeFeet, 0.1);
    }
    if (c.elevationGap == ConvergenceGap::none) {
        EXPECT_NEAR(convergence.elevationFeet(), c.elevationFeet, 0.1);
    }
}

constexpr auto kNone = ConvergenceGap::none;
const float kNan = std::nanf("");

// The aimed rows are the angles a pass writes for 900 ft and 1 ft, worked out by hand.
INSTANTIATE_TEST_SUITE_P(
    Cases, CurrentConvergence,
    testing::Values(
        ConvergenceCase{"RightGun", 1.5f, -0.3f, 2.0f, -0.31448f, -0.31559f, 850, kNone, kNone, 900, 1},
        ConvergenceCase{"LeftGun", -2.25f, 0.1f, 1.2f, -0.21817f, 0.47200f, 880, kNone, kNone, 900, 1},
        ConvergenceCase{"NoSpeedStillHasARange", 1.5f, -0.3f, 2.0f, -0.31448f, -0.31559f, 0, kNone,
                        ConvergenceGap::noSpeed, 900, 0},
        ConvergenceCase{"OnCentreLine", 0, 0.4f, 2.9f, 0, 0, 880, ConvergenceGap::onCentreLine,
                        ConvergenceGap::onCentreLine, 0, 0},
        ConvergenceCase{"Parallel", 1.5f, 0, 0, 0, 0, 850, ConvergenceGap::parallel, ConvergenceGap::parallel, 0, 0},
        ConvergenceCase{"RearGunParallel", 1.5f, 0, 0, 0, 180, 850, ConvergenceGap::parallel, ConvergenceGap::parallel,
                        0, 0},
        ConvergenceCase{"Diverges", 1.5f, 0, 0, 0, 0.3f, 850, ConvergenceGap::diverges, ConvergenceGap::diverges, 0, 0},
        ConvergenceCase{"Sideways", 1.5f, 0, 0, 0, -90, 850, ConvergenceGap::notForward, ConvergenceGap::notForward, 0,
                        0},
        ConvergenceCase{"Steep", 1.5f, -0.3f, 2.0f, 91, -0.31559f, 850, kNone, ConvergenceGap::notForward, 900, 0},
        ConvergenceCase{"NotANumber", 1.5f, -0.3f, 2.0f, kNan, -0.31559f, 850, ConvergenceGap::notANumber,
                        ConvergenceGap::notANumber, 0, 0}));

} // namespace
