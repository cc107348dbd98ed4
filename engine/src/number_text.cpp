#include <zerkon/number_text.hpp>

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace zerkon {
namespace {

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// from_chars reports a number beyond float's range instead of rounding it; strtof gives infinity for a number too
// large and zero for one too small. Which of the two it was follows from the decimal exponent of the text.
bool isBeyondLargest(std::string_view number) {
    std::size_t i = 0;
    long long leadingDigits = 0; // digits before the point after leading zeros; negative: zeros after the point
    bool seenNonZero = false;
    for (; i < number.size() && isDigit(number[i]); ++i) {
        if (number[i] != '0') seenNonZero = true;
        if (seenNonZero) ++leadingDigits;
    }
    if (i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && isDigit(number[i]); ++i) {
            if (seenNonZero) break;
            if (number[i] != '0')
                seenNonZero = true;
            else
                --leadingDigits;
        }
        while (i < number.size() && isDigit(number[i]))
            ++i;
    }
    long long exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        const char* first = number.data() + i + 1;
        const char* last = number.data() + number.size();
        if (first != last && *first == '+') ++first;
        if (std::from_chars(first, last, exponent).ec == std::errc::result_out_of_range)
            exponent = (first != last && *first == '-') ? -1'000'000'000 : 1'000'000'000;
    }
    return leadingDigits + exponent > 0;
}

} // namespace

ScannedFloat scanFloat(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isCSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // from_chars reads the sign itself only for '-', and would take a second sign after a '+'.
    if (pos == text.size() || text[pos] == '+' || text[pos] == '-') return {};

    const char* first = text.data() + pos;
    const char* last = text.data() + text.size();
    float value = 0.0f;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::invalid_argument) return {};
    if (ec == std::errc::result_out_of_range)
        value = isBeyondLargest(std::string_view(first, static_cast<std::size_t>(end - first)))
                    ? std::numeric_limits<float>::infinity()
                    : 0.0f;
    return {true, negative ? -value : value, static_cast<std::size_t>(end - text.data())};
}

bool scanFloatList(std::string_view text, float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (text.empty() || text.front() != ',') return false;
            text.remove_prefix(1);
        }
        const ScannedFloat number = scanFloat(text);
        if (!number.ok) return false;
        values[i] = number.value;
        text.remove_prefix(number.length);
    }
    return true;
}

void appendFixed(std::string& out, double value, int decimals) {
    char buffer[400]; // the longest double in fixed notation, 309 digits, with its sign, point and decimals
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, result.ptr);
}

} // namespace zerkon
