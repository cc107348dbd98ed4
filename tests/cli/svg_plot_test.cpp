#include "memory_file_system.hpp"
#include "test_files.hpp"

#include "svg_plot.hpp"
#include "svg_writer.hpp"

#include <gtest/gtest.h>

#include <regex>

namespace {

zerkon::Preview previewOf(const std::string& dp, const zerkon::RunSettings& settings) {
    zerkon::testing::MemoryFileSystem files;
    files.put("plane.dp", dp);
    return zerkon::previewHarmonize("plane.dp", settings, {&files, zerkon::testing::fixedClock});
}

std::string station(int number, const char* x, const char* y, const char* z, const char* speed = "850") {
    return "gunstation." + std::to_string(number) + "=1,0,0,0," + speed + ",0,0,0,0,0,0," + x + "," + y + "," + z +
           ",0,0,0,x\r\n";
}

struct Shape {
    const char* name;
    std::string dp;
    zerkon::RunSettings settings = {};
};

class PlotShape : public ::testing::TestWithParam<Shape> {};

void PrintTo(const Shape& shape, std::ostream* os) { *os << shape.name; }

// Whatever the aircraft, every coordinate lands on the picture and none is "nan" or "inf".
TEST_P(PlotShape, StaysOnThePicture) {
    const Shape& shape = GetParam();
    const zerkon::Preview preview = previewOf(shape.dp, shape.settings);
    ASSERT_TRUE(preview.ok()) << preview.reason;
    const std::string svg = zerkon::cli::convergencePlotSvg("plane.dp", preview);
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
    ASSERT_GE(svg.size(), 7u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    const std::regex number(R"((?:x|y|cx|cy|x1|y1|x2|y2)="(-?[0-9.]+)\"|(-?[0-9.]+),(-?[0-9.]+) )");
    int checked = 0;
    for (std::sregex_iterator it(svg.begin(), svg.end(), number), end; it != end; ++it)
        for (std::size_t group = 1; group <= 3; ++group)
            if ((*it)[group].matched) {
                const double value = std::stod((*it)[group].str());
                EXPECT_GE(value, 0.0) << it->str();
                EXPECT_LE(value, 1100.0) << it->str();
                ++checked;
            }
    EXPECT_GT(checked, 40);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlotShape,
    ::testing::Values(
        Shape{"NoStationAimed", "[GUNSTATIONS]\r\n"}, Shape{"OneGunOnTheCentreLine", station(0, "0", "0", "0")},
        Shape{"GunBeyondTheRange", station(0, "1", "0.5", "300") + station(1, "-1", "0", "2"), {900, 0, {}}},
        Shape{"HighElevationAndSlowBullets", station(0, "-2", "0", "1", "120"), {3000, 500, {}}},
        Shape{"HugeOffsets", station(0, "1e30", "-1e30", "1e30")},
        // Fire that now converges 80 km ahead, steeply down, beside a station with its own range.
        Shape{"CurrentFireFarOff",
              "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,0,0,45,0,-0.001,x\r\n" + station(1, "-1", "0", "0"),
              {900, 1, {{{{1, 1}}, zerkon::makeAimSettings(3000, 50)}}}},
        Shape{"TenStations", [] {
                  std::string dp;
                  for (int i = 0; i < 10; ++i)
                      dp += station(i, i % 2 ? "1.5" : "-1.5", "0.1", std::to_string(i).c_str());
                  return dp;
              }()}));

} // namespace

namespace {

// As many decimals as the step needs, no more: steps of 0.1 must not print "0.30" for a log10 that rounds up.
TEST(PlotScale, TickLabelsHaveTheDecimalsOfTheirStep) {
    const struct {
        double value, step;
        const char* expected;
    } cases[] = {
        {250, 50, "250"},     {1000, 2000, "1000"},    {4, 2, "4"},
        {0.3, 0.1, "0.3"},    {0.25, 0.05, "0.25"},    {0.5, 0.5, "0.5"},
        {0.02, 0.01, "0.02"}, {0.003, 0.001, "0.003"}, {-1e-17, 0.2, "0.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zerkon::cli::tickLabel(c.value, c.step), c.expected) << c.value << " by " << c.step;
}

TEST(SvgText, IsAlwaysWellFormedXml) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"plain.dp", "plain.dp"},
        {"<a & \"b\">", "&lt;a &amp; &quot;b&quot;&gt;"},
        {"Bf109\xE9.dp", "Bf109?.dp"},                                      // a code page byte, alone
        {"Bf109\xC3\xA9.dp", "Bf109\xC3\xA9.dp"},                           // the same letter in UTF-8
        {"\xE2\x82\xAC \xF0\x9F\x9B\xA9", "\xE2\x82\xAC \xF0\x9F\x9B\xA9"}, // three and four bytes
        {"\xC0\xAF \xED\xA0\x80 \xE2\x82", "?? ??? ??"},                    // overlong, a surrogate, cut short
        {"tab\tbell\x07", "tab\tbell?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zerkon::cli::escaped(c.text), c.expected) << c.text;
}

} // namespace
