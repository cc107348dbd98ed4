#include "pass_inputs.hpp"

#include "failures.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/number_text.hpp>

#include <cmath>

namespace zerkon {
namespace {

bool readSetting(std::string_view text, float& value) {
    const ScannedFloat number = scanFloat(text);
    value = number.value;
    return number.ok && std::isfinite(number.value);
}

} // namespace

Outcome checkDpPathLength(const std::string& path) {
    if (longEnoughForDpNames(path)) return {};
    return {Failure::badPath, quoted(path) + " is too short to be the path of a DP file"};
}

PassInputs checkPassInputs(FileSystem& files, const std::string& path, std::string_view rangeText,
                           std::string_view elevationText) {
    if (Outcome length = checkDpPathLength(path); !length.ok()) return failed<PassInputs>(std::move(length));
    float rangeFeet = 0.0f;
    float elevationFeet = 0.0f;
    if (!readSetting(rangeText, rangeFeet))
        return failed<PassInputs>(Failure::badRange, "the range " + quoted(rangeText) + " is not a number");
    // A convergence point behind the guns would aim them at nothing they can hit.
    if (!(makeAimSettings(rangeFeet, 0.0f).rangeMetres > 0.0f))
        return failed<PassInputs>(Failure::badRange, "the range " + quoted(rangeText) +
                                                         " must be greater than zero: the guns converge ahead of "
                                                         "the aircraft");
    if (!readSetting(elevationText, elevationFeet))
        return failed<PassInputs>(Failure::badElevation, "the elevation " + quoted(elevationText) + " is not a number");

    std::error_code error;
    const PathKind kind = files.status(path, error);
    if (error) return fileFailure<PassInputs>("query", path, error);
    if (kind == PathKind::absent) return failed<PassInputs>(Failure::notAFile, quoted(path) + " does not exist");
    if (kind == PathKind::other) return failed<PassInputs>(Failure::notAFile, quoted(path) + " is not a file");

    PassInputs inputs;
    const std::string reason = followLinks(files, path, inputs.path);
    if (!reason.empty()) return failed<PassInputs>(Failure::fileOperation, reason);
    inputs.settings = makeAimSettings(rangeFeet, elevationFeet);
    return inputs;
}

std::tm passLocalTime(const PassOptions& options) {
    if (options.localTime) return options.localTime();
    const std::time_t now = std::time(nullptr);
    return *std::localtime(&now);
}

} // namespace zerkon
