#include "svg_writer.hpp"

#include "text_format.hpp"

namespace zerkon::cli {

std::string px(double value) { return fixed(value, 1); }

namespace {

// Length of the well-formed UTF-8 sequence at `at` in `text`, or 0.
std::size_t utf8SequenceLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4  ? 4
                               : lead >= 0xE0                ? 3
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                                                             : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    if (lead == 0xE0 && byte(at + 1) < 0xA0) return 0;  // overlong
    if (lead == 0xED && byte(at + 1) >= 0xA0) return 0; // a surrogate
    if (lead == 0xF0 && byte(at + 1) < 0x90) return 0;  // overlong
    if (lead == 0xF4 && byte(at + 1) >= 0x90) return 0; // beyond U+10FFFF
    return length;
}

} // namespace

// File names on Windows come in the ANSI code page, and a single byte such as 0xE9 there is no UTF-8: it, and any
// control character, becomes "?" so the picture stays a well-formed XML document.
std::string escaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            const std::size_t length = utf8SequenceLength(text, i);
            if (length == 0) {
                out += '?';
            } else {
                out.append(text, i, length);
                i += length - 1;
            }
            continue;
        }
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += byte < 0x20 && c != '\t' ? '?' : c;
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
