// The aiming rules: where a gun station's fire converges, and the physics the verdict on each station rests on.
#pragma once

#include <cstdint>

namespace zerkon {

using StationNumber = std::uint32_t;

// The constants of the aiming arithmetic, 32-bit floats where the pass stores 32-bit floats.
constexpr double kMetresPerFoot = 0.3048; // by definition
constexpr float kFeetToMetres = static_cast<float>(kMetresPerFoot);
constexpr float kFlightTimeFactor = 1.3333334f; // four thirds: the mean speed over the flight is three quarters of V
constexpr float kDropCoefficient = -4.877f;     // half of g, with the sign of a fall
constexpr double kDegreesPerRadian = 57.29577951;

// The decimals the pass writes: three for the numbers of a record it rewrites, five for the angles it aims.
constexpr int kFieldDecimals = 3;
constexpr int kAimDecimals = 5;

// The convergence point. Every value is a 32-bit float, as the aiming arithmetic requires.
struct AimSettings {
    float rangeFeet = 0.0f;
    float elevationFeet = 0.0f;
    float rangeMetres = 0.0f;     // R
    float elevationMetres = 0.0f; // E
};

AimSettings makeAimSettings(float rangeFeet, float elevationFeet);

// Whether a range is still greater than zero once in metres: the guns converge ahead of the aircraft.
bool convergesAhead(float rangeFeet);
// What is said after a range that does not.
constexpr const char* kNotAhead = " must be greater than zero: the guns converge ahead of the aircraft";

// Why a gun station line came out as it did.
enum class StationVerdict {
    aimed,
    notHarmonized,    // its flag is not set (the value after "=" is not 0 or 1)
    angleOutOfLimits, // H beyond ±10°, or not a number
    shortRecord,      // fewer than 17 commas: copied unchanged
    unreadableField,  // the speed or one of X, Y, Z, A, B, H is not a number: copied unchanged
    angleNotFinite,   // the flight time or the aim came out infinite or not a number (a speed of 0 or "nan")
    pointNotAhead,    // the convergence point is not ahead of the gun (D <= 0): the gun is at or beyond the range
    badStationNumber, // no station digits after "gunstation.": copied unchanged, state untouched
    aimBeyondLimits,  // P or Q would be beyond ±10°, which the next run would not take for a forward gun
};

// Everything the aiming rules found out about one gun station line; the numbers are the ones the pass writes.
struct StationAim {
    StationVerdict verdict = StationVerdict::badStationNumber;
    StationNumber station = 0;
    AimSettings settings; // the convergence point it is judged against: the run's, or its own
    float speed = 0.0f;   // V
    float x = 0, y = 0, z = 0, a = 0, b = 0, h = 0;
    float distance = 0.0f;          // D, metres along the aircraft's axis to the convergence range
    float flightTime = 0.0f;        // T, seconds at three quarters of V
    float fall = 0.0f;              // F, drop over the flight time plus the elevation, negative
    float newA = 0.0f, newH = 0.0f; // P and Q, degrees
    bool computed = false;          // D, T, F, P and Q hold computed values
    // aimBeyondLimits with Q beyond: the shortest range, in feet to a tenth, that aims the station; 0 when there is
    // none (P would then be beyond).
    float shortestRangeFeet = 0.0f;
};

// How far the projectile falls over its flight time, in metres: -F without the elevation.
float gravityDrop(const StationAim& aim);

// The same fall, worked out in double, over any distance ahead of a gun with the given speed.
double gravityDropOver(double distance, double speed);

// A gun's line of fire in the aircraft's axes, in metres.
struct LineOfFire {
    double x = 0, y = 0;     // the gun, sideways and up
    double lateralSlope = 0; // metres sideways per metre ahead
    double boreSlope = 0;    // metres up per metre ahead, along the bore
    double speed = 0;

    double lateralAt(double ahead) const { return x + lateralSlope * ahead; }
    double boreAt(double ahead) const { return y + boreSlope * ahead; }
    // Where the fire is: the bore less the fall over the distance.
    double pathAt(double ahead) const { return boreAt(ahead) - gravityDropOver(ahead, speed); }
};

// The line of fire of the gun of `aim` with the angles A (which tips the bore down) and H (which turns it), in
// degrees: the P and Q the aiming rule gives, or the angles a file holds.
LineOfFire lineOfFire(const StationAim& aim, double a, double h);

} // namespace zerkon
