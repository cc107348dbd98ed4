// Reading and printing numbers exactly as the DP format expects, the same on every platform and in every locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zerkon {

struct ScannedFloat {
    bool ok = false;        // a number was found
    float value = 0.0f;     // the decimal text rounded once, straight to the nearest 32-bit float
    std::size_t length = 0; // characters taken, leading white space included
};

// Reads a number like C's "%f": leading white space is skipped, then an optional sign and the longest leading
// decimal number ("inf", "infinity" and "nan" in any case too). Hexadecimal is not a number here: "0x10" reads as 0.
ScannedFloat scanFloat(std::string_view text);

// Reads numbers separated by single commas like C's "%f,%f,...": each comma must follow its number directly.
// Returns false, with `values` partly filled, as soon as a number or a comma is missing.
bool scanFloatList(std::string_view text, float* values, int count);

// Appends `value` with `decimals` digits after the point, correctly rounded, like C's "%.Nf" ("-0.000" included).
void appendFixed(std::string& out, double value, int decimals);

// Room that writeFixed needs: the longest double in fixed notation, 309 digits, with its sign, point and up to 80
// decimals.
constexpr std::size_t kMaxFixedLength = 400;

// Writes what appendFixed appends into `out`, which has room for kMaxFixedLength characters; returns the end.
// Decimals from 0 to 80.
char* writeFixed(char* out, double value, int decimals);

} // namespace zerkon
