// Small pieces of text shared by the commands.
#pragma once

#include <zerkon/aiming.hpp>

#include <string>
#include <string_view>

namespace zerkon::cli {

// The last component of a path, with either kind of slash.
std::string fileName(const std::string& path);

// Whether `path` ends in `end`, in any case (".DP" and ".dp").
bool nameEndsWith(std::string_view path, std::string_view end);

// "1 gun line", "2 gun lines".
std::string plural(int count, const char* singular, const char* pluralForm);

// `value` with `decimals` digits after the point, printed the way the pass prints numbers into a DP file.
std::string fixed(double value, int decimals);

// The shortest decimal text that reads back as the same 32-bit float ("835", "274.32").
std::string shortest(float value);

// Why a station is or is not aimed, in a few words.
const char* verdictText(StationVerdict verdict);

// The verdict as a word for machines ("aimed", "flag", ...).
const char* verdictKey(StationVerdict verdict);

} // namespace zerkon::cli
