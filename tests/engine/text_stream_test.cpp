// The line splitting and CR LF translation against a plain reference, with buffers and reads so small that every
// line end, CR LF included, falls across a read and every line outgrows the buffer somewhere.
#include "text_stream.hpp"

#include "dp_generator.hpp"
#include "memory_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using zerkon::testing::StringInput;
using zerkon::testing::StringOutput;

// The plain reference: a CR LF is one newline, a lone CR stays, and every newline ends a line.
using zerkon::testing::linesAsRead;

std::string withCrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return zerkon::testing::withCarriageReturns(text);
}

const std::string kTexts[] = {
    "",
    "\n",
    "\r\n",
    "\r",
    "a",
    "plain\r\nlines\r\nonly\r\n",
    "lone\nline feeds\nhere",
    "lone\rcarriage\rreturns\r",
    "double\r\r\nreturn\r\r",
    "\r\n\r\n\n\n\r\r\n",
    "last line without an end\r\nlast",
    "a line much longer than any of the small buffers used here, so the reader must grow its buffer\r\nshort\r\n",
    "nul\0byte\r\n\xe9\xff\r\n"s,
};

// Written back, the lines come out with every newline as CR LF, whatever the buffer sizes.
TEST(TextStream, SplitsAndTranslatesLikeTheReferenceWhateverTheBufferAndReadSizes) {
    for (const std::string& bytes : kTexts) {
        const std::vector<std::string> expected = linesAsRead(bytes);
        for (const std::size_t bufferSize : {1, 2, 3, 7, 64, 256 * 1024}) {
            for (const std::size_t step : {1, 2, 5, 1000}) {
                SCOPED_TRACE("text \"" + bytes + "\", buffer " + std::to_string(bufferSize) + ", reads of " +
                             std::to_string(step));
                StringInput input(bytes, step);
                zerkon::LineReader reader(input, bufferSize);
                StringOutput output;
                zerkon::CrLfWriter writer(output, bufferSize);
                std::vector<std::string> lines;
                std::string_view line;
                while (reader.next(line)) {
                    lines.emplace_back(line);
                    writer.write(line);
                }
                writer.flushBuffer();
                EXPECT_EQ(lines, expected);
                EXPECT_FALSE(reader.error());
                EXPECT_EQ(output.bytes, withCrLf(expected));
            }
        }
    }
}

} // namespace
