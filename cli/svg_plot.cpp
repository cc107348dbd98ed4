#include "svg_plot.hpp"

#include "svg_writer.hpp"
#include "text_format.hpp"

#include <zerkon/convergence.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace zerkon::cli {
namespace {

constexpr double kFeetPerMetre = 1.0 / kMetresPerFoot;
constexpr int kCurveSegments = 48;

constexpr int kWidth = 1100;
constexpr int kHeight = 740;
constexpr double kPlotLeft = 90;
constexpr double kPlotRight = 820;
constexpr double kLegendLeft = 872;
constexpr const char* kFont = "DejaVu Sans, Verdana, Arial, sans-serif";

// Colours that stay apart for the colour-blind and on paper.
constexpr const char* kStationColours[] = {"#4e79a7", "#e15759", "#59a14f", "#f28e2b", "#b07aa1",
                                           "#76b7b2", "#edc948", "#ff9da7", "#9c755f", "#3b3b3b"};

struct Range {
    double low, high;
};

// A number for a person: "-0.000" is shown as "0.000".
std::string readable(double value, int decimals) {
    std::string text = fixed(value, decimals);
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

// Tick spacing of 1, 2 or 5 times a power of ten, giving about `count` ticks over `span`.
double niceStep(double span, int count) {
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power) return factor * power;
    return 10.0 * power;
}

// low to high, widened to at least `minimumSpan` and then by `fraction` of the span on each side.
Range padded(double low, double high, double fraction, double minimumSpan) {
    if (high - low < minimumSpan) {
        const double middle = (low + high) / 2;
        low = middle - minimumSpan / 2;
        high = middle + minimumSpan / 2;
    }
    const double pad = (high - low) * fraction;
    return {low - pad, high + pad};
}

// One gun's fire as drawn: its line of fire, from the gun at Z to `distance` ahead of it.
struct DrawnFire : LineOfFire {
    const StationReport* report;
    std::string colour; // quoted, as an attribute's value
    double z;
    double distance;
};

DrawnFire drawnFire(const StationReport& report, const std::string& colour, double a, double h, double distance) {
    return {lineOfFire(report.aim, a, h), &report, colour, report.aim.z, distance};
}

// The current fire is drawn to where it converges now, but no farther than `reach` ahead of the origin, and as far
// as the new fire where it converges nowhere.
DrawnFire currentFire(const StationReport& report, const std::string& colour, double reach) {
    const StationAim& aim = report.aim;
    const Convergence now = currentConvergence(aim);
    const double distance = now.rangeGap == ConvergenceGap::none ? now.rangeMetres - aim.z : aim.distance;
    return drawnFire(report, colour, aim.a, aim.h, std::min(distance, reach - aim.z));
}

struct ConvergencePoint {
    AimSettings settings;
    std::string name; // empty for the run's, "station 4" for stations aimed at their own
};

struct Panel {
    double top, bottom;
    Range ahead, across;

    double px(double aheadMetres) const {
        return kPlotLeft + (aheadMetres - ahead.low) / (ahead.high - ahead.low) * (kPlotRight - kPlotLeft);
    }
    double py(double acrossMetres) const {
        return bottom - (acrossMetres - across.low) / (across.high - across.low) * (bottom - top);
    }
};

// Calls draw(metres, label, isZero) at each round tick of `range` counted in metres times `perMetre`.
template <class Draw> void eachTick(const Range& range, int count, double perMetre, Draw draw) {
    const double step = niceStep((range.high - range.low) * perMetre, count);
    const double first = std::ceil(range.low * perMetre / step) * step;
    for (int i = 0; i < 64; ++i) { // a bounded count, so no rounding can make the walk endless
        const double tick = first + i * step;
        if (tick > range.high * perMetre) break;
        draw(tick / perMetre, tickLabel(tick, step), std::abs(tick) < step / 2);
    }
}

// Grid, frame and the four axes: metres at the bottom and on the left, feet at the top and on the right; then the
// range of each convergence point, dashed.
void drawAxes(SvgWriter& svg, const Panel& panel, const std::string& heading, const std::string& acrossName,
              const std::vector<ConvergencePoint>& points) {
    const double top = panel.top, bottom = panel.bottom;
    svg.text() += "<rect x=\"" + px(kPlotLeft) + "\" y=\"" + px(top) + "\" width=\"" + px(kPlotRight - kPlotLeft) +
                  "\" height=\"" + px(bottom - top) + "\" fill=\"#fbfbfd\" stroke=\"#9aa0a6\"/>\n";
    svg.label(kPlotLeft, top - 30, heading, "font-size=\"15\" font-weight=\"bold\" fill=\"#202124\"");

    eachTick(panel.ahead, 8, 1, [&](double metres, const std::string& label, bool) {
        svg.line(panel.px(metres), top, panel.px(metres), bottom, "stroke=\"#e3e5e8\"");
        svg.label(panel.px(metres), bottom + 16, label, "font-size=\"11\" text-anchor=\"middle\" fill=\"#3c4043\"");
    });
    eachTick(panel.ahead, 8, kFeetPerMetre, [&](double metres, const std::string& label, bool) {
        svg.line(panel.px(metres), top, panel.px(metres), top - 4, "stroke=\"#80868b\"");
        svg.label(panel.px(metres), top - 7, label, "font-size=\"10\" text-anchor=\"middle\" fill=\"#80868b\"");
    });
    svg.label(kPlotRight, bottom + 32, "distance ahead of the aircraft's origin (m)",
              "font-size=\"11\" text-anchor=\"end\" fill=\"#3c4043\"");
    svg.label(kPlotRight + 7, top - 7, "ft", "font-size=\"10\" font-weight=\"bold\" fill=\"#80868b\"");

    eachTick(panel.across, 5, 1, [&](double metres, const std::string& label, bool isZero) {
        const double y = panel.py(metres);
        svg.line(kPlotLeft, y, kPlotRight, y, isZero ? "stroke=\"#bdc1c6\"" : "stroke=\"#e3e5e8\"");
        svg.label(kPlotLeft - 6, y + 4, label, "font-size=\"11\" text-anchor=\"end\" fill=\"#3c4043\"");
    });
    eachTick(panel.across, 5, kFeetPerMetre, [&](double metres, const std::string& label, bool) {
        const double y = panel.py(metres);
        svg.line(kPlotRight, y, kPlotRight + 4, y, "stroke=\"#80868b\"");
        svg.label(kPlotRight + 7, y + 4, label, "font-size=\"10\" fill=\"#80868b\"");
    });
    const double middle = (top + bottom) / 2;
    svg.label(28, middle, acrossName + " (m)",
              "font-size=\"11\" text-anchor=\"middle\" fill=\"#3c4043\" transform=\"rotate(-90 28 " + px(middle) +
                  ")\"");
    for (const ConvergencePoint& point : points) {
        const double x = panel.px(point.settings.rangeMetres);
        svg.line(x, top, x, bottom, "stroke=\"#202124\" stroke-width=\"1.2\" stroke-dasharray=\"6 4\"");
    }
}

// The convergence points of the run and of the stations aimed at their own settings, each only where some station
// is aimed at it: a point no gun fires at is only clutter. The run's when no station is aimed.
std::vector<ConvergencePoint> convergencePoints(const Preview& preview) {
    std::vector<ConvergencePoint> points = {{preview.settings, {}}};
    for (const StationSettings& own : preview.stationSettings)
        points.push_back({own.settings, stationsText(own.stations)});
    const auto aimedAt = [&](const ConvergencePoint& point) {
        return std::any_of(preview.stations.begin(), preview.stations.end(), [&](const StationReport& station) {
            return station.aim.verdict == StationVerdict::aimed &&
                   station.aim.settings.rangeMetres == point.settings.rangeMetres &&
                   station.aim.settings.elevationMetres == point.settings.elevationMetres;
        });
    };
    std::vector<ConvergencePoint> used;
    std::copy_if(points.begin(), points.end(), std::back_inserter(used), aimedAt);
    return used.empty() ? std::vector<ConvergencePoint>{points.front()} : used;
}

std::string named(const ConvergencePoint& point, const std::string& text) {
    return point.name.empty() ? text : point.name + ": " + text;
}

// Drawn after the lines of fire, so its outline covers them. The lines of fire close in on the centre line towards
// the convergence points, so the labels keep to the top and bottom edges there, taking turns.
void labelConvergenceRanges(SvgWriter& svg, const Panel& panel, const std::vector<ConvergencePoint>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const AimSettings& settings = points[i].settings;
        const double step = 18.0 * static_cast<double>(i / 2);
        const double baseline = i % 2 == 0 ? panel.top + 18 + step : panel.bottom - 8 - step;
        const std::string range =
            "range " + fixed(settings.rangeFeet, 0) + " ft (" + fixed(settings.rangeMetres, 1) + " m)";
        svg.boxedLabel(panel.px(settings.rangeMetres), baseline, named(points[i], range), 12, kPlotLeft);
    }
}

// The line as points on the panel, up to where it leaves it: a current line of fire may turn far off the picture.
std::vector<std::pair<double, double>> sampled(const Panel& panel, const DrawnFire& fire, bool sideView) {
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i <= kCurveSegments; ++i) {
        const double ahead = fire.distance * i / kCurveSegments;
        const double across = sideView ? fire.pathAt(ahead) : fire.lateralAt(ahead);
        if (across < panel.across.low || across > panel.across.high) break;
        points.emplace_back(panel.px(fire.z + ahead), panel.py(across));
    }
    return points;
}

constexpr const char* kCurrentStyle = " stroke-width=\"1.5\" stroke-dasharray=\"1.5 3\" opacity=\"0.8\"";

std::string convergenceText(const Convergence& now) {
    if (now.rangeGap != ConvergenceGap::none) return convergenceGapText(now.rangeGap);
    std::string text = fixed(now.rangeFeet(), 0) + " ft";
    if (now.elevationGap == ConvergenceGap::none) text += " / " + fixed(now.elevationFeet(), 1) + " ft";
    return text;
}

void drawLegend(SvgWriter& svg, const Preview& preview, const std::vector<DrawnFire>& fires) {
    double y = 140;
    svg.label(kLegendLeft, y - 30, "Stations", "font-size=\"15\" font-weight=\"bold\" fill=\"#202124\"");
    // Ten stations and the key fit the height of the picture.
    const double spacing = std::min(56.0, 500.0 / std::max<std::size_t>(fires.size(), 1));
    for (const DrawnFire& fire : fires) {
        const StationAim& aim = fire.report->aim;
        svg.line(kLegendLeft, y - 4, kLegendLeft + 22, y - 4, "stroke=" + fire.colour + " stroke-width=\"3\"");
        svg.label(kLegendLeft + 30, y, "Station " + std::to_string(aim.station),
                  "font-size=\"13\" font-weight=\"bold\" fill=\"#202124\"");
        // Where it converges now, then the angles a run writes; the gun's position is in the picture.
        svg.label(kLegendLeft + 30, y + 16, "now: " + convergenceText(currentConvergence(aim)),
                  "font-size=\"12\" fill=\"#3c4043\"");
        svg.label(kLegendLeft + 30, y + 32,
                  "new: A " + readable(aim.newA, 3) + "\u00b0  H " + readable(aim.newH, 3) + "\u00b0",
                  "font-size=\"12\" fill=\"#3c4043\"");
        y += spacing;
    }
    if (!fires.empty()) { // the key to the two kinds of line
        svg.line(kLegendLeft, y - 4, kLegendLeft + 22, y - 4, "stroke=\"#3c4043\" stroke-width=\"2\"");
        svg.label(kLegendLeft + 30, y, "a run's line of fire", "font-size=\"12\" fill=\"#3c4043\"");
        svg.line(kLegendLeft, y + 12, kLegendLeft + 22, y + 12, std::string("stroke=\"#3c4043\"") + kCurrentStyle);
        svg.label(kLegendLeft + 30, y + 16, "its line of fire now (top view)", "font-size=\"12\" fill=\"#3c4043\"");
        y += 34;
    }
    for (const StationReport& report : preview.stations) {
        if (report.aim.verdict == StationVerdict::aimed) continue;
        const std::string name = report.aim.verdict == StationVerdict::badStationNumber
                                     ? "Line " + std::to_string(report.lineNumber)
                                     : "Station " + std::to_string(report.aim.station);
        svg.label(kLegendLeft, y, name + ": not aimed, " + verdictText(report.aim.verdict),
                  "font-size=\"11\" fill=\"#80868b\"");
        y += 18;
    }
    if (fires.empty()) svg.label(kLegendLeft, y, "No station is aimed.", "font-size=\"12\" fill=\"#202124\"");
}

} // namespace

std::string tickLabel(double value, double step) {
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return readable(value, decimals);
}

std::string convergencePlotSvg(const std::string& title, const Preview& preview) {
    std::vector<DrawnFire> fires;
    for (const StationReport& report : preview.stations) {
        const StationAim& aim = report.aim;
        if (aim.verdict == StationVerdict::aimed)
            fires.push_back(drawnFire(report, "\"" + std::string(kStationColours[fires.size() % 10]) + "\"", aim.newA,
                                      aim.newH, aim.distance));
    }

    const std::vector<ConvergencePoint> points = convergencePoints(preview);
    double nearest = 0, farthest = 1, lateralReach = 1, low = 0, high = 0;
    for (const ConvergencePoint& convergence : points) {
        const AimSettings& point = convergence.settings;
        nearest = std::min(nearest, double{point.rangeMetres});
        farthest = std::max(farthest, double{point.rangeMetres});
        low = std::min(low, double{point.elevationMetres});
        high = std::max(high, double{point.elevationMetres});
    }
    // The current fire shows where it converges now, within half as far again as the new fire.
    std::vector<DrawnFire> currents;
    for (const DrawnFire& fire : fires) {
        currents.push_back(currentFire(*fire.report, fire.colour, farthest * 1.5));
        farthest = std::max(farthest, fire.z + currents.back().distance);
    }
    for (const DrawnFire& fire : fires) {
        nearest = std::min(nearest, fire.z);
        farthest = std::max(farthest, fire.z); // a gun beyond the range fires backwards to it
        lateralReach = std::max(lateralReach, std::abs(fire.x));
        for (int i = 0; i <= kCurveSegments; ++i) {
            const double ahead = fire.distance * i / kCurveSegments;
            low = std::min({low, fire.pathAt(ahead), fire.boreAt(ahead)});
            high = std::max({high, fire.pathAt(ahead), fire.boreAt(ahead)});
        }
    }
    const Range ahead{nearest, farthest + (farthest - nearest) * 0.06};
    const Panel topView{130, 340, ahead, padded(-lateralReach, lateralReach, 0.12, 1.0)};
    const Panel sideView{440, 660, ahead, padded(low, high, 0.12, 1.0)};

    SvgWriter svg;
    svg.text() = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                 std::to_string(kWidth) + "\" height=\"" + std::to_string(kHeight) + "\" viewBox=\"0 0 " +
                 std::to_string(kWidth) + " " + std::to_string(kHeight) + "\" font-family=\"" + kFont + "\">\n" +
                 "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg.label(kPlotLeft, 34, "Gun convergence: " + title, "font-size=\"20\" font-weight=\"bold\" fill=\"#202124\"");
    // What the file holds now, then what a run would write: the two are easily taken one for the other.
    svg.label(kPlotLeft, 56,
              "Now (dotted): " +
                  (preview.runComment ? "harmonized to " + runCommentText(*preview.runComment) : "no run comment"),
              "font-size=\"13\" fill=\"#3c4043\"");
    std::string run = "A run (solid) at " + settingsText(preview.settings, 2);
    for (const StationSettings& own : preview.stationSettings)
        run += "; " + stationsText(own.stations) + " at " + fixed(own.settings.rangeFeet, 1) + " ft, " +
               fixed(own.settings.elevationFeet, 1) + " ft";
    svg.label(kPlotLeft, 74,
              run + ": " + std::to_string(fires.size()) + " of " + std::to_string(preview.stations.size()) +
                  " gun stations aimed",
              "font-size=\"13\" fill=\"#3c4043\"");

    drawAxes(svg, topView, "Top view", "lateral X", points);
    for (const DrawnFire& current : currents)
        svg.polyline(sampled(topView, current, false), "stroke=" + current.colour + kCurrentStyle);
    for (const DrawnFire& fire : fires) {
        svg.polyline(sampled(topView, fire, false), "stroke=" + fire.colour + " stroke-width=\"2\"");
        svg.circle(topView.px(fire.z), topView.py(fire.x), 3.5, "fill=" + fire.colour);
    }
    for (const ConvergencePoint& point : points)
        svg.circle(topView.px(point.settings.rangeMetres), topView.py(0), 5,
                   "fill=\"none\" stroke=\"#202124\" stroke-width=\"1.5\"");
    labelConvergenceRanges(svg, topView, points);

    drawAxes(svg, sideView, "Side view: the bullet falls below the line of the bore (dashed)", "height Y", points);
    // One elevation is drawn and named: the run's, or the first aimed at.
    const ConvergencePoint& level = points.front();
    const double elevationY = sideView.py(level.settings.elevationMetres);
    svg.line(kPlotLeft, elevationY, kPlotRight, elevationY,
             "stroke=\"#202124\" stroke-width=\"1\" stroke-dasharray=\"2 3\"");
    // The current fire is left out of the side view: its steep lines hid the paths of the new aim.
    for (const DrawnFire& fire : fires) {
        svg.line(sideView.px(fire.z), sideView.py(fire.y), sideView.px(fire.z + fire.distance),
                 sideView.py(fire.boreAt(fire.distance)),
                 "stroke=" + fire.colour + " stroke-width=\"1.2\" stroke-dasharray=\"5 4\" opacity=\"0.8\"");
        svg.polyline(sampled(sideView, fire, true), "stroke=" + fire.colour + " stroke-width=\"2\"");
        svg.circle(sideView.px(fire.z), sideView.py(fire.y), 3.5, "fill=" + fire.colour);
    }
    for (const ConvergencePoint& point : points)
        svg.circle(sideView.px(point.settings.rangeMetres), sideView.py(point.settings.elevationMetres), 5,
                   "fill=\"none\" stroke=\"#202124\" stroke-width=\"1.5\"");
    // The label goes on the side of the elevation line that the paths do not come in from.
    int pathsFromBelow = 0;
    for (const DrawnFire& fire : fires)
        if (fire.pathAt(fire.distance * 0.8) < level.settings.elevationMetres) ++pathsFromBelow;
    const bool labelAbove = 2 * pathsFromBelow > static_cast<int>(fires.size());
    svg.boxedLabel(sideView.px(level.settings.rangeMetres), labelAbove ? elevationY - 8 : elevationY + 20,
                   named(level, "elevation " + fixed(level.settings.elevationFeet, 1) + " ft (" +
                                    fixed(level.settings.elevationMetres, 2) + " m)"),
                   12, kPlotLeft);

    drawLegend(svg, preview, fires);
    svg.label(kPlotLeft, kHeight - 14,
              "Sideways and vertical scales are stretched to show the aim; the angles are those the pass writes.",
              "font-size=\"11\" fill=\"#80868b\"");
    svg.text() += "</svg>\n";
    return svg.text();
}

} // namespace zerkon::cli
