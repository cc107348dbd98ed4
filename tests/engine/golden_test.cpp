// Each tests/data/rewrite/NAME.dp is harmonized with a fixed clock; the new file must equal its expected file byte for
// byte and the backup must equal the input. Set ZERKON_UPDATE_GOLDEN=1 to rewrite the expected files after a
// deliberate change, then review their diff.
#include <zerkon/distance.hpp>
#include <zerkon/pass.hpp>

#include "test_files.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace zerkon::testing;

// Settings as a person writes them; the stations' own as LIST, RANGE and ELEVATION ("" for the run's).
struct GoldenCase {
    const char* input;    // tests/data/rewrite/INPUT.dp
    const char* expected; // tests/data/rewrite/EXPECTED.expected.dp
    const char* range = "900";
    const char* elevation = "1";
    std::vector<zerkon::StationSpan> stations = {};
    const char* stationRange = "";
    const char* stationElevation = "";
};

zerkon::PassResult harmonizeAsTyped(const std::string& dp, const GoldenCase& c) {
    const zerkon::DistanceReading range = zerkon::readRange(c.range);
    const zerkon::DistanceReading elevation = zerkon::readDistance(c.elevation);
    EXPECT_TRUE(range.ok() && elevation.ok());
    zerkon::RunSettings settings{range.feet, elevation.feet, {}};
    if (!c.stations.empty()) {
        const float stationElevation =
            *c.stationElevation ? zerkon::readDistance(c.stationElevation).feet : elevation.feet;
        settings.stations.push_back(
            {c.stations, zerkon::makeAimSettings(zerkon::readRange(c.stationRange).feet, stationElevation)});
    }
    return zerkon::harmonizeFile(dp, settings, {nullptr, fixedClock});
}

// Named by its expected file: printed as bytes, the case would put pointers into the test's name.
void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.expected; }

class GoldenFile : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFile, MatchesExpectedBytes) {
    const GoldenCase& c = GetParam();
    const std::string input = readBytes(testDataPath(std::string("rewrite/") + c.input + ".dp"));
    TempFolder folder;
    const std::string dp = folder.file(std::string(c.input) + ".dp");
    writeBytes(dp, input);

    const zerkon::PassResult result = harmonizeAsTyped(dp, c);
    ASSERT_TRUE(result.ok()) << result.reason;

    const std::string expectedPath = testDataPath(std::string("rewrite/") + c.expected + ".expected.dp");
    if (std::getenv("ZERKON_UPDATE_GOLDEN")) writeBytes(expectedPath, readBytes(dp));
    EXPECT_EQ(readBytes(dp), readBytes(expectedPath));
    EXPECT_EQ(readBytes(folder.file(std::string(c.input) + "_001.dp")), input);
}

INSTANTIATE_TEST_SUITE_P(
    Rewrite, GoldenFile,
    ::testing::Values(GoldenCase{"worked_examples", "worked_examples"}, GoldenCase{"no_gunstations", "no_gunstations"},
                      GoldenCase{"two_gunstations_headers", "two_gunstations_headers"},
                      GoldenCase{"mixed_case_prefixes", "mixed_case_prefixes"},
                      GoldenCase{"line_endings", "line_endings"}, GoldenCase{"long_lines", "long_lines"},
                      GoldenCase{"station_numbers", "station_numbers"}, GoldenCase{"gun_sections", "gun_sections"},
                      GoldenCase{"short_records", "short_records"}, GoldenCase{"not_finite", "not_finite"},
                      GoldenCase{"aim_limits", "aim_limits"},
                      // Metres and yards become feet once, as the command line reads them.
                      GoldenCase{"worked_examples", "worked_examples_250m_1yd", "250m", "1yd"},
                      GoldenCase{"worked_examples", "worked_examples_300yd_half_m", "300 yd", "0.5 metres"},
                      GoldenCase{"worked_examples", "worked_examples_station_1", "820.5", "2", {{1, 1}}, "250m", "3ft"},
                      GoldenCase{"worked_examples", "worked_examples_stations_0_1", "900", "0.3m", {{0, 1}}, "400yd"}),
    [](const auto& info) { return std::string(info.param.expected); });

} // namespace
