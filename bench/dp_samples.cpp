#include "dp_samples.hpp"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace zerkon::bench {

const char* const kAimedStationLine =
    "gunstation.0=1,3,1,350,835,750,0.3,0.25,4,80,12,-2.410,-0.080,1.150,0.40,0.00,0.62,mg_a,hit_small\n";
const char* const kUnaimedStationLine =
    "gunstation.6=2,4,1,200,800,700,0.3,0.25,4,80,12,0.000,-0.500,0.400,-5.00,0.00,0.00,mg_belly,hit_small\n";
const char* const kGunLine = "gun.0=-2.410,-0.080,1.150,0.40,0.62,1,flash_small\n";
const char* const kPassThroughLine = "cl.3=0.000,0.112,0.224,0.331,0.440,0.528,0.610,0.655,0.640,0.571\n";

namespace {

// A fixed sequence, so every run and every machine benchmarks the same file.
class Numbers {
public:
    double next(double low, double high) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return low + (high - low) * static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }

private:
    std::uint64_t state_ = 42;
};

void appendLine(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

void appendLine(std::string& out, const char* format, ...) {
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    out.append(line, static_cast<std::size_t>(length));
    out += "\r\n";
}

void appendStation(std::string& out, Numbers& numbers, int station, int flag) {
    const double x = numbers.next(-3, 3);
    appendLine(out, "gunstation.%d=%d,3,1,350,%.0f,750,0.3,0.25,4,80,12,%.3f,%.3f,%.3f,%.2f,0.00,%.2f,mg_a,hit_small",
               station, flag, numbers.next(700, 900), x, numbers.next(-0.6, 0.6), numbers.next(-1, 3),
               numbers.next(-1, 1), numbers.next(-1, 1));
}

void appendGun(std::string& out, Numbers& numbers, int gun) {
    appendLine(out, "gun.%d=%.3f,%.3f,%.3f,%.2f,%.2f,1,flash_small", gun, numbers.next(-3, 3), numbers.next(-0.6, 0.6),
               numbers.next(-1, 3), numbers.next(-1, 1), numbers.next(-1, 1));
}

// About a hundred lines of an aircraft; four of them are gun station and gun lines.
void appendAircraft(std::string& out, Numbers& numbers, int copy) {
    appendLine(out, "; Kestrel Mk II, copy %d: flight model and armament", copy);
    appendLine(out, "; Guns harmonized by Zerkon - Range: 750.0 ft.  Elevation: 0.0 ft. - Sat Mar  7 18:02:11 2026");
    appendLine(out, "[AIRCRAFT]");
    appendLine(out, "name=Kestrel Mk II");
    appendLine(out, "wingspan=%.2f", numbers.next(9, 13));
    appendLine(out, "length=%.2f", numbers.next(8, 11));
    appendLine(out, "empty_weight=%.0f", numbers.next(2000, 3000));
    appendLine(out, "max_weight=%.0f", numbers.next(3000, 4000));
    out += "\r\n";
    for (int engine = 0; engine < 2; ++engine) {
        appendLine(out, "[ENGINE.%d]", engine);
        appendLine(out, "type=inline");
        appendLine(out, "power=%.0f", numbers.next(900, 1500));
        appendLine(out, "propeller_diameter=%.2f", numbers.next(2.8, 3.5));
        appendLine(out, "position=%.3f,%.3f,%.3f", numbers.next(-2, 2), numbers.next(0, 0.3), numbers.next(1, 3));
        out += "\r\n";
    }
    appendLine(out, "[AERO]");
    for (int row = 0; row < 40; ++row) {
        std::string record = "cl." + std::to_string(row) + "=";
        for (int column = 0; column < 10; ++column) {
            char value[32];
            std::snprintf(value, sizeof value, column ? ",%.3f" : "%.3f", numbers.next(-0.2, 1.6));
            record += value;
        }
        appendLine(out, "%s", record.c_str());
    }
    out += "\r\n";
    appendLine(out, "[CONTROLS]");
    for (int row = 0; row < 30; ++row)
        appendLine(out, "surface_%d=%.2f", row, numbers.next(0, 100));
    out += "\r\n";
    appendLine(out, "[GUNSTATIONS]");
    appendStation(out, numbers, 0, 1);
    appendStation(out, numbers, 1, 1);
    out += "\r\n";
    for (int station = 0; station < 2; ++station) {
        appendLine(out, "[GUNS.%d]", station);
        appendGun(out, numbers, 0);
    }
    out += "\r\n";
}

void appendGunPairs(std::string& out, Numbers& numbers, int pair) {
    const int station = pair % 10;
    appendStation(out, numbers, station, pair % 7 == 6 ? 0 : 1);
    appendGun(out, numbers, pair % 4);
}

} // namespace

const char* mixName(Mix mix) { return mix == Mix::realistic ? "realistic" : "gun-heavy"; }

std::string generateDpText(Mix mix, std::size_t size) {
    std::string text;
    text.reserve(size + 16 * 1024);
    Numbers numbers;
    for (int copy = 0; text.size() < size; ++copy) {
        if (mix == Mix::realistic)
            appendAircraft(text, numbers, copy);
        else
            appendGunPairs(text, numbers, copy);
    }
    return text;
}

LineCounts countLines(const std::string& text) {
    LineCounts counts;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        ++counts.lines;
        if (line.substr(0, 11) == "gunstation.")
            ++counts.gunStationLines;
        else if (line.substr(0, 4) == "gun.")
            ++counts.gunLines;
        start = end + 1;
    }
    return counts;
}

} // namespace zerkon::bench
