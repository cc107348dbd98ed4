#include "dp_generator.hpp"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <random>

namespace zerkon::testing {
namespace {

// A fixed sequence, so that every run and every machine sees the same file.
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

void appendAircraft(std::string& out, Numbers& numbers, int copy) {
    const bool withOddLines = copy % 50 == 0;
    appendLine(out, "; Kestrel Mk II, copy %d: flight model and armament", copy);
    appendLine(out, "; Guns harmonized by Zerkon - Range: 750.0 ft.  Elevation: 0.0 ft. - Sat Mar  7 18:02:11 2026");
    appendLine(out, "[AIRCRAFT]");
    appendLine(out, "name=Kestrel Mk II");
    appendLine(out, "wingspan=%.2f", numbers.next(9, 13));
    appendLine(out, "length=%.2f", numbers.next(8, 11));
    appendLine(out, "empty_weight=%.0f", numbers.next(2000, 3000));
    appendLine(out, "max_weight=%.0f", numbers.next(3000, 4000));
    if (withOddLines) {
        appendLine(out, "; notes\rwith a lone CR");
        appendLine(out, "description=%s", std::string(300, 'd').c_str());
    }
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
    const int stations = withOddLines ? 3 : 2;
    for (int station = 0; station < stations; ++station)
        appendStation(out, numbers, station, station < 2 ? 1 : 2); // a flag of 2: not harmonized
    out += "\r\n";
    for (int station = 0; station < stations; ++station) {
        appendLine(out, "[GUNS.%d]", station);
        appendGun(out, numbers, 0);
    }
    out += "\r\n";
}

void appendGunPair(std::string& out, Numbers& numbers, int pair) {
    appendStation(out, numbers, pair % 10, pair % 7 == 6 ? 0 : 1);
    appendGun(out, numbers, pair % 4);
}

class RandomShapes {
public:
    explicit RandomShapes(unsigned seed) : random_(seed) {}

    int below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(random_); }
    bool chance(int percent) { return below(100) < percent; }

    std::string number(double low, double high, int decimals) {
        const double value = std::uniform_real_distribution<double>(low, high)(random_);
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        return text;
    }

    // Mostly plain numbers, sometimes the shapes that make a field unreadable or odd.
    std::string field(double low, double high) {
        switch (below(40)) {
        case 0:
            return "nan";
        case 1:
            return "x1";
        case 2:
            return "";
        case 3:
            return " 1.5";
        case 4:
            return "1e2";
        case 5:
            return "-0";
        default:
            return number(low, high, below(5));
        }
    }

    std::string gunStationLine(int station) {
        static const char* const kFlags[] = {"0", "1", "1", "1", "2", "x", ""};
        std::string line = chance(10) ? "GunStation." : "gunstation.";
        line += std::to_string(station) + "=" + kFlags[below(7)];
        for (int i = 1; i <= 3; ++i)
            line += "," + std::to_string(below(400));
        const int speedShape = below(20);
        line += "," + (speedShape == 0 ? "nan" : speedShape == 1 ? field(0, 10) : number(300, 1000, below(2)));
        for (int i = 5; i <= 10; ++i)
            line += "," + std::to_string(below(100));
        line += "," + field(-3, 3) + "," + field(-1, 1) + "," + field(-4, 300); // X, Y, Z (Z near the range too)
        line += "," + field(-15, 15) + "," + field(-2, 2) + "," + (chance(15) ? field(-20, 20) : field(-2, 2));
        const int tailFields = chance(10) ? -below(6) : below(3);
        if (tailFields < 0) { // a short record: cut some of the fields off again
            for (int i = 0; i < -tailFields; ++i)
                line.erase(line.rfind(','));
        } else {
            for (int i = 0; i < tailFields; ++i)
                line += ",tail" + std::to_string(i);
        }
        if (chance(3)) line += "," + std::string(300, 'L'); // longer than the 255 characters of the classic buffer
        return line;
    }

    std::string gunLine(int number) {
        std::string line = (chance(10) ? "GUN." : "gun.") + std::to_string(number) + "=" + field(-3, 3);
        const int fields = chance(10) ? below(6) : 6 + below(3);
        for (int i = 1; i <= fields; ++i)
            line += "," + (i <= 5 ? field(-3, 3) : "flash");
        return line;
    }

private:
    std::mt19937 random_;
};

} // namespace

const char* mixName(Mix mix) { return mix == Mix::realistic ? "realistic" : "gun-heavy"; }

std::string generatedDpText(Mix mix, std::size_t size) {
    std::string text;
    text.reserve(size + 16 * 1024);
    Numbers numbers;
    for (int copy = 0; text.size() < size; ++copy) {
        if (mix == Mix::realistic)
            appendAircraft(text, numbers, copy);
        else
            appendGunPair(text, numbers, copy);
    }
    return text;
}

std::string largeDpFile(std::size_t size) { return generatedDpText(Mix::realistic, size) + "end=1"; }

std::string generatedDpFile(unsigned seed) {
    RandomShapes generate(seed);
    std::string file;
    const auto add = [&](const std::string& line) { file += line + "\r\n"; };
    add("; generated aircraft " + std::to_string(seed));
    if (generate.chance(50)) add("; Guns harmonized by Zerkon - Range: 750.0 ft.  Elevation: 0.0 ft. - then");
    add("[AIRCRAFT]");
    add("name=generated");
    if (generate.chance(20)) add("description=" + std::string(200 + generate.below(400), 'd'));
    const int stations = 1 + generate.below(10);
    const int gunStationSections = generate.chance(10) ? 2 : 1;
    for (int section = 0; section < gunStationSections; ++section) {
        add(generate.chance(10) ? "[GunStations]" : "[GUNSTATIONS]");
        for (int s = 0; s < stations; ++s)
            add(generate.gunStationLine(generate.chance(10) ? generate.below(12) : s));
    }
    add("");
    for (int s = 0; s < stations + 1; ++s) {
        add((generate.chance(10) ? "[guns." : "[GUNS.") + std::to_string(s) + "]");
        const int guns = generate.below(4);
        for (int g = 0; g < guns; ++g)
            add(generate.gunLine(g));
        if (generate.chance(5)) add("; guns HARMONIZED earlier, by hand");
    }
    file += "[END]";
    return file;
}

std::vector<std::string> linesAsRead(std::string_view bytes) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        lines.back() += bytes[i];
        if (bytes[i] == '\n') lines.emplace_back();
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

std::string withCarriageReturns(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::tm fixedClock() {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 7;
    time.tm_hour = 5;
    time.tm_wday = 1;
    return time;
}

} // namespace zerkon::testing
