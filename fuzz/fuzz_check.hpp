// A property that fails stops the fuzzer with the line that broke it, so the input is kept as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace zerkon::fuzz {

inline void require(bool holds, const char* property, std::string_view line, std::string_view out) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n  line: \"%.*s\"\n  out:  \"%.*s\"\n", property,
                 static_cast<int>(line.size()), line.data(), static_cast<int>(out.size()), out.data());
    std::abort();
}

} // namespace zerkon::fuzz
