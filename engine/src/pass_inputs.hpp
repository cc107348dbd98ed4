// What a pass, its preview and a restore check before they touch any file, and how they end with a failure.
#pragma once

#include <zerkon/aiming.hpp>
#include <zerkon/pass.hpp>

#include "file_replacement.hpp"

#include <ctime>
#include <string>
#include <system_error>
#include <utility>

namespace zerkon {

template <class Result> Result failed(Outcome outcome) {
    Result result;
    static_cast<Outcome&>(result) = std::move(outcome);
    return result;
}

template <class Result> Result failed(Failure failure, std::string reason) {
    return failed<Result>(Outcome{failure, std::move(reason)});
}

template <class Result>
Result fileFailure(const std::string& what, const std::string& path, const std::error_code& error) {
    return failed<Result>(Failure::fileOperation, fileOperationReason(what, path, error));
}

// A path from which the backup and compiled names cannot be derived.
Outcome checkDpPathLength(const std::string& path);

// The file `path` leads to, in `target`: a symbolic link is followed. The backup and compiled names are cut from that
// file's name, so it must end in ".dp" (any case): cut from anything else they would land on other files, or in
// another folder.
Outcome followDpPath(FileSystem& files, const std::string& path, std::string& target);

// Where names tell case apart, "k.dp" and "k.DP" are two aircraft that would share the backups "k_NNN.dp": neither is
// harmonized or restored while both are there, or a restore could bring back the other one.
Outcome checkNoCaseTwin(FileSystem& files, const std::string& dpPath);

struct PassInputs : Outcome {
    std::string path; // the file to work on: a symbolic link's target
    AimSettings settings;
};

// The path must be long enough to derive the backup and compiled names from and name a file; the range and elevation
// must be finite numbers, since garbage would aim the guns at garbage.
PassInputs checkPassInputs(FileSystem& files, const std::string& path, const RunSettings& settings);

// The options' clock, or the machine's in local time.
std::tm passLocalTime(const PassOptions& options);

} // namespace zerkon
