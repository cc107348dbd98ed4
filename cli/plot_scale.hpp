// The scales of the plot: value ranges, round tick steps and tick labels.
#pragma once

#include <string>
#include <vector>

namespace zerkon::cli {

struct Range {
    double low, high;
};

// A number for a person: "-0.000" is shown as "0.000".
std::string readable(double value, int decimals);

// Tick spacing of 1, 2 or 5 times a power of ten, giving about `count` ticks over `span`.
double niceStep(double span, int count);

// Text for a tick value, with only as many decimals as the step needs.
std::string tickLabel(double value, double step);

// The multiples of `step` inside `range`.
std::vector<double> ticks(const Range& range, double step);

// low to high, widened to at least `minimumSpan` and then by `fraction` of the span on each side.
Range padded(double low, double high, double fraction, double minimumSpan);

} // namespace zerkon::cli
