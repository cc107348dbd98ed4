// Harmonizes a whole folder in one start of the program, so the Windows builds can be compared with the native one
// under Wine without starting Wine once per file (same-bytes-under-wine.sh).
//   harmonize_folder generate FOLDER COUNT   writes COUNT generated DP files into FOLDER
//   harmonize_folder FOLDER                  harmonizes every .dp file there with the golden files' clock, prints one
//                                            line per file, and fails if any pass failed
#include <zerkon/pass.hpp>

#include "dp_generator.hpp"
#include "test_files.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Setting {
    const char* range;
    const char* elevation;
};
// The files take these in turn, so the arithmetic is not checked at one setting only.
constexpr Setting kSettings[] = {{"900", "1"}, {"150", "0"}, {"2500", "-12.5"}, {"437.25", "6"}, {"1e3", "0.001"}};

int generate(const std::string& folder, int count) {
    for (int seed = 0; seed < count; ++seed) {
        char name[32];
        std::snprintf(name, sizeof name, "generated_%03d.dp", seed);
        const std::string bytes = zerkon::testing::generatedDpFile(static_cast<unsigned>(seed));
        std::ofstream out(std::filesystem::path(folder) / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.good()) {
            std::fprintf(stderr, "harmonize_folder: cannot write %s in %s\n", name, folder.c_str());
            return 1;
        }
    }
    return 0;
}

int harmonize(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".dp") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());

    zerkon::PassOptions options;
    options.localTime = zerkon::testing::fixedClock;
    int failures = 0;
    for (std::size_t index = 0; index < names.size(); ++index) {
        const Setting& setting = kSettings[index % std::size(kSettings)];
        const zerkon::SettingsReading reading = zerkon::readRunSettings(setting.range, setting.elevation);
        const zerkon::PassResult result = zerkon::harmonizeFile(folder + "/" + names[index], reading.settings, options);
        if (!result.ok()) {
            std::printf("%s: %s\n", names[index].c_str(), result.reason.c_str());
            ++failures;
            continue;
        }
        std::printf("%s: %d stations aimed, %d gun lines rewritten%s%s\n", names[index].c_str(),
                    result.counts.stationsAimed, result.counts.gunLinesRewritten, result.warning.empty() ? "" : "; ",
                    result.warning.c_str());
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "generate") return generate(argv[2], std::atoi(argv[3]));
    if (argc == 2) return harmonize(argv[1]);
    std::fprintf(stderr, "usage: harmonize_folder generate FOLDER COUNT | harmonize_folder FOLDER\n");
    return 2;
}
