// Each tests/data/rewrite/NAME.dp is harmonized at 900 ft and 1 ft with a fixed clock; the new file must equal
// NAME.expected.dp byte for byte and the backup must equal the input. Set ZERKON_UPDATE_GOLDEN=1 to rewrite the
// expected files after a deliberate change, then review their diff.
#include <zerkon/pass.hpp>

#include "test_files.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace zerkon::testing;

class GoldenFile : public ::testing::TestWithParam<const char*> {};

TEST_P(GoldenFile, MatchesExpectedBytes) {
    const std::string name = GetParam();
    const std::string input = readBytes(testDataPath("rewrite/" + name + ".dp"));
    TempFolder folder;
    const std::string dp = folder.file(name + ".dp");
    writeBytes(dp, input);

    zerkon::PassOptions options;
    options.localTime = fixedClock;
    const zerkon::PassResult result = zerkon::harmonizeFile(dp, "900", "1", options);
    ASSERT_TRUE(result.ok()) << result.reason;

    const std::string expectedPath = testDataPath("rewrite/" + name + ".expected.dp");
    if (std::getenv("ZERKON_UPDATE_GOLDEN")) writeBytes(expectedPath, readBytes(dp));
    EXPECT_EQ(readBytes(dp), readBytes(expectedPath));
    EXPECT_EQ(readBytes(folder.file(name + "_001.dp")), input);
}

INSTANTIATE_TEST_SUITE_P(Rewrite, GoldenFile,
                         ::testing::Values("worked_examples", "no_gunstations", "two_gunstations_headers",
                                           "mixed_case_prefixes", "line_endings", "long_lines", "station_numbers",
                                           "gun_sections", "short_records", "not_finite"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
