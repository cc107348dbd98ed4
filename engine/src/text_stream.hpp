// Text-mode translation done by the engine itself, so no platform's runtime decides it: a CR LF read is one
// newline and a lone CR stays; every newline written becomes CR LF. Every other byte, NUL included, passes as it is.
#pragma once

#include <zerkon/file_system.hpp>

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace zerkon {

// Splits a file into whole lines, each with its newline (the last may have none). The memory held grows with the
// longest line, never with the file.
class LineReader {
public:
    explicit LineReader(InputFile& file, std::size_t bufferSize = 256 * 1024);

    // The next line, valid until the next call; false at the end of the file or on a read failure (see error()).
    bool next(std::string_view& line);
    const std::error_code& error() const { return error_; }

private:
    void fill();
    void translate();

    InputFile& file_;
    std::vector<char> buffer_;
    std::size_t lineStart_ = 0;     // first byte not yet handed out
    std::size_t translatedEnd_ = 0; // bytes before this have had CR LF turned into LF
    std::size_t rawEnd_ = 0;        // bytes before this came from the file
    bool atEnd_ = false;
    std::error_code error_;
};

// Collects text and writes it with every newline as CR LF, in large blocks.
class CrLfWriter {
public:
    explicit CrLfWriter(OutputFile& file, std::size_t bufferSize = 256 * 1024);

    void write(std::string_view text);
    void flushBuffer(); // hands what is buffered to the file (not to the disk)
    const std::error_code& error() const { return error_; }

private:
    OutputFile& file_;
    std::string buffer_;
    std::size_t limit_;
    std::error_code error_;
};

} // namespace zerkon
