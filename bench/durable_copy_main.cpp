// The durable copy as a program of its own, for comparing with a whole command, start-up included:
//   zerkon_durable_copy FILE KEPT_AS
#include "durable_copy.hpp"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: zerkon_durable_copy FILE KEPT_AS\n", stderr);
        return 2;
    }
    const std::string reason = zerkon::bench::replaceByDurableCopy(argv[1], argv[2]);
    if (reason.empty()) return 0;
    std::fprintf(stderr, "zerkon_durable_copy: %s\n", reason.c_str());
    return 1;
}
