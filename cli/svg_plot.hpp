// A picture of where the guns' fire meets: a top view and a side view, as plain SVG text.
#pragma once

#include <zerkon/dp_format.hpp>
#include <zerkon/preview.hpp>

#include <optional>
#include <string>

namespace zerkon::cli {

// Each aimed station's line of fire from its gun to the convergence point; in the side view the bullet's path
// falls below the line of the bore over its flight time. `title` names the aircraft; the preview's run comment, if the
// file has one, says what it was last harmonized to.
std::string convergencePlotSvg(const std::string& title, const Preview& preview);

// Text for a tick value of the plot's scales, with only as many decimals as the step needs.
std::string tickLabel(double value, double step);

} // namespace zerkon::cli
