#include "pass_inputs.hpp"

#include "file_replacement.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/number_text.hpp>

#include <cmath>

namespace zerkon {
namespace {

PassInputs refused(Failure failure, std::string reason) {
    PassInputs inputs;
    inputs.failure = failure;
    inputs.reason = std::move(reason);
    return inputs;
}

bool readSetting(std::string_view text, float& value) {
    const ScannedFloat number = scanFloat(text);
    value = number.value;
    return number.ok && std::isfinite(number.value);
}

} // namespace

PassInputs checkPassInputs(FileSystem& files, const std::string& path, std::string_view rangeText,
                           std::string_view elevationText) {
    if (!longEnoughForDpNames(path))
        return refused(Failure::badPath, quoted(path) + " is too short to be the path of a DP file");
    float rangeFeet = 0.0f;
    float elevationFeet = 0.0f;
    if (!readSetting(rangeText, rangeFeet))
        return refused(Failure::badRange, "the range " + quoted(rangeText) + " is not a number");
    if (!readSetting(elevationText, elevationFeet))
        return refused(Failure::badElevation, "the elevation " + quoted(elevationText) + " is not a number");

    std::error_code error;
    const PathKind kind = files.status(path, error);
    if (error) return refused(Failure::fileOperation, fileOperationReason("query", path, error));
    if (kind == PathKind::absent) return refused(Failure::notAFile, quoted(path) + " does not exist");
    if (kind == PathKind::other) return refused(Failure::notAFile, quoted(path) + " is not a file");

    PassInputs inputs;
    inputs.settings = makeAimSettings(rangeFeet, elevationFeet);
    return inputs;
}

std::tm passLocalTime(const PassOptions& options) {
    if (options.localTime) return options.localTime();
    const std::time_t now = std::time(nullptr);
    return *std::localtime(&now);
}

} // namespace zerkon
