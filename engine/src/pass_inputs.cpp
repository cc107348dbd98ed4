#include "pass_inputs.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/dp_names.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/number_text.hpp>

#include <charconv>
#include <cmath>

namespace zerkon {
namespace {

bool readFeet(std::string_view text, float& feet) {
    const ScannedFloat number = scanFloat(text);
    feet = number.value;
    return number.ok && std::isfinite(number.value);
}

std::string feetText(float feet) {
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, feet).ptr) + " ft";
}

} // namespace

SettingsReading readRunSettings(std::string_view rangeText, std::string_view elevationText) {
    SettingsReading reading;
    if (!readFeet(rangeText, reading.settings.rangeFeet))
        return failed<SettingsReading>(Failure::badRange, "the range " + quoted(rangeText) + " is not a number");
    if (!convergesAhead(reading.settings.rangeFeet))
        return failed<SettingsReading>(Failure::badRange, "the range " + quoted(rangeText) + kNotAhead);
    if (!readFeet(elevationText, reading.settings.elevationFeet))
        return failed<SettingsReading>(Failure::badElevation,
                                       "the elevation " + quoted(elevationText) + " is not a number");
    return reading;
}

Outcome checkDpPathLength(const std::string& path) {
    if (longEnoughForDpNames(path)) return {};
    return {Failure::badPath, quoted(path) + " is too short to be the path of a DP file"};
}

Outcome followDpPath(FileSystem& files, const std::string& path, std::string& target) {
    if (std::string reason = followLinks(files, path, target); !reason.empty())
        return {Failure::fileOperation, std::move(reason)};
    if (isDpName(target)) return {};
    const std::string what = target == path ? quoted(path) : quoted(path) + " leads to " + quoted(target) + ", which";
    return {Failure::badPath, what + " is not a DP file (the name does not end in .dp); left alone"};
}

Outcome checkNoCaseTwin(FileSystem& files, const std::string& dpPath) {
    if (kNamesIgnoreCase) return {};
    std::error_code error;
    const std::string name = nameOf(dpPath);
    const std::vector<std::string> names = files.namesInAnyCase(dpPath, error);
    if (error) return {Failure::fileOperation, fileOperationReason("list the folder of", dpPath, error)};
    for (const std::string& other : names)
        if (other != name)
            return {Failure::badPath, quoted(dpPath) + " and " + quoted(folderOf(dpPath) + other) +
                                          " are both there and would share the backups " +
                                          quoted(nameOf(dpStem(dpPath)) + "_NNN.dp") +
                                          "; left alone until one of them is renamed"};
    return {};
}

PassInputs checkPassInputs(FileSystem& files, const std::string& path, const RunSettings& settings) {
    if (Outcome length = checkDpPathLength(path); !length.ok()) return failed<PassInputs>(std::move(length));
    if (!std::isfinite(settings.rangeFeet) || !convergesAhead(settings.rangeFeet))
        return failed<PassInputs>(Failure::badRange, "the range " + feetText(settings.rangeFeet) + kNotAhead);
    if (!std::isfinite(settings.elevationFeet))
        return failed<PassInputs>(Failure::badElevation,
                                  "the elevation " + feetText(settings.elevationFeet) + " is not a number");

    std::error_code error;
    const PathKind kind = settledStatus(files, path, error);
    if (error) return fileFailure<PassInputs>("query", path, error);
    if (kind == PathKind::absent) return failed<PassInputs>(Failure::notAFile, quoted(path) + " does not exist");
    if (kind == PathKind::other) return failed<PassInputs>(Failure::notAFile, quoted(path) + " is not a file");

    PassInputs inputs;
    if (Outcome dp = followDpPath(files, path, inputs.path); !dp.ok()) return failed<PassInputs>(std::move(dp));
    inputs.settings = makeAimSettings(settings.rangeFeet, settings.elevationFeet);
    return inputs;
}

std::tm passLocalTime(const PassOptions& options) {
    if (options.localTime) return options.localTime();
    const std::time_t now = std::time(nullptr);
    return *std::localtime(&now);
}

} // namespace zerkon
