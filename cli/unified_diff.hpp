// The lines a pass would change, as a unified diff without context.
#pragma once

#include <zerkon/preview.hpp>

#include <iosfwd>
#include <string>

namespace zerkon::cli {

// "--- PATH", "+++ PATH (harmonized)", then one "@@" hunk per run of neighbouring changes.
void writeUnifiedDiff(std::ostream& out, const std::string& path, const Preview& preview);

} // namespace zerkon::cli
