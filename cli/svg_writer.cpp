#include "svg_writer.hpp"

#include "text_format.hpp"

namespace zerkon::cli {

std::string px(double value) { return fixed(value, 1); }

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void SvgWriter::line(double x1, double y1, double x2, double y2, const std::string& style) {
    svg_ += "<line x1=\"" + px(x1) + "\" y1=\"" + px(y1) + "\" x2=\"" + px(x2) + "\" y2=\"" + px(y2) + "\" " + style +
            "/>\n";
}

void SvgWriter::label(double x, double y, const std::string& text, const std::string& style) {
    svg_ += "<text x=\"" + px(x) + "\" y=\"" + px(y) + "\" " + style + ">" + escaped(text) + "</text>\n";
}

void SvgWriter::boxedLabel(double markX, double baseline, const std::string& text, double fontSize, double leftLimit) {
    // No text measuring without a font engine: about 0.56 em per character in the sans-serif fonts asked for.
    const double gap = 10;
    const double width = 0.56 * fontSize * static_cast<double>(text.size()) + 8;
    const bool onTheLeft = markX - gap - width >= leftLimit;
    const double boxLeft = onTheLeft ? markX - gap - width : markX + gap;
    svg_ += "<rect x=\"" + px(boxLeft) + "\" y=\"" + px(baseline - fontSize) + "\" width=\"" + px(width) +
            "\" height=\"" + px(fontSize + 5) + "\" rx=\"3\" fill=\"#ffffff\" fill-opacity=\"0.9\"/>\n";
    label(onTheLeft ? markX - gap - 4 : markX + gap + 4, baseline, text,
          "font-size=\"" + px(fontSize) + "\" text-anchor=\"" + (onTheLeft ? "end" : "start") + "\" fill=\"#202124\"");
}

void SvgWriter::polyline(const std::vector<std::pair<double, double>>& points, const std::string& style) {
    svg_ += "<polyline fill=\"none\" points=\"";
    for (const auto& [x, y] : points)
        svg_ += px(x) + "," + px(y) + " ";
    svg_.back() = '"';
    svg_ += " " + style + "/>\n";
}

void SvgWriter::circle(double x, double y, double radius, const std::string& style) {
    svg_ += "<circle cx=\"" + px(x) + "\" cy=\"" + px(y) + "\" r=\"" + px(radius) + "\" " + style + "/>\n";
}

} // namespace zerkon::cli
