// Rewrites one sample line COUNT times, for counting instructions per line with callgrind, which is steady where
// timings on a shared machine are not:
//   zerkon_line_loop aimed|not-aimed|gun|plain COUNT
// Run it twice (say 1000 and 11000) and divide the difference of the totals by the difference of the counts.
#include "sample_lines.hpp"

#include <zerkon/dp_rewriter.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

int main(int argc, char** argv) {
    using namespace zerkon::bench;
    const char* const kinds[][2] = {{"aimed", kAimedStationLine},
                                    {"not-aimed", kUnaimedStationLine},
                                    {"gun", kGunLine},
                                    {"plain", kPassThroughLine}};
    const char* line = nullptr;
    for (const auto& kind : kinds)
        if (argc == 3 && std::strcmp(argv[1], kind[0]) == 0) line = kind[1];
    if (!line) {
        std::fprintf(stderr, "usage: zerkon_line_loop aimed|not-aimed|gun|plain COUNT\n");
        return 2;
    }
    const long count = std::atol(argv[2]);
    const std::tm time{};
    const zerkon::AimSettings settings = zerkon::makeAimSettings(900.0f, 1.0f);
    zerkon::DpRewriter rewriter(settings, zerkon::runComment(settings, time));
    std::string out;
    rewriter.rewriteLine(kAimedStationLine, out); // station 0 harmonized, so its gun lines are rewritten
    std::size_t written = 0;
    for (long i = 0; i < count; ++i) {
        out.clear();
        rewriter.rewriteLine(line, out);
        written += out.size();
    }
    std::printf("%zu bytes written\n", written);
    return 0;
}
