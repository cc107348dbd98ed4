#include "plot_scale.hpp"

#include "text_format.hpp"

#include <cmath>

namespace zerkon::cli {

std::string readable(double value, int decimals) {
    std::string text = fixed(value, decimals);
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

double niceStep(double span, int count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power) return factor * power;
    return 10.0 * power;
}

std::string tickLabel(double value, double step) {
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return readable(value, decimals);
}

std::vector<double> ticks(const Range& range, double step) {
    std::vector<double> values; // a bounded count, so no rounding can make the walk endless
    const double first = std::ceil(range.low / step) * step;
    for (int i = 0; i < 64; ++i) {
        const double value = first + i * step;
        if (value > range.high) break;
        values.push_back(value);
    }
    return values;
}

Range padded(double low, double high, double fraction, double minimumSpan) {
    if (high - low < minimumSpan) {
        const double middle = (low + high) / 2;
        low = middle - minimumSpan / 2;
        high = middle + minimumSpan / 2;
    }
    const double pad = (high - low) * fraction;
    return {low - pad, high + pad};
}

} // namespace zerkon::cli
