#include <zerkon/distance.hpp>

#include <zerkon/aiming.hpp>
#include <zerkon/dp_format.hpp>
#include <zerkon/number_text.hpp>
#include <zerkon/outcome.hpp>

#include <charconv>
#include <cmath>
#include <limits>

namespace zerkon {
namespace {

constexpr const char* kExamples = "for example 900, 250m or \"300 yd\"";

struct Unit {
    const char* name;
    double feet, per; // one of it is feet/per feet: a foot is 0.3048 m by definition, a yard three feet
};

constexpr double kFoot = kMetresPerFoot;
constexpr Unit kUnits[] = {{"ft", 1, 1},        {"foot", 1, 1},       {"feet", 1, 1},      {"m", 1, kFoot},
                           {"metre", 1, kFoot}, {"metres", 1, kFoot}, {"meter", 1, kFoot}, {"meters", 1, kFoot},
                           {"yd", 3, 1},        {"yard", 3, 1},       {"yards", 3, 1}};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

const Unit* findUnit(std::string_view name) {
    for (const Unit& unit : kUnits)
        if (equalsNoCase(name, unit.name)) return &unit;
    return nullptr;
}

// The length of the decimal number at the start of `text`: digits with at most one point, then an exponent if
// digits follow its "e". No sign: the caller takes it.
std::size_t decimalLength(std::string_view text) {
    std::size_t i = 0;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i)
            ++digits;
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

DistanceReading refused(std::string error) { return {0.0f, std::move(error)}; }

} // namespace

DistanceReading readDistance(std::string_view text) {
    const std::string_view whole = trimmed(text);
    if (whole.empty()) return refused(std::string("needs a value, ") + kExamples);

    std::string_view rest = whole;
    const bool negative = rest.front() == '-';
    if (rest.front() == '-' || rest.front() == '+') rest.remove_prefix(1);
    const std::size_t length = decimalLength(rest);
    const std::string_view number = rest.substr(0, length);
    rest.remove_prefix(length);
    if (length == 0 || (number == "0" && !rest.empty() && (rest.front() == 'x' || rest.front() == 'X')))
        return refused(quoted(whole) + " is not a decimal number; write a distance, " + kExamples);
    if (!rest.empty() && rest.front() == ',' && rest.size() > 1 && isDigit(rest[1])) {
        // "1,000" may group thousands: suggesting "1.000" would turn a thousand feet into one.
        const std::size_t comma = whole.size() - rest.size();
        std::string_view after = rest;
        std::string groups;
        while (after.size() >= 4 && after[0] == ',' && isDigit(after[1]) && isDigit(after[2]) && isDigit(after[3]) &&
               (after.size() == 4 || !isDigit(after[4]))) {
            groups += after.substr(1, 3);
            after.remove_prefix(4);
        }
        const bool wholeNumber = number.find_first_not_of("0123456789") == std::string_view::npos;
        if (!groups.empty() && wholeNumber && (after.empty() || (after.front() != ',' && after.front() != '.'))) {
            const std::string withoutCommas = std::string(whole.substr(0, comma)) + groups + std::string(after);
            return refused(quoted(whole) + " has a comma; write " + quoted(withoutCommas) +
                           " if it groups thousands, or a point for a fraction");
        }
        std::string withPoint(whole);
        withPoint[comma] = '.';
        return refused(quoted(whole) + " has a decimal comma; write a point, as in " + quoted(withPoint));
    }

    const std::string_view unitName = trimmed(rest);
    const Unit* unit = unitName.empty() ? &kUnits[0] : findUnit(unitName);
    if (!unit)
        return refused(quoted(whole) + ": " + quoted(unitName) +
                       " is not a unit; write ft, m or yd after the number, " + kExamples);

    double value = 0.0;
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), value);
    const bool negativeExponent = number.find("e-") != number.npos || number.find("E-") != number.npos;
    if (parsed.ec == std::errc::result_out_of_range && negativeExponent)
        value = 0.0; // too small to tell from none
    else if (parsed.ec != std::errc())
        value = HUGE_VAL;
    const double feet = value * unit->feet / unit->per;
    if (feet > std::numeric_limits<float>::max())
        return refused(quoted(whole) + " is too large for a distance; write at most 3.4e38 ft");
    return {static_cast<float>(negative ? -feet : feet), {}};
}

DistanceReading readRange(std::string_view text) {
    DistanceReading distance = readDistance(text);
    if (distance.ok() && !convergesAhead(distance.feet)) {
        const std::string_view whole = trimmed(text);
        const std::string_view mantissa = whole.substr(0, whole.find_first_of("eE"));
        const bool positive = whole.front() != '-' && mantissa.find_first_of("123456789") != std::string_view::npos;
        distance.error = quoted(whole) + (positive ? " is too small: it becomes 0 in metres" : kNotAhead);
    }
    return distance;
}

} // namespace zerkon
