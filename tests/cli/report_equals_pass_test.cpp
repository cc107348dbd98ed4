#include "dp_generator.hpp"
#include "memory_file_system.hpp"
#include "test_files.hpp"

#include "station_report_text.hpp"

#include <zerkon/pass.hpp>
#include <zerkon/preview.hpp>

#include <gtest/gtest.h>

#include <map>

namespace {

using zerkon::PassOptions;
using zerkon::Preview;
using zerkon::StationVerdict;
using zerkon::testing::MemoryFileSystem;

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> result(1);
    for (const char c : line) {
        if (c == ',')
            result.emplace_back();
        else
            result.back() += c;
    }
    return result;
}

// For many generated files and settings, the preview that report and --dry-run print is exactly what harmonize
// writes: its changed lines rebuild the harmonized file byte for byte, and its new angles are the file's fields.
TEST(ReportEqualsPass, OnGeneratedFiles) {
    const zerkon::RunSettings settings[] = {
        {900, 1, {}}, {750, 0, {}}, {300, -25.5f, {}}, {1200, 100, {}}, {0.5f, 0, {}}};
    int aimed = 0, notAimed = 0;
    std::map<StationVerdict, int> verdicts;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        const zerkon::RunSettings& setting = settings[seed % 5];
        SCOPED_TRACE("seed " + std::to_string(seed) + ", range " + std::to_string(setting.rangeFeet));
        const std::string original = zerkon::testing::generatedDpFile(seed);
        MemoryFileSystem files;
        files.put("plane.dp", original);
        const PassOptions options{&files, zerkon::testing::fixedClock};

        const Preview preview = zerkon::previewHarmonize("plane.dp", setting, options);
        ASSERT_TRUE(preview.ok()) << preview.reason;
        const zerkon::PassResult pass = zerkon::harmonizeFile("plane.dp", setting, options);
        ASSERT_TRUE(pass.ok()) << pass.reason;
        EXPECT_EQ(preview.backupPath, pass.backupPath);
        EXPECT_EQ(preview.counts.stationsAimed, pass.counts.stationsAimed);
        EXPECT_EQ(preview.counts.gunLinesRewritten, pass.counts.gunLinesRewritten);

        std::vector<std::string> rebuilt = zerkon::testing::linesAsRead(original);
        ASSERT_EQ(rebuilt.size(), preview.lineCount);
        std::map<std::size_t, std::string> rewrittenLine;
        for (const zerkon::LineRewrite& rewrite : preview.rewrites) {
            ASSERT_EQ(rebuilt[rewrite.lineNumber - 1], rewrite.before);
            rebuilt[rewrite.lineNumber - 1] = rewrite.after;
            rewrittenLine[rewrite.lineNumber] = rewrite.after;
        }
        std::string expected;
        for (const std::string& line : rebuilt)
            expected += line;
        ASSERT_EQ(zerkon::testing::withCarriageReturns(expected), files.content("plane.dp"));

        int gunLines = 0;
        for (const zerkon::StationReport& station : preview.stations) {
            ++verdicts[station.aim.verdict];
            gunLines += station.gunLinesCleared;
            const zerkon::cli::StationText text = zerkon::cli::stationText(station);
            if (station.aim.verdict != StationVerdict::aimed) {
                ++notAimed;
                EXPECT_EQ(text.newA, "");
                continue;
            }
            ++aimed;
            ASSERT_EQ(rewrittenLine.count(station.lineNumber), 1u);
            const std::vector<std::string> written = fields(rewrittenLine[station.lineNumber]);
            ASSERT_GE(written.size(), 17u);
            EXPECT_EQ(text.newA, written[14]);
            EXPECT_EQ(text.newB, written[15]);
            EXPECT_EQ(text.newH, written[16]);
            EXPECT_EQ(text.x, written[11]);
            EXPECT_EQ(text.y, written[12]);
            EXPECT_EQ(text.z, written[13]);
        }
        EXPECT_EQ(gunLines, preview.counts.gunLinesRewritten);
    }
    // The generator must reach every verdict, or this test proves less than it claims.
    EXPECT_GT(aimed, 120);
    EXPECT_GT(notAimed, 100);
    for (const StationVerdict verdict :
         {StationVerdict::aimed, StationVerdict::notHarmonized, StationVerdict::angleOutOfLimits,
          StationVerdict::shortRecord, StationVerdict::unreadableField, StationVerdict::angleNotFinite,
          StationVerdict::pointNotAhead, StationVerdict::aimBeyondLimits})
        EXPECT_GT(verdicts[verdict], 0) << static_cast<int>(verdict);
}

TEST(Preview, WritesNothing) {
    MemoryFileSystem files({{"plane.dp", zerkon::testing::generatedDpFile(7)}, {"plane.cdp", "compiled"}});
    const auto before = files.snapshot();
    const Preview preview = zerkon::previewHarmonize("plane.dp", {}, PassOptions{&files, zerkon::testing::fixedClock});
    ASSERT_TRUE(preview.ok());
    EXPECT_EQ(preview.compiledCopies, std::vector<std::string>{"plane.cdp"});
    EXPECT_EQ(files.snapshot(), before);
}

} // namespace
