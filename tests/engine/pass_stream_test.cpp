// The pass copies plain lines in runs straight from the file; whatever the mix of line kinds and line ends, its
// output must be what rewriting every line on its own gives.
#include "text_stream.hpp"

#include <zerkon/dp_rewriter.hpp>
#include <zerkon/pass.hpp>

#include "memory_files.hpp"
#include "test_files.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace zerkon::testing;

// Every line on its own, through the simplest reading and writing there is.
std::string rewriteLineByLine(const std::string& bytes) {
    const zerkon::AimSettings settings = zerkon::makeAimSettings(900.0f, 1.0f);
    zerkon::DpRewriter rewriter(settings, zerkon::runComment(settings, fixedClock()));
    StringInput input(bytes);
    StringOutput output;
    zerkon::LineReader reader(input, 1);
    zerkon::CrLfWriter writer(output, 1);
    std::string rewritten;
    std::string_view line;
    while (reader.next(line)) {
        rewritten.clear();
        rewriter.rewriteLine(line, rewritten);
        writer.write(rewritten);
    }
    writer.flushBuffer();
    return output.bytes;
}

TEST(PassStream, GivesWhatRewritingEachLineAloneGivesForAnyMixOfLinesAndLineEnds) {
    const char* const lines[] = {"plain=1,2,3",
                                 "",
                                 "[AERO]",
                                 "[GUNSTATIONS]",
                                 "; Guns harmonized by someone",
                                 "; a comment",
                                 "gunstation.0=1,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0",
                                 "GUNSTATION.1=2,0,0,0,850,0,0,0,0,0,0,1.5,-0.3,2.0,0,0,0,0",
                                 "[GUNS.0]",
                                 "gun.0=1.5,-0.25,2,3.2,1.1,7,x",
                                 "general=yes",
                                 "a\rb"};
    const char* const endings[] = {"\r\n", "\n", "\r", "\r\r\n", ""};
    std::uint64_t state = 3;
    const auto next = [&state](std::uint64_t bound) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>((state >> 33) % bound);
    };
    TempFolder folder;
    for (int round = 0; round < 60; ++round) {
        std::string bytes;
        const std::size_t count = next(80);
        for (std::size_t i = 0; i < count; ++i) {
            bytes += lines[next(std::size(lines))];
            bytes += endings[next(std::size(endings))];
        }
        const std::string dp = folder.file("plane" + std::to_string(round) + ".dp");
        writeBytes(dp, bytes);
        zerkon::PassOptions options;
        options.localTime = fixedClock;
        const zerkon::PassResult result = zerkon::harmonizeFile(dp, {}, options);
        ASSERT_TRUE(result.ok()) << result.reason;
        EXPECT_EQ(readBytes(dp), rewriteLineByLine(bytes)) << "from \"" << bytes << '"';
    }
}

} // namespace
