#include <zerkon/number_text.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using zerkon::appendFixed;
using zerkon::scanFloat;

struct ScanCase {
    const char* text;
    bool ok;
    float value;
    std::size_t length;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class ScanFloat : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanFloat, ReadsLikePercentF) {
    const ScanCase& c = GetParam();
    const zerkon::ScannedFloat got = scanFloat(c.text);
    EXPECT_EQ(got.ok, c.ok);
    if (!c.ok) return;
    EXPECT_EQ(got.length, c.length);
    if (std::isnan(c.value)) {
        EXPECT_TRUE(std::isnan(got.value));
    } else {
        EXPECT_EQ(got.value, c.value);
        EXPECT_EQ(std::signbit(got.value), std::signbit(c.value));
    }
}

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanFloat,
    testing::Values(ScanCase{"900", true, 900.0f, 3}, ScanCase{"900 ft", true, 900.0f, 3},
                    ScanCase{"900ft", true, 900.0f, 3}, ScanCase{"  \t1.5,", true, 1.5f, 6},
                    ScanCase{"+2", true, 2.0f, 2}, ScanCase{"-0", true, -0.0f, 2}, ScanCase{".5", true, 0.5f, 2},
                    ScanCase{"5.", true, 5.0f, 2}, ScanCase{"1e3x", true, 1000.0f, 3}, ScanCase{"1e", true, 1.0f, 1},
                    ScanCase{"1e+", true, 1.0f, 1}, ScanCase{"0x10", true, 0.0f, 1}, ScanCase{"inf", true, kInf, 3},
                    ScanCase{"-INFINITY!", true, -kInf, 9}, ScanCase{"Infinit", true, kInf, 3},
                    ScanCase{"nan", true, kNan, 3}, ScanCase{"NaN(123)", true, kNan, 8},
                    // rounded once, straight to float: this text lies just above a float halfway point
                    ScanCase{"274.320015", true, 274.32001f, 10}, ScanCase{"1e39", true, kInf, 4},
                    ScanCase{"-1e400", true, -kInf, 6}, ScanCase{"1e-50", true, 0.0f, 5},
                    ScanCase{"-0.000000000000000000000000000000000000000000000001", true, -0.0f, 51},
                    ScanCase{"", false, 0, 0}, ScanCase{"   ", false, 0, 0}, ScanCase{"ft", false, 0, 0},
                    ScanCase{"+-1", false, 0, 0}, ScanCase{"- 1", false, 0, 0}, ScanCase{".", false, 0, 0},
                    ScanCase{",1", false, 0, 0}));

TEST(ScanFloatList, EachCommaMustFollowItsNumberDirectly) {
    float values[3] = {};
    EXPECT_TRUE(zerkon::scanFloatList("1.5,-0.25,2,rest", values, 3));
    EXPECT_EQ(values[0], 1.5f);
    EXPECT_EQ(values[1], -0.25f);
    EXPECT_EQ(values[2], 2.0f);
    EXPECT_TRUE(zerkon::scanFloatList("1, 2, 3", values, 3)); // white space before a number is skipped
    EXPECT_FALSE(zerkon::scanFloatList("1 ,2,3", values, 3));
    EXPECT_FALSE(zerkon::scanFloatList("1,x,3", values, 3));
    EXPECT_FALSE(zerkon::scanFloatList("1,2", values, 3));
    EXPECT_FALSE(zerkon::scanFloatList("0x1,2,3", values, 3));
}

struct FixedCase {
    double value;
    int decimals;
    const char* text;
};

TEST(AppendFixed, PrintsLikePrintfCorrectlyRounded) {
    const FixedCase cases[] = {
        {-0.31448, 5, "-0.31448"},
        {1.5, 3, "1.500"},
        {-0.0004, 3, "-0.000"},
        {-0.0, 3, "-0.000"},
        {0.0005, 3, "0.001"},
        {0.0625, 3, "0.062"},
        {0.125, 2, "0.12"},
        {900.0f, 1, "900.0"},
        {0.3f, 3, "0.300"},
        {2.675, 2, "2.67"},
        {1e20, 1, "100000000000000000000.0"},
        {std::numeric_limits<double>::infinity(), 3, "inf"},
    };
    for (const FixedCase& c : cases) {
        std::string out = "<";
        appendFixed(out, c.value, c.decimals);
        EXPECT_EQ(out, std::string("<") + c.text) << c.value;
    }
}

} // namespace
