#include <zerkon/number_text.hpp>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace zerkon {
namespace {

// ' ', or one of '\t', '\n', '\v', '\f' and '\r', which follow each other in ASCII.
bool isCSpace(char c) { return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

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

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};

// Plain decimals such as "-2.410" make up nearly every field of a DP file. When the digits fit in a float's 24-bit
// significand and at most ten of them follow the point, both the digits and the power of ten are exact floats, so
// one division rounds exactly once, as from_chars does (rounding through double first cannot differ, since 53 bits
// are more than twice 24 plus 2). Anything else (an exponent, more digits, "inf") is left to from_chars.
bool scanPlainDecimal(const char* first, const char* last, float& value, const char*& end) {
    constexpr std::ptrdiff_t kMaxDigits = 9; // any nine digits fit in 32 bits
    std::uint32_t digits = 0;
    const char* p = first;
    for (; p != last && isDigit(*p); ++p)
        digits = digits * 10 + static_cast<std::uint32_t>(*p - '0');
    std::ptrdiff_t count = p - first;
    int decimals = 0;
    if (p != last && *p == '.') {
        const char* fraction = ++p;
        for (; p != last && isDigit(*p); ++p)
            digits = digits * 10 + static_cast<std::uint32_t>(*p - '0');
        decimals = static_cast<int>(p - fraction);
        count += decimals;
    }
    if (count == 0 || count > kMaxDigits || digits > (1u << 24) || decimals > 10) return false;
    if (p != last && (*p == 'e' || *p == 'E')) return false;
    value = static_cast<float>(static_cast<double>(digits) / kPowersOfTen[decimals]);
    end = p;
    return true;
}

// The numbers scanPlainDecimal leaves: exponents, long digit strings, "inf" and "nan".
const char* readWithFromChars(const char* first, const char* last, float& value) {
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::invalid_argument) return nullptr;
    if (ec == std::errc::result_out_of_range)
        value = isBeyondLargest(std::string_view(first, static_cast<std::size_t>(end - first)))
                    ? std::numeric_limits<float>::infinity()
                    : 0.0f;
    return end;
}

// scanFloat's work, small enough to be inlined into the loop of scanFloatList. Returns the end of the number, or
// null when there is none (then `result` is left as it was).
inline const char* readNumber(const char* first, const char* last, float& result) {
    while (first != last && isCSpace(*first))
        ++first;
    bool negative = false;
    if (first != last) { // without a branch on the sign, which changes from number to number
        negative = *first == '-';
        first += negative || *first == '+' ? 1 : 0;
    }
    // from_chars reads the sign itself only for '-', and would take a second sign after a '+'.
    if (first == last || *first == '+' || *first == '-') return nullptr;
    float value = 0.0f;
    const char* end = nullptr;
    if (!scanPlainDecimal(first, last, value, end)) {
        end = readWithFromChars(first, last, value);
        if (!end) return nullptr;
    }
    result = negative ? -value : value;
    return end;
}

// Below this every float, times 10 to the power of up to kMaxFastDecimals, is an exact integer in a double.
constexpr double kFastFixedLimit = 2147483648.0; // 2^31
constexpr int kMaxFastDecimals = 6;

constexpr std::uint32_t kIntegerPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// "00" to "99": two digits per division by 100.
constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                               "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                               "8081828384858687888990919293949596979899";

// Writes the `count` lowest digits of `number` so that they end at `end`.
void writeDigitsBackwards(char* end, std::uint32_t number, int count) {
    for (; count >= 2; count -= 2, number /= 100) {
        end -= 2;
        end[0] = kDigitPairs[2 * (number % 100)];
        end[1] = kDigitPairs[2 * (number % 100) + 1];
    }
    if (count == 1) end[-1] = static_cast<char>('0' + number % 10);
}

int digitCount(std::uint32_t number) {
    int count = 1;
    for (; number >= 10; number /= 10)
        ++count;
    return count;
}

// Fixed notation of a value that is exactly a float below 2^31: value × 10^decimals needs at most 24 + 14
// significant bits, so it is exact in a double, and rounding it to an integer (half to even, like printf) is exact
// too. The whole part is the value cut to an integer, plus one when the decimals round up to the next unit.
char* formatFloatFixed(char* out, double value, int decimals) {
    *out = '-'; // kept only for a negative value: signs come in no order a branch could learn
    out += std::signbit(value) ? 1 : 0;
    const double magnitude = std::fabs(value);
    const double scaled = magnitude * kPowersOfTen[decimals];
    std::uint64_t rounded = static_cast<std::uint64_t>(scaled);
    const double fraction = scaled - static_cast<double>(rounded);
    if (fraction > 0.5 || (fraction == 0.5 && (rounded & 1) != 0)) ++rounded;
    const std::uint32_t unit = kIntegerPowersOfTen[decimals];
    auto whole = static_cast<std::uint32_t>(magnitude);
    auto decimalDigits = static_cast<std::uint32_t>(rounded - std::uint64_t{whole} * unit); // 0 to unit
    if (decimalDigits == unit) {
        ++whole;
        decimalDigits = 0;
    }
    const int wholeDigits = digitCount(whole);
    writeDigitsBackwards(out + wholeDigits, whole, wholeDigits);
    out += wholeDigits;
    if (decimals == 0) return out;
    *out++ = '.';
    writeDigitsBackwards(out + decimals, decimalDigits, decimals);
    return out + decimals;
}

bool isExactFloat(double value) {
    return std::fabs(value) < kFastFixedLimit && static_cast<double>(static_cast<float>(value)) == value;
}

} // namespace

ScannedFloat scanFloat(std::string_view text) {
    float value = 0.0f;
    const char* end = readNumber(text.data(), text.data() + text.size(), value);
    if (!end) return {};
    return {true, value, static_cast<std::size_t>(end - text.data())};
}

bool scanFloatList(std::string_view text, float* values, int count) {
    const char* next = text.data();
    const char* const last = next + text.size();
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (next == last || *next != ',') return false;
            ++next;
        }
        next = readNumber(next, last, values[i]);
        if (!next) return false;
    }
    return true;
}

char* writeFixed(char* out, double value, int decimals) {
    if (decimals >= 0 && decimals <= kMaxFastDecimals && isExactFloat(value))
        return formatFloatFixed(out, value, decimals);
    const auto [end, error] = std::to_chars(out, out + kMaxFixedLength, value, std::chars_format::fixed, decimals);
    return error == std::errc{} ? end : out; // too many decimals for the room: nothing rather than garbage
}

void appendFixed(std::string& out, double value, int decimals) {
    char buffer[kMaxFixedLength];
    const char* end = writeFixed(buffer, value, decimals);
    if (end == buffer) { // more decimals than writeFixed has room for: a number has at least one digit
        std::string longer(kMaxFixedLength + static_cast<std::size_t>(decimals), '\0');
        const auto written =
            std::to_chars(longer.data(), longer.data() + longer.size(), value, std::chars_format::fixed, decimals);
        out.append(longer.data(), static_cast<std::size_t>(written.ptr - longer.data()));
        return;
    }
    out.append(buffer, static_cast<std::size_t>(end - buffer));
}

} // namespace zerkon
