// Generated DP files for the tests, the fuzzers and the benchmarks: the same bytes for the same arguments on every
// run and every platform. Lines end in CR LF, as on disk.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace zerkon::testing {

enum class Mix {
    // An aircraft of about a hundred lines, again and again: 4% of them gun station and gun lines. Every fiftieth
    // copy also has a station that is not harmonized, a comment with a lone CR and a line longer than 255 characters.
    realistic,
    // Nothing but gun station lines, each followed by a gun line of its station; one station in seven is not aimed.
    gunHeavy,
};

const char* mixName(Mix mix);

// At least `size` bytes, whole lines only.
std::string generatedDpText(Mix mix, std::size_t size);

// The realistic mix of at least `size` bytes, and a last line without a newline.
std::string largeDpFile(std::size_t size);

// A small file with every shape of gun station and gun line the rules tell apart, chosen at random: short records,
// fields that hold no number, odd flags and case, stations out of order. The last line has no newline.
std::string generatedDpFile(unsigned seed);

// The lines as the pass reads them: CR LF becomes LF, a lone CR stays, each line keeps its LF.
std::vector<std::string> linesAsRead(std::string_view bytes);

// Every LF as CR LF, as the pass writes it.
std::string withCarriageReturns(std::string_view text);

// Mon Dec  7 05:00:00 2026: the clock the golden files were written with, so a run comment is the same in every run.
std::tm fixedClock();

} // namespace zerkon::testing
