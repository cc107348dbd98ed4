// Random DP files with every shape of gun station and gun line the rules tell apart.
#pragma once

#include <string>

namespace zerkon::testing {

// The same seed gives the same file. Lines end in CR LF, as on disk; the last has none.
std::string generatedDpFile(unsigned seed);

// The text the engine reads: CR LF becomes LF.
std::string withoutCarriageReturns(const std::string& text);

// The text the engine writes: every LF becomes CR LF.
std::string withCarriageReturns(const std::string& text);

} // namespace zerkon::testing
