#include "large_dp_file.hpp"

namespace zerkon::testing {

std::string largeDpFile(std::size_t size) {
    std::string file =
        "; Guns harmonized by Zerkon - Range: 750.0 ft.  Elevation: 0.0 ft. - Sat Mar  7 18:02:11 2026\r\n"
        "[AIRCRAFT]\r\nname=Reliability test\r\n[GUNSTATIONS]\r\n";
    for (int station = 0; station < 10; ++station)
        file += "gunstation." + std::to_string(station) + "=" + std::to_string(station % 3) +
                ",3,1,350,835,750,0.3,0.25,4,80,12,-2.410,-0.080,1.150,0.40,0.00,0.62,mg_a,hit_small\r\n";
    for (int block = 0; file.size() < size; ++block) {
        const std::string station = std::to_string(block % 10);
        file += "[GUNS." + station + "]\r\n";
        for (int gun = 0; gun < 8; ++gun)
            file += "gun." + std::to_string(gun) + "=-2.410,-0.080,1.150,0.40,0.62,1,flash_small\r\n";
        file += "; block " + std::to_string(block) + "\rwith a lone CR\r\n";
        if (block % 50 == 0) file += "[NOTES]\r\ntext=" + std::string(300, 'n') + "\r\n";
    }
    file += "end=1";
    return file;
}

} // namespace zerkon::testing
