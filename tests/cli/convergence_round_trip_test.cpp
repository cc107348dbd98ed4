#include "generated_dp.hpp"
#include "memory_file_system.hpp"
#include "test_files.hpp"

#include <zerkon/convergence.hpp>
#include <zerkon/pass.hpp>
#include <zerkon/preview.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using zerkon::PassOptions;
using zerkon::Preview;
using zerkon::StationVerdict;

// The angles are written with five decimals, which hold the range to 0.1 ft for a gun 0.5 m or more from the centre
// line up to about 1300 ft.
TEST(ConvergenceRoundTrip, GivesBackTheSettingsOfEachRun) {
    const struct {
        const char* range;
        const char* elevation;
        double rangeFeet, elevationFeet;
    } settings[] = {{"900", "1", 900, 1}, {"600", "-20", 600, -20}, {"820.2", "3", 820.2, 3}, {"1200", "0", 1200, 0}};
    int checked = 0;
    for (unsigned seed = 0; seed <= 100; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        zerkon::testing::MemoryFileSystem files;
        files.put("plane.dp",
                  seed == 0 ? zerkon::testing::readBytes(zerkon::testing::testDataPath("../../examples/kestrel.dp"))
                            : zerkon::testing::generatedDpFile(seed));
        const PassOptions options{&files, zerkon::testing::fixedClock};
        for (const auto& setting : settings) {
            SCOPED_TRACE(std::string("range ") + setting.range);
            const Preview run = zerkon::previewHarmonize("plane.dp", setting.range, setting.elevation, options);
            ASSERT_TRUE(zerkon::harmonizeFile("plane.dp", setting.range, setting.elevation, options).ok());
            const Preview after = zerkon::previewHarmonize("plane.dp", "900", "1", options);
            ASSERT_EQ(after.stations.size(), run.stations.size());
            for (std::size_t i = 0; i < run.stations.size(); ++i) {
                const zerkon::StationAim& aimed = run.stations[i].aim;
                const zerkon::StationAim& now = after.stations[i].aim;
                // Left out: a gun too close to the centre line; a speed of a few metres a second, whose fire falls
                // kilometres, beyond what five decimals of A can tell; and an X with more than three decimals, which
                // the file keeps to three, so its angles were worked out from an X that the file no longer holds.
                if (aimed.verdict != StationVerdict::aimed || aimed.distance <= 0 || std::fabs(aimed.x) < 0.5f ||
                    aimed.speed < 100 || now.x != aimed.x)
                    continue;
                const zerkon::Convergence convergence = zerkon::currentConvergence(now);
                ASSERT_EQ(convergence.rangeGap, zerkon::ConvergenceGap::none) << "station line " << i;
                ASSERT_EQ(convergence.elevationGap, zerkon::ConvergenceGap::none) << "station line " << i;
                EXPECT_NEAR(convergence.rangeFeet(), setting.rangeFeet, 0.1) << "station line " << i;
                EXPECT_NEAR(convergence.elevationFeet(), setting.elevationFeet, 0.1) << "station line " << i;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 250);
}

} // namespace
