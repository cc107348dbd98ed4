// The number reading and printing checked against the C library's own strtof and printf over many generated texts
// and values: both must agree byte for byte. Hexadecimal and the payload of a NaN are where "%f" is not followed.
#include <zerkon/number_text.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Sequence {
public:
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 32);
    }

private:
    std::uint64_t state_ = 7;
};

void expectReadsLikeStrtofAlone(const std::string& text) {
    char* end = nullptr;
    const float expected = std::strtof(text.c_str(), &end);
    const zerkon::ScannedFloat scanned = zerkon::scanFloat(text);
    const bool found = end != text.c_str();
    ASSERT_EQ(scanned.ok, found) << '"' << text << '"';
    if (!found) return;
    EXPECT_EQ(scanned.length, static_cast<std::size_t>(end - text.c_str())) << '"' << text << '"';
    EXPECT_EQ(0, std::memcmp(&scanned.value, &expected, sizeof expected))
        << '"' << text << "\" read as " << scanned.value << ", strtof gives " << expected;
}

// Alone and at the start of a longer line: what follows a number must not change how it is read.
void expectReadsLikeStrtof(const std::string& text) {
    expectReadsLikeStrtofAlone(text);
    expectReadsLikeStrtofAlone(text + ",0.125,-7,mg_a,hit_small\n");
}

void expectPrintsLikePrintf(double value, int decimals) {
    std::string expected(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%.*f", decimals, value)), '\0');
    std::snprintf(expected.data(), expected.size() + 1, "%.*f", decimals, value);
    std::string printed;
    zerkon::appendFixed(printed, value, decimals);
    EXPECT_EQ(printed, expected) << "%." << decimals << "f of " << value;
}

TEST(NumberTextOracle, ReadsEveryShapeOfDecimalLikeStrtof) {
    const char* const signs[] = {"", "-", "+", " ", "\t-"};
    const char* const wholes[] = {"",         "0",        "00",       "7",        "12",         "835",
                                  "16777215", "16777216", "16777217", "99999999", "4294967296", "123456789012"};
    const char* const fractions[] = {
        "",      ".",        ".5",          ".25",          ".125",          ".0625",     ".410",
        ".3048", ".1234567", ".0000000001", ".12345678901", ".000000000001", ".16777217", ".99999999999"};
    const char* const endings[] = {"", ",", "e", "e5", "E-3", "e+", "x", " ", ".", "-1"};
    for (const char* sign : signs)
        for (const char* whole : wholes)
            for (const char* fraction : fractions)
                for (const char* ending : endings)
                    expectReadsLikeStrtof(std::string(sign) + whole + fraction + ending);
}

// "%f" reads no hexadecimal: "0x10" is 0 followed by "x10". A NaN's text in brackets is read, its payload is not kept.
TEST(NumberText, ReadsNoHexadecimalAndKeepsNoNanPayload) {
    EXPECT_EQ(zerkon::scanFloat("0x10").value, 0.0f);
    EXPECT_EQ(zerkon::scanFloat("0x10").length, 1u);
    const zerkon::ScannedFloat nan = zerkon::scanFloat("NaN(123)");
    EXPECT_TRUE(nan.ok && std::isnan(nan.value));
    EXPECT_EQ(nan.length, 8u);
}

// Units and other words after a number, the words for infinity and NaN, a sign with no number, and a text that lies
// just above a float halfway point, rounded once, straight to float.
TEST(NumberTextOracle, ReadsWordsAndOddTextsLikeStrtof) {
    for (const char* text : {"900 ft", "900ft", "  \t1.5,", "inf", "-INFINITY!", "Infinit", "nan", "-nan", "ft", "- 1",
                             ",1", "+-1", "274.320015"})
        expectReadsLikeStrtof(text);
}

// Too large: infinity; too small: zero, whether the exponent or the count of digits puts them there.
TEST(NumberTextOracle, ReadsNumbersBeyondFloatsRangeLikeStrtof) {
    const std::string zeros(45, '0');
    for (const std::string& text : std::vector<std::string>{
             "1e39", "340282356779733661637539395458142568448", "1" + zeros, "0." + zeros + "1", "0." + zeros + "1e10",
             "7e-46", "8e-46", "1" + zeros + "e-90", "123.4e99999999999999999999", "0.5E-99999999999999999999",
             "10e9223372036854775807", "0.01e-9223372036854775808"}) {
        expectReadsLikeStrtof(text);
        expectReadsLikeStrtof("-" + text);
    }
}

TEST(NumberTextOracle, ReadsGeneratedDecimalsLikeStrtof) {
    Sequence random;
    for (int i = 0; i < 200000; ++i) {
        std::string text = random.next() % 2 ? "-" : "";
        const int digits = 1 + static_cast<int>(random.next() % 12);
        const int point = static_cast<int>(random.next() % (digits + 2)) - 1; // -1: no point
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + random.next() % 10);
        }
        text += ",1";
        expectReadsLikeStrtof(text);
    }
}

TEST(NumberTextOracle, PrintsFloatsLikePrintf) {
    // Exact halves round to even, as printf does: 0.0625 is 0.062 and 0.1875 is 0.188 with three decimals. A float
    // such as 0.3f is printed from its exact value, 0.300000011920928955078125. Doubles that are no float are printed
    // as printf prints them too.
    const double values[] = {0.5,     1.5,       2.5,      -2.5,    0.0625,       -0.0625,       0.1875,
                             0.03125, 1.0000005, 0.0,      -0.0,    -0.0004,      900.0f,        0.3f,
                             0.1,     274.32001, 1e300,    -1e-300, 2147483647.5, 2147483648.25, 123456.0000001,
                             0.125,   2.675,     -0.31448, 0.0005,  1e20,         HUGE_VAL};
    for (const double value : values)
        for (const int decimals : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 120})
            expectPrintsLikePrintf(value, decimals);

    Sequence random;
    for (int i = 0; i < 200000; ++i) {
        std::uint32_t bits = random.next();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        // Mostly the magnitudes of a DP file, and some beyond.
        if (i % 4 != 0)
            value = std::ldexp(std::fmod(std::fabs(value), 1.0f) + 1.0f, static_cast<int>(random.next() % 70) - 35);
        if (random.next() % 2) value = -value;
        expectPrintsLikePrintf(value, static_cast<int>(random.next() % 8));
    }
}

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

} // namespace
