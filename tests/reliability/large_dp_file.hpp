// A DP file of any size, made of the shapes a real aircraft file has, for tests that need many reads and writes.
#pragma once

#include <cstddef>
#include <string>

namespace zerkon::testing {

// At least `size` bytes with CR LF line ends: a run comment, gun stations with their gun sections, lone CRs, a line
// longer than 255 characters and a last line without a newline.
std::string largeDpFile(std::size_t size);

} // namespace zerkon::testing
