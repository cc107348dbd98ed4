#include <zerkon/aiming.hpp>

#include <zerkon/number_text.hpp>

#include <charconv>
#include <cmath>

namespace zerkon {
namespace {

constexpr std::size_t kGunStationPrefixLength = 11; // "gunstation."
constexpr int kGunStationCommas = 17;
constexpr int kGunLineCommas = 6;

constexpr float kFeetToMetres = 0.3048f;
constexpr float kFlightTimeFactor = 1.3333334f; // four thirds: the mean speed over the flight is three quarters of V
constexpr float kDropCoefficient = -4.877f;     // half of g, with the sign of a fall
constexpr float kAngleLimit = 10.0f;
constexpr double kDegreesPerRadian = 57.29577951;

// Positions of the first `count` commas of `line`; returns how many were found.
int findCommas(std::string_view line, std::size_t* positions, int count) {
    int found = 0;
    // Fields are a few characters long: a plain loop beats a library search started for each one.
    for (std::size_t pos = 0; pos < line.size() && found < count; ++pos)
        if (line[pos] == ',') positions[found++] = pos;
    return found;
}

// A decimal number too large for a float reads as infinity, and printed back it would turn a plain number into "inf".
// "inf", "infinity" and "nan" all hold an n; a decimal number never does.
bool overflowed(float value, std::string_view field) {
    if (std::isfinite(value)) return false;
    const std::string_view number = field.substr(0, scanFloat(field).length);
    return number.find_first_of("nN") == std::string_view::npos;
}

// Whether any of the `count` numbers read from the fields after the comma at positions[0] overflowed.
bool anyOverflowed(std::string_view line, const std::size_t* positions, const float* values, int count) {
    for (int i = 0; i < count; ++i) {
        const std::size_t start = positions[i] + 1;
        if (overflowed(values[i], line.substr(start, positions[i + 1] - start))) return true;
    }
    return false;
}

// The rewritten fields of a line, each with the comma before it, gathered so they reach the line in one append.
class Fields {
public:
    void number(double value, int decimals) {
        *end_++ = ',';
        end_ = writeFixed(end_, value, decimals);
    }
    void numbers(const float* values, int count, int decimals) {
        for (int i = 0; i < count; ++i)
            number(values[i], decimals);
    }
    void zero() {
        *end_++ = ',';
        *end_++ = '0';
    }
    std::string_view text() const { return {text_, static_cast<std::size_t>(end_ - text_)}; }

private:
    char text_[6 * (kMaxFixedLength + 1)];
    char* end_ = text_;
};

// The aim at the convergence point. Every named value is stored as a 32-bit float; the operations between the
// stores run in double, so the results are the same on every platform.
void computeAim(StationAim& aim, const AimSettings& settings) {
    aim.distance = static_cast<float>(double{settings.rangeMetres} - aim.z);
    aim.flightTime = static_cast<float>(double{kFlightTimeFactor} * aim.distance / aim.speed);
    aim.fall =
        static_cast<float>(double{kDropCoefficient} * aim.flightTime * aim.flightTime - settings.elevationMetres);
    aim.newA = static_cast<float>(std::atan((double{aim.y} + aim.fall) / aim.distance) * kDegreesPerRadian);
    aim.newH = static_cast<float>(std::atan(double{aim.x} / aim.distance) * -kDegreesPerRadian);
    aim.computed = true;
}

} // namespace

AimSettings makeAimSettings(float rangeFeet, float elevationFeet) {
    AimSettings settings;
    settings.rangeFeet = rangeFeet;
    settings.elevationFeet = elevationFeet;
    settings.rangeMetres = static_cast<float>(double{rangeFeet} * kFeetToMetres);
    settings.elevationMetres = static_cast<float>(double{elevationFeet} * kFeetToMetres);
    return settings;
}

Station& StationTable::operator[](StationNumber number) {
    if (number >= kDirectLimit) return sparse_[number];
    if (number >= direct_.size()) direct_.resize(number + 1);
    return direct_[number];
}

const Station* StationTable::find(StationNumber number) const {
    if (number < direct_.size()) return &direct_[number];
    const auto it = sparse_.find(number);
    return it == sparse_.end() ? nullptr : &it->second;
}

std::optional<StationNumber> leadingStationNumber(std::string_view text) {
    StationNumber number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc{}) return std::nullopt;
    return number;
}

StationAim rewriteGunStationLine(std::string_view line, AimState& state, const AimSettings& settings,
                                 std::string& out) {
    StationAim aim;
    const auto number = leadingStationNumber(line.substr(kGunStationPrefixLength));
    if (!number) {
        out.append(line);
        return aim;
    }
    aim.station = *number;
    state.currentStation = *number;
    Station& station = state.stations[*number];

    // Any first value but 0 or 1 leaves the station as it is; a line without "=" keeps the flag it had.
    if (const auto equals = line.find('='); equals != std::string_view::npos) {
        const char value = equals + 1 < line.size() ? line[equals + 1] : '\0';
        station.harmonize = value == '0' || value == '1';
    }

    std::size_t commas[kGunStationCommas];
    float geometry[6];
    if (findCommas(line, commas, kGunStationCommas) < kGunStationCommas) {
        station.harmonize = false;
        aim.verdict = StationVerdict::shortRecord;
        out.append(line);
        return aim;
    }
    const ScannedFloat speed = scanFloat(line.substr(commas[3] + 1));
    if (!speed.ok || !scanFloatList(line.substr(commas[10] + 1), geometry, 6) ||
        anyOverflowed(line, commas + 10, geometry, 6)) {
        station.harmonize = false;
        aim.verdict = StationVerdict::unreadableField;
        out.append(line);
        return aim;
    }
    station.speed = speed.value;
    aim.speed = speed.value;
    aim.x = geometry[0], aim.y = geometry[1], aim.z = geometry[2];
    aim.a = geometry[3], aim.b = geometry[4], aim.h = geometry[5];

    // A gun pointing further than 10° sideways is not a forward gun and is left alone; exactly 10° still is one.
    const bool forward = aim.h <= kAngleLimit && aim.h >= -kAngleLimit; // false for "nan" too
    if (!station.harmonize) {
        aim.verdict = StationVerdict::notHarmonized;
    } else if (!forward) {
        station.harmonize = false;
        aim.verdict = StationVerdict::angleOutOfLimits;
    } else {
        computeAim(aim, settings);
        // A gun on the centre line exactly at the range, or a speed of 0 or "nan", gives no direction: an infinite
        // flight time would point the gun straight down. Never write such an aim.
        if (std::isfinite(aim.flightTime) && std::isfinite(aim.fall) && std::isfinite(aim.newA) &&
            std::isfinite(aim.newH)) {
            aim.verdict = StationVerdict::aimed;
        } else {
            station.harmonize = false;
            aim.verdict = StationVerdict::angleNotFinite;
        }
    }

    Fields fields;
    if (aim.verdict == StationVerdict::aimed) {
        fields.numbers(geometry, 3, 3);
        fields.number(aim.newA, 5);
        fields.zero();
        fields.number(aim.newH, 5);
    } else {
        fields.numbers(geometry, 6, 3);
    }
    out.append(line.substr(0, commas[10]));
    out.append(fields.text());
    out.append(line.substr(commas[16])); // the comma before field 17 and the rest of the line
    return aim;
}

bool rewriteGunLine(std::string_view line, std::string& out) {
    std::size_t commas[kGunLineCommas];
    float values[3];
    if (findCommas(line, commas, kGunLineCommas) < kGunLineCommas ||
        !scanFloatList(line.substr(commas[0] + 1), values, 3) || anyOverflowed(line, commas, values, 3)) {
        out.append(line);
        return false;
    }
    Fields fields;
    fields.numbers(values, 3, 3);
    fields.zero();
    fields.zero();
    out.append(line.substr(0, commas[0]));
    out.append(fields.text());
    out.append(line.substr(commas[5])); // the comma before field 6 and the rest of the line
    return true;
}

} // namespace zerkon
