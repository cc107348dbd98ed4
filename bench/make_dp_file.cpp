// Writes a generated DP file of a given size, for measuring the command line on files larger than any aircraft:
//   zerkon_make_dp_file realistic|gun-heavy SIZE_MIB PATH
#include "dp_generator.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    using zerkon::testing::Mix;
    if (argc != 4 || (std::strcmp(argv[1], "realistic") != 0 && std::strcmp(argv[1], "gun-heavy") != 0)) {
        std::fprintf(stderr, "usage: zerkon_make_dp_file realistic|gun-heavy SIZE_MIB PATH\n");
        return 2;
    }
    const Mix mix = std::strcmp(argv[1], "realistic") == 0 ? Mix::realistic : Mix::gunHeavy;
    const std::size_t size = std::strtoull(argv[2], nullptr, 10) * 1024 * 1024;
    // One block of whole lines, written again and again: the file's memory never has to be held at once.
    const std::string block = zerkon::testing::generatedDpText(mix, 4 * 1024 * 1024);
    std::FILE* file = std::fopen(argv[3], "wb");
    if (!file) {
        std::perror(argv[3]);
        return 1;
    }
    for (std::size_t written = 0; written < size; written += block.size()) {
        if (std::fwrite(block.data(), 1, block.size(), file) != block.size()) {
            std::perror(argv[3]);
            return 1;
        }
    }
    if (std::fclose(file) != 0) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
