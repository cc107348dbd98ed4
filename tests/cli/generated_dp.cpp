#include "generated_dp.hpp"

#include <random>

namespace zerkon::testing {
namespace {

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

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

std::string generatedDpFile(unsigned seed) {
    Generator generate(seed);
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
    file += "[END]"; // the last line without a newline
    return file;
}

std::string withoutCarriageReturns(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

std::string withCarriageReturns(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

} // namespace zerkon::testing
