#include <zerkon/number_text.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace zerkon {
namespace {

// The white space of C's "C" locale, which "%f" skips.
bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// from_chars leaves a number beyond float's range unread, where strtof gives infinity for one too large and zero for
// one too small. Such a number is far from 1 either way, so where its first significant digit stands decides.
bool isAboveOne(std::string_view number) {
    const std::size_t exponentMark = std::min(number.find_first_of("eE"), number.size());
    const std::string_view mantissa = number.substr(0, exponentMark);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant = mantissa.find_first_not_of("0.");
    if (firstSignificant == std::string_view::npos) return false;
    // One more than the power of ten of the first significant digit: 3 for "123.4", -2 for "0.001".
    long long magnitude = point > firstSignificant ? static_cast<long long>(point - firstSignificant)
                                                   : -static_cast<long long>(firstSignificant - point - 1);
    if (exponentMark < number.size()) {
        const char* first = number.data() + exponentMark + 1;
        const char* last = number.data() + number.size();
        if (*first == '+') ++first; // from_chars takes no '+'; what from_chars read as a number has a digit next
        constexpr long long kFarBeyond = 1'000'000'000'000'000; // more than any text has digits, far from overflow
        long long exponent = 0;
        if (std::from_chars(first, last, exponent).ec == std::errc::result_out_of_range)
            exponent = *first == '-' ? -kFarBeyond : kFarBeyond;
        magnitude += std::clamp(exponent, -kFarBeyond, kFarBeyond);
    }
    return magnitude > 0;
}

// Most numbers of a DP file are short decimals such as "850" or "0.300". With at most 7 digits and no exponent, the
// number is an integer below 2^24 over a power of ten up to 10^7, both exact in a float, so one float division rounds
// it correctly. Returns the end of its text, or null for any other number. This halves the cost of a gun line.
const char* readShortDecimal(const char* first, const char* last, float& value) {
    constexpr int kMaxDigits = 7;
    constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    std::uint32_t digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    const char* next = first;
    for (; next != last; ++next) {
        if (*next >= '0' && *next <= '9') {
            if (++count > kMaxDigits) return nullptr;
            digits = digits * 10 + static_cast<std::uint32_t>(*next - '0');
            decimals += point;
        } else if (*next == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (count == 0 || (next != last && (*next == 'e' || *next == 'E'))) return nullptr;
    value = static_cast<float>(digits) / kPowersOfTen[decimals];
    return next;
}

// Reads one number like "%f"; returns the end of its text, or null when there is none (`result` is then untouched).
const char* readNumber(const char* first, const char* last, float& result) {
    while (first != last && isCSpace(*first))
        ++first;
    const bool negative = first != last && *first == '-';
    if (first != last && (*first == '-' || *first == '+')) ++first;
    // from_chars reads a '-' itself, so a second sign must be refused here.
    if (first == last || *first == '-' || *first == '+') return nullptr;
    float value = 0.0f;
    if (const char* end = readShortDecimal(first, last, value)) {
        result = negative ? -value : value;
        return end;
    }
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::invalid_argument) return nullptr;
    if (error == std::errc::result_out_of_range)
        value = isAboveOne(std::string_view(first, static_cast<std::size_t>(end - first)))
                    ? std::numeric_limits<float>::infinity()
                    : 0.0f;
    result = negative ? -value : value;
    return end;
}

constexpr int kMaxExactDecimals = 6;
constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// to_chars prints any double exactly, which costs four times what this takes for the floats of a gun station line;
// without it the pass over a realistic file takes 15% longer against a copy. A float below 2^31, times 10^6 or less,
// is exact in a double (24 + 14 significant bits), so cutting off its fraction and rounding half to even, as printf
// does, is exact too.
bool isSmallFloat(double value, int decimals) {
    return decimals >= 0 && decimals <= kMaxExactDecimals && std::fabs(value) < 2147483648.0 &&
           static_cast<double>(static_cast<float>(value)) == value;
}

char* writeSmallFloat(char* out, double value, int decimals) {
    if (std::signbit(value)) *out++ = '-';
    const std::uint64_t unit = kPowersOfTen[decimals];
    const double scaled = std::fabs(value) * static_cast<double>(unit);
    auto units = static_cast<std::uint64_t>(scaled);
    const double fraction = scaled - static_cast<double>(units);
    if (fraction > 0.5 || (fraction == 0.5 && units % 2 == 1)) ++units;
    out = std::to_chars(out, out + 20, units / unit).ptr;
    if (decimals == 0) return out;
    // One unit more prints as "1" and then the decimals with their leading zeros; the "1" becomes the point.
    char* const point = out;
    out = std::to_chars(point, point + 20, unit + units % unit).ptr;
    *point = '.';
    return out;
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
    if (isSmallFloat(value, decimals)) return writeSmallFloat(out, value, decimals);
    const auto [end, error] = std::to_chars(out, out + kMaxFixedLength, value, std::chars_format::fixed, decimals);
    return error == std::errc{} ? end : out; // too many decimals for the room: nothing rather than garbage
}

void appendFixed(std::string& out, double value, int decimals) {
    const std::size_t start = out.size();
    out.resize(start + kMaxFixedLength + static_cast<std::size_t>(std::max(decimals, 0))); // room for any decimals
    char* const first = out.data() + start;
    const char* end = std::to_chars(first, out.data() + out.size(), value, std::chars_format::fixed, decimals).ptr;
    out.resize(start + static_cast<std::size_t>(end - first));
}

} // namespace zerkon
