#include <zerkon/number_text.hpp>

#include <algorithm>
#include <charconv>
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

// Reads one number like "%f"; returns the end of its text, or null when there is none (`result` is then untouched).
const char* readNumber(const char* first, const char* last, float& result) {
    while (first != last && isCSpace(*first))
        ++first;
    const bool negative = first != last && *first == '-';
    if (first != last && (*first == '-' || *first == '+')) ++first;
    // from_chars reads a '-' itself, so a second sign must be refused here.
    if (first == last || *first == '-' || *first == '+') return nullptr;
    float value = 0.0f;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::invalid_argument) return nullptr;
    if (error == std::errc::result_out_of_range)
        value = isAboveOne(std::string_view(first, static_cast<std::size_t>(end - first)))
                    ? std::numeric_limits<float>::infinity()
                    : 0.0f;
    result = negative ? -value : value;
    return end;
}

} // namespace

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isCSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isCSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

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

void appendFixed(std::string& out, double value, int decimals) {
    const std::size_t start = out.size();
    constexpr std::size_t kLongestWholePart = 320; // the largest double has 309 digits, then its sign and point
    out.resize(start + kLongestWholePart + static_cast<std::size_t>(std::max(decimals, 0)));
    char* const first = out.data() + start;
    const char* end = std::to_chars(first, out.data() + out.size(), value, std::chars_format::fixed, decimals).ptr;
    out.resize(start + static_cast<std::size_t>(end - first));
}

} // namespace zerkon
