// The least that any safe update of a file does, the floor every figure is measured against: the file read, a copy
// written beside it and made durable, the original kept under a second name by a hard link, the copy renamed over the
// file, and the folder made durable.
#pragma once

#include <string>

namespace zerkon::bench {

// Returns what failed, empty on success.
std::string replaceByDurableCopy(const std::string& path, const std::string& keptAs);

} // namespace zerkon::bench
