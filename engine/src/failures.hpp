// Ending an operation with a failure, whatever its result type adds to the outcome.
#pragma once

#include <zerkon/outcome.hpp>

#include "file_replacement.hpp"

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

// The backup and compiled names are cut from the real file's name, so it must end in ".dp" (any case): cut from
// anything else they would land on other files, or in another folder. `path` is what was asked for, `target` the file
// it leads to.
Outcome checkRealDpName(const std::string& path, const std::string& target);

// Where names tell case apart, "k.dp" and "k.DP" are two aircraft that would share the backups "k_NNN.dp": neither is
// harmonized or restored while both are there, or a restore could bring back the other one.
Outcome checkNoCaseTwin(FileSystem& files, const std::string& dpPath);

} // namespace zerkon
