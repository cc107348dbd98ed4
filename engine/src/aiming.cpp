#include "aiming_rules.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/number_text.hpp>

#include <charconv>
#include <cmath>

namespace zerkon {
namespace {

constexpr int kGunStationCommas = 17;
constexpr int kGunLineCommas = 6;

constexpr float kAngleLimit = 10.0f;

// Positions of the first `count` commas of `line`; returns how many were found.
int findCommas(std::string_view line, std::size_t* positions, int count) {
    int found = 0;
    for (std::size_t pos = 0; pos < line.size() && found < count; ++pos)
        if (line[pos] == ',') positions[found++] = pos;
    return found;
}

// Whether any of the `count` numbers read after the commas at `positions` overflowed: a decimal number too large for a
// float reads as infinity, and printed back it would turn a plain number into "inf". "inf", "infinity" and "nan" all
// hold an n; a decimal number never does.
bool anyOverflowed(std::string_view line, const std::size_t* positions, const float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (std::isfinite(values[i])) continue;
        const std::string_view field = line.substr(positions[i] + 1);
        if (field.substr(0, scanFloat(field).length).find_first_of("nN") == std::string_view::npos) return true;
    }
    return false;
}

// Appends each number with the comma before it.
void appendFields(std::string& out, const float* values, int count, int decimals) {
    for (int i = 0; i < count; ++i) {
        out += ',';
        appendFixed(out, values[i], decimals);
    }
}

// The aim at the convergence point. Every named value is stored as a 32-bit float; the operations between the
// stores run in double, so the results are the same on every platform.
void computeAim(StationAim& aim, const AimSettings& settings) {
    aim.settings = settings;
    aim.distance = static_cast<float>(double{settings.rangeMetres} - aim.z);
    aim.flightTime = static_cast<float>(double{kFlightTimeFactor} * aim.distance / aim.speed);
    aim.fall =
        static_cast<float>(double{kDropCoefficient} * aim.flightTime * aim.flightTime - settings.elevationMetres);
    aim.newA = static_cast<float>(std::atan((double{aim.y} + aim.fall) / aim.distance) * kDegreesPerRadian);
    aim.newH = static_cast<float>(std::atan(double{aim.x} / aim.distance) * -kDegreesPerRadian);
    aim.computed = true;
}

// The limit of a forward gun, for H as read and for the P and Q written; exactly 10° is still forward.
bool withinAngleLimit(float angle) { return angle <= kAngleLimit && angle >= -kAngleLimit; } // false for "nan" too

bool aimsWithinLimits(const StationAim& aim) { return withinAngleLimit(aim.newA) && withinAngleLimit(aim.newH); }

// Q is within the limit from D = |X| / tan(10°) on; float rounding may ask a tenth of a foot more.
float shortestRangeAimed(const StationAim& beyond) {
    const double distance = std::fabs(double{beyond.x}) / std::tan(kAngleLimit / kDegreesPerRadian);
    const double atLimit = (beyond.z + distance) / kMetresPerFoot;
    if (!(atLimit < 1e7)) return 0.0f; // an X of "inf", or a range no one can type
    auto tenths = static_cast<long long>(std::ceil(atLimit * 10));
    for (const long long last = tenths + 100; tenths < last; ++tenths) {
        StationAim trial = beyond;
        const float feet = static_cast<float>(tenths / 10.0);
        computeAim(trial, makeAimSettings(feet, beyond.settings.elevationFeet));
        if (withinAngleLimit(trial.newH)) return aimsWithinLimits(trial) ? feet : 0.0f;
    }
    return 0.0f;
}

} // namespace

float gravityDrop(const StationAim& aim) {
    return static_cast<float>(-double{aim.fall} - aim.settings.elevationMetres);
}

double gravityDropOver(double distance, double speed) {
    const double flightTime = kFlightTimeFactor * distance / speed;
    return -kDropCoefficient * flightTime * flightTime;
}

LineOfFire lineOfFire(const StationAim& aim, double a, double h) {
    return {aim.x, aim.y, std::tan(h / kDegreesPerRadian), -std::tan(a / kDegreesPerRadian), aim.speed};
}

AimSettings makeAimSettings(float rangeFeet, float elevationFeet) {
    AimSettings settings;
    settings.rangeFeet = rangeFeet;
    settings.elevationFeet = elevationFeet;
    settings.rangeMetres = static_cast<float>(double{rangeFeet} * kFeetToMetres);
    settings.elevationMetres = static_cast<float>(double{elevationFeet} * kFeetToMetres);
    return settings;
}

bool convergesAhead(float rangeFeet) { return makeAimSettings(rangeFeet, 0.0f).rangeMetres > 0.0f; }

std::optional<StationNumber> leadingStationNumber(std::string_view text) {
    StationNumber number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc{}) return std::nullopt;
    return number;
}

StationRecord readStationRecord(std::string_view line) {
    StationRecord record;
    record.number = leadingStationNumber(line.substr(kGunStationPrefix.size()));
    if (const auto equals = line.find('='); equals != std::string_view::npos) {
        const std::string_view value = line.substr(equals + 1);
        record.flag = value.substr(0, value.find_first_of(",\r\n"));
    }
    std::size_t commas[kGunStationCommas];
    record.complete = findCommas(line, commas, kGunStationCommas) == kGunStationCommas;
    if (!record.complete) return record;
    record.headEnd = commas[10];
    record.tailStart = commas[16];
    const ScannedFloat speed = scanFloat(line.substr(commas[3] + 1));
    record.speed = speed.value;
    record.readable = speed.ok && scanFloatList(line.substr(commas[10] + 1), record.geometry, 6) &&
                      !anyOverflowed(line, commas + 10, record.geometry, 6);
    return record;
}

StationAim judgeStation(const StationRecord& record, bool flagBefore, const AimSettings& settings) {
    StationAim aim;
    aim.settings = settings;
    if (!record.number) return aim;
    aim.station = *record.number;
    if (!record.complete || !record.readable) {
        aim.verdict = record.complete ? StationVerdict::unreadableField : StationVerdict::shortRecord;
        return aim;
    }
    aim.speed = record.speed;
    aim.x = record.geometry[0], aim.y = record.geometry[1], aim.z = record.geometry[2];
    aim.a = record.geometry[3], aim.b = record.geometry[4], aim.h = record.geometry[5];

    // Any first value but 0 or 1 leaves the station as it is; a line without "=" keeps the flag it had.
    const bool flag = record.flag
                          ? !record.flag->empty() && (record.flag->front() == '0' || record.flag->front() == '1')
                          : flagBefore;
    // A gun pointing further than 10° sideways is not a forward gun and is left alone.
    if (!flag) {
        aim.verdict = StationVerdict::notHarmonized;
    } else if (!withinAngleLimit(aim.h)) {
        aim.verdict = StationVerdict::angleOutOfLimits;
    } else {
        computeAim(aim, settings);
        // A speed of 0 or "nan" gives no direction: an infinite flight time would point the gun straight down. A
        // point at or behind the gun would turn it round. Never write such an aim.
        const bool finite = std::isfinite(aim.flightTime) && std::isfinite(aim.fall) && std::isfinite(aim.newA) &&
                            std::isfinite(aim.newH);
        if (aim.distance <= 0.0f) {
            aim.verdict = StationVerdict::pointNotAhead;
        } else if (!finite) {
            aim.verdict = StationVerdict::angleNotFinite;
        } else if (!aimsWithinLimits(aim)) { // a gun aimed beyond 10° would be no forward gun for the next run
            aim.verdict = StationVerdict::aimBeyondLimits;
            if (!withinAngleLimit(aim.newH)) aim.shortestRangeFeet = shortestRangeAimed(aim);
        } else {
            aim.verdict = StationVerdict::aimed;
        }
    }
    return aim;
}

void writeStationLine(std::string_view line, const StationRecord& record, const StationAim& aim, std::string& out) {
    if (!record.number || !record.complete || !record.readable) {
        out.append(line);
        return;
    }
    out.append(line.substr(0, record.headEnd));
    if (aim.verdict == StationVerdict::aimed) {
        appendFields(out, record.geometry, 3, kFieldDecimals);
        appendFields(out, &aim.newA, 1, kAimDecimals);
        out.append(",0");
        appendFields(out, &aim.newH, 1, kAimDecimals);
    } else {
        appendFields(out, record.geometry, 6, kFieldDecimals);
    }
    out.append(line.substr(record.tailStart)); // the comma before field 17 and the rest of the line
}

bool rewriteGunLine(std::string_view line, std::string& out) {
    std::size_t commas[kGunLineCommas];
    float values[3];
    if (findCommas(line, commas, kGunLineCommas) < kGunLineCommas ||
        !scanFloatList(line.substr(commas[0] + 1), values, 3) || anyOverflowed(line, commas, values, 3)) {
        return false;
    }
    out.append(line.substr(0, commas[0]));
    appendFields(out, values, 3, kFieldDecimals);
    out.append(",0,0");
    out.append(line.substr(commas[5])); // the comma before field 6 and the rest of the line
    return true;
}

} // namespace zerkon
