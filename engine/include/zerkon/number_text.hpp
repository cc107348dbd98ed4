// Reading and printing numbers exactly as the DP format expects, the same on every platform and in every locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zerkon {

// `text` without the white space around it.
std::string_view trimmed(std::string_view text);

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

// Appends `value` with `decimals` digits after the point, correctly rounded, like C's "%.Nf" ("-0.000" included). The
// one printer of numbers: the pass writes the DP file with it and the reports show the same digits.
void appendFixed(std::string& out, double value, int decimals);

} // namespace zerkon
