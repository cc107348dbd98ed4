// Plain SVG text, element by element, with coordinates to a tenth of a pixel.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zerkon::cli {

// A coordinate or length as SVG text, one decimal.
std::string px(double value);

// `text` as XML character data: markup characters as entities, and bytes that are not UTF-8 text as "?".
std::string escaped(const std::string& text);

class SvgWriter {
public:
    std::string& text() { return svg_; }

    void line(double x1, double y1, double x2, double y2, const std::string& style);
    void label(double x, double y, const std::string& text, const std::string& style);
    // A label on a pale box beside the mark at `markX`, readable where lines of fire cross it: to the left of the
    // mark, or to its right when that would cross `leftLimit`.
    void boxedLabel(double markX, double baseline, const std::string& text, double fontSize, double leftLimit);
    void polyline(const std::vector<std::pair<double, double>>& points, const std::string& style);
    void circle(double x, double y, double radius, const std::string& style);

private:
    std::string svg_;
};

} // namespace zerkon::cli
