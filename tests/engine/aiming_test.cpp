#include <zerkon/dp_rewriter.hpp>

#include "aiming_rules.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>

namespace {

using zerkon::LineAction;
using zerkon::StationVerdict;

const zerkon::AimSettings kDefault = zerkon::makeAimSettings(900.0f, 1.0f);

TEST(AimSettings, ConvertsFeetToMetresAsFloats) {
    EXPECT_EQ(kDefault.rangeMetres, 274.32001f);
    EXPECT_EQ(kDefault.elevationMetres, 0.3048f);
}

// Where a line is written back as it was read.
constexpr const char* kAsRead = nullptr;

struct StationCase {
    const char* name;
    const char* line;
    const char* expected; // or kAsRead
    StationVerdict verdict;
};

class GunStationLine : public testing::TestWithParam<StationCase> {};

void PrintTo(const StationCase& c, std::ostream* os) { *os << c.name; }

TEST_P(GunStationLine, IsRewrittenAsExpected) {
    const StationCase& c = GetParam();
    zerkon::DpRewriter rewriter(kDefault, "");
    std::string out;
    const zerkon::LineOutcome outcome = rewriter.rewriteLine(c.line, out);
    EXPECT_EQ(out, c.expected == kAsRead ? c.line : c.expected);
    EXPECT_EQ(outcome.action, LineAction::stationJudged);
    EXPECT_EQ(outcome.aim.verdict, c.verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GunStationLine,
    testing::Values(
        StationCase{"WorkedExample", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\n",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,-0.31448,0,-0.31559,0\n",
                    StationVerdict::aimed},
        StationCase{"OffsetGun", "gunstation.0=1,0,0,0,880,0,0,0,0,0,0,-2.25,0.1,1.2,0,0,0,0\n",
                    "gunstation.0=1,0,0,0,880,0,0,0,0,0,0,-2.250,0.100,1.200,-0.21817,0,0.47200,0\n",
                    StationVerdict::aimed},
        StationCase{"FlagZeroAlsoAims", "gunstation.3=0,a,b,c,850,d,e,f,g,h,i,1.5,-0.3,2.0,7,8,9,tail,more",
                    "gunstation.3=0,a,b,c,850,d,e,f,g,h,i,1.500,-0.300,2.000,-0.31448,0,-0.31559,tail,more",
                    StationVerdict::aimed},
        StationCase{"FlagTwoIsLeftAlone", "gunstation.0=2,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2,4,5.25,6,\r\n",
                    "gunstation.0=2,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,4.000,5.250,6.000,\r\n",
                    StationVerdict::notHarmonized},
        StationCase{"AngleBeyondTen", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2,0,0,10.5,x\n",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,0.000,0.000,10.500,x\n",
                    StationVerdict::angleOutOfLimits},
        StationCase{"AngleBelowMinusTen", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2,0,0,-12,x\n",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,0.000,0.000,-12.000,x\n",
                    StationVerdict::angleOutOfLimits},
        StationCase{"AngleNan", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2,0,0,nan,x\n",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,0.000,0.000,nan,x\n",
                    StationVerdict::angleOutOfLimits},
        StationCase{"AngleExactlyTenIsAimed", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,10,0\n",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,-0.31448,0,-0.31559,0\n",
                    StationVerdict::aimed},
        StationCase{"AngleExactlyMinusTenIsAimed", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,-10,0\n",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,-0.31448,0,-0.31559,0\n",
                    StationVerdict::aimed},
        // Aimed, these would point more than 10 deg off the axis: written back like a station with no direction.
        StationCase{"AimSidewaysBeyondTen", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,60,-0.3,2.0,0,0,0,x\n",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,60.000,-0.300,2.000,0.000,0.000,0.000,x\n",
                    StationVerdict::aimBeyondLimits},
        StationCase{"AimDownBeyondTen", "gunstation.0=1,0,0,0,85,0,0,0,0,0,0,1.5,-0.3,2.0,1,2,3,x\n",
                    "gunstation.0=1,0,0,0,85,0,0,0,0,0,0,1.500,-0.300,2.000,1.000,2.000,3.000,x\n",
                    StationVerdict::aimBeyondLimits},
        StationCase{"ShortRecordCopied", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0\n", kAsRead,
                    StationVerdict::shortRecord},
        StationCase{"UnreadableSpeedCopied", "gunstation.0=1,0,0,0,fast,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\n", kAsRead,
                    StationVerdict::unreadableField},
        StationCase{"UnreadableAngleCopied", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,?,0,0\n", kAsRead,
                    StationVerdict::unreadableField},
        StationCase{"SpaceBeforeCommaIsUnreadable", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5 ,-0.3,2,0,0,0,0\n",
                    kAsRead, StationVerdict::unreadableField},
        StationCase{"NumberBeyondFloatCopied", "gunstation.0=2,0,0,0,850,0,0,0,0,0,0,1e39,-0.3,2.0,0,0,0,0\n", kAsRead,
                    StationVerdict::unreadableField},
        StationCase{"NegativeNumberBeyondFloatCopied", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1,2,3,0,0,-4e38x,0\n",
                    kAsRead, StationVerdict::unreadableField},
        StationCase{"NoDigitCopied", "gunstation.x=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\n", kAsRead,
                    StationVerdict::badStationNumber},
        StationCase{"GunOnCentreLineAtRangeIsNotAimed", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,0,0,274.32001,1,2,3,x\n",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,0.000,0.000,274.320,1.000,2.000,3.000,x\n",
                    StationVerdict::pointNotAhead},
        StationCase{"GunBeyondTheRangeIsNotTurnedRound", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,300,1,2,3,x\n",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,300.000,1.000,2.000,3.000,x\n",
                    StationVerdict::pointNotAhead},
        StationCase{"NanSpeedIsNotAimed", "gunstation.0=1,0,0,0,nan,0,0,0,0,0,0,1.5,-0.3,2.0,1,2,3,x\n",
                    "gunstation.0=1,0,0,0,nan,0,0,0,0,0,0,1.500,-0.300,2.000,1.000,2.000,3.000,x\n",
                    StationVerdict::angleNotFinite},
        StationCase{"ZeroSpeedIsNotAimedStraightDown", "gunstation.0=1,0,0,0,0,0,0,0,0,0,0,1.5,-0.3,2.0,1,2,3,x\n",
                    "gunstation.0=1,0,0,0,0,0,0,0,0,0,0,1.500,-0.300,2.000,1.000,2.000,3.000,x\n",
                    StationVerdict::angleNotFinite},
        StationCase{"LastLineWithoutNewline", "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,",
                    "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.500,-0.300,2.000,-0.31448,0,-0.31559,",
                    StationVerdict::aimed}),
    [](const testing::TestParamInfo<StationCase>& info) { return std::string(info.param.name); });

// A station at X, Y, Z (metres) with speed 835, judged at a range and elevation in feet.
zerkon::StationAim aimOf(float x, float y, float z, float rangeFeet, float elevationFeet = 1.0f) {
    std::string line = "gunstation.0=1,3,1,350,835,750,0.3,0.25,4,80,12";
    for (const float value : {x, y, z, 0.0f, 0.0f, 0.0f}) {
        char text[32];
        line += ',';
        line.append(text, std::to_chars(text, text + sizeof text, value).ptr);
    }
    zerkon::DpRewriter rewriter(zerkon::makeAimSettings(rangeFeet, elevationFeet), "");
    std::string out;
    return rewriter.rewriteLine(line + ",mg\n", out).aim;
}

// An aim of exactly 10 deg is still a forward gun's, and the next float beyond it is not: X is walked a bit at a time
// to where Q is 10 and then just above, on either side.
TEST(AimLimit, TenDegreesIsAimedAndJustBeyondIsNot) {
    for (const float side : {-1.0f, 1.0f}) {
        SCOPED_TRACE(side);
        const float limit = -10.0f * side;
        float x = static_cast<float>(side * std::tan(10 / zerkon::kDegreesPerRadian) * kDefault.rangeMetres);
        const float outwards = side * 100.0f;
        while (std::fabs(aimOf(x, 0, 0, 900).newH) > 10.0f)
            x = std::nextafter(x, 0.0f);
        while (std::fabs(aimOf(x, 0, 0, 900).newH) < 10.0f)
            x = std::nextafter(x, outwards);
        ASSERT_EQ(aimOf(x, 0, 0, 900).newH, limit);
        EXPECT_EQ(aimOf(x, 0, 0, 900).verdict, StationVerdict::aimed);
        const zerkon::StationAim beyond = aimOf(std::nextafter(x, outwards), 0, 0, 900);
        EXPECT_GT(std::fabs(beyond.newH), 10.0f);
        EXPECT_EQ(beyond.verdict, StationVerdict::aimBeyondLimits);
    }
}

// Where Q is beyond the limit, the shortest range that aims the station is given: it aims it, a tenth of a foot less
// does not. Where P is beyond it (a slow gun, or a range mistyped far too long), a longer range cannot help.
TEST(AimLimit, GivesTheShortestRangeThatAimsAStation) {
    const struct {
        const char* name;
        float x, y, z, rangeFeet, shortestRangeFeet;
    } cases[] = {
        {"kestrel's wing gun at 5 ft", -2.41f, -0.08f, 1.15f, 5.0f, 48.7f},
        {"the other wing at 5 ft", 2.72f, -0.085f, 1.12f, 5.0f, 54.3f},
        {"a gun far out on the wing at 900 ft", 60.0f, 0.0f, 2.0f, 900.0f, 1123.0f},
        {"a mistyped 900650 ft", -2.41f, -0.08f, 1.15f, 900650.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const zerkon::StationAim aim = aimOf(c.x, c.y, c.z, c.rangeFeet);
        EXPECT_EQ(aim.verdict, StationVerdict::aimBeyondLimits);
        EXPECT_FLOAT_EQ(aim.shortestRangeFeet, c.shortestRangeFeet);
        if (c.shortestRangeFeet == 0.0f) continue;
        EXPECT_EQ(aimOf(c.x, c.y, c.z, aim.shortestRangeFeet).verdict, StationVerdict::aimed);
        EXPECT_EQ(aimOf(c.x, c.y, c.z, aim.shortestRangeFeet - 0.1f).verdict, StationVerdict::aimBeyondLimits);
    }
}

// Station lines set the flag their gun lines follow; each gun line is credited to the station line that last named
// its station.
TEST(DpRewriter, SaysWhatItDidWithEachLine) {
    const struct {
        const char* line;
        LineAction action;
        std::size_t stationLine;
    } steps[] = {
        {"gunstation.10=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\n", LineAction::stationJudged, 0},
        {"[GUNS.10]\n", LineAction::copied, 0},
        {"gun.0=1,2,3,4,5,6,x\n", LineAction::gunLineRewritten, 0},
        {"[guns.1]\n", LineAction::copied, 0}, // station 1 is not station 10
        {"gun.0=1,2,3,4,5,6,x\n", LineAction::copied, 0},
        {"gunstation.300=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\n", LineAction::stationJudged, 1},
        {"gunstation.=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\n", LineAction::stationJudged, 2}, // no number
        {"gun.0=1,2,3,4,5,6,x\n", LineAction::gunLineRewritten, 1}, // still station 300
        {"gunstation.300=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\n", LineAction::stationJudged, 3},
        {"gun.0=1,2,3,4,5,6,x\n", LineAction::gunLineRewritten, 3}, // the later of two lines of one station
        {"gunstation.300,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0\n", LineAction::stationJudged, 4}, // keeps its flag
        {"gun.0=1,2,3,4,5,6,x\n", LineAction::gunLineRewritten, 4},
        {"gunstation.300=1,0,0,0,850\n", LineAction::stationJudged, 5}, // a short record clears the flag
        {"gun.0=1,2,3,4,5,6,x\n", LineAction::copied, 0},
        {"[GUNSTATIONS]\n", LineAction::commentInserted, 0},
        {"; guns HARMONIZED earlier\n", LineAction::dropped, 0},
    };
    zerkon::DpRewriter rewriter(kDefault, "; comment\n");
    for (const auto& step : steps) {
        std::string out;
        const zerkon::LineOutcome outcome = rewriter.rewriteLine(step.line, out);
        EXPECT_EQ(outcome.action, step.action) << step.line;
        if (step.action != LineAction::copied) {
            EXPECT_EQ(outcome.stationLine, step.stationLine) << step.line;
        }
    }
}

TEST(GunLine, FieldsFourAndFiveBecomeZero) {
    const struct {
        const char* line;
        const char* expected; // or kAsRead: left as it is, nothing appended
    } cases[] = {
        {"gun.0=1.5,-0.25,2,3.2,1.1,7,x\n", "gun.0=1.5,-0.250,2.000,3.200,0,0,x\n"},
        {"gun.1=a,1,2,3,4,5,\r\n", "gun.1=a,1.000,2.000,3.000,0,0,\r\n"},
        {"gun.1=a,1,2,3,4,5,", "gun.1=a,1.000,2.000,3.000,0,0,"},
        {"gun.1=a,1,2,3,4,5\n", kAsRead},          // five commas: too short
        {"gun.1=a,1,two,3,4,5,6\n", kAsRead},      // field 2 is not a number
        {"gun.1=a,1,2,1e39,4,5,6\n", kAsRead},     // beyond a float: never printed as inf
        {"gun.1=a,1,2,1e39 nan,4,5,6\n", kAsRead}, // the n after the number is no inf
        {"gun.1=a,inf,2,3,4,5,6\n", "gun.1=a,inf,2.000,3.000,0,0,6\n"},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(zerkon::rewriteGunLine(c.line, out), c.expected != kAsRead) << c.line;
        EXPECT_EQ(out, c.expected == kAsRead ? "" : c.expected);
    }
}

} // namespace
