#include "dp_generator.hpp"
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
    using zerkon::makeAimSettings;
    const zerkon::RunSettings settings[] = {
        {900, 1, {}},
        {600, -20, {{{{0, 1}}, makeAimSettings(1000, 2)}, {{{3, 3}, {5, 9}}, makeAimSettings(400, 0)}}},
        {820.2f, 3, {{{{2, 4}}, makeAimSettings(1200, -4)}}},
        {1200, 0, {}}};
    int checked = 0;
    for (unsigned seed = 0; seed <= 100; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        zerkon::testing::MemoryFileSystem files;
        files.put("plane.dp",
                  seed == 0 ? zerkon::testing::readBytes(zerkon::testing::testDataPath("../../examples/kestrel.dp"))
                            : zerkon::testing::generatedDpFile(seed));
        for (const auto& setting : settings) {
            SCOPED_TRACE("range " + std::to_string(setting.rangeFeet));
            const PassOptions options{&files, zerkon::testing::fixedClock};
            const Preview run = zerkon::previewHarmonize("plane.dp", setting, options);
            ASSERT_TRUE(zerkon::harmonizeFile("plane.dp", setting, options).ok());
            const Preview after = zerkon::previewHarmonize("plane.dp", {}, options);
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
                zerkon::AimSettings expected = run.settings;
                for (const zerkon::StationSettings& own : setting.stations)
                    if (own.names(aimed.station)) expected = own.settings;
                const zerkon::Convergence convergence = zerkon::currentConvergence(now);
                ASSERT_EQ(convergence.rangeGap, zerkon::ConvergenceGap::none) << "station line " << i;
                ASSERT_EQ(convergence.elevationGap, zerkon::ConvergenceGap::none) << "station line " << i;
                EXPECT_NEAR(convergence.rangeFeet(), expected.rangeFeet, 0.1) << "station line " << i;
                EXPECT_NEAR(convergence.elevationFeet(), expected.elevationFeet, 0.1) << "station line " << i;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 250);
}

} // namespace
