// Text-mode translation done by the engine itself, so no platform's runtime decides it: a CR LF read is one
// newline and a lone CR stays; every newline written becomes CR LF. Every other byte, NUL included, passes as it is.
#pragma once

#include <zerkon/file_system.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace zerkon {

// The buffers of the reader and the writer: a real DP file (up to 60 KB) in one read and one write, and small enough to
// come from the heap that the previous file freed rather than from fresh pages.
constexpr std::size_t kTextBufferSize = 64 * 1024;

// Splits a file into whole lines, each with its newline (the last may have none). The memory held grows with the
// longest line, never with the file.
class LineReader {
public:
    explicit LineReader(InputFile& file, std::size_t bufferSize = kTextBufferSize);

    // The next line, its CR LF turned into a newline; valid until the next call. False at the end of the file or on
    // a read failure (see error()).
    bool next(std::string_view& line);

    // Set on a read failure, and on text in UTF-16 or UTF-32 (it starts with a byte-order mark): read byte by byte,
    // such text would be corrupted.
    const std::error_code& error() const { return error_; }

private:
    void fill();
    void refuseWideText();

    InputFile& file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_;
    std::size_t lineStart_ = 0; // first byte not yet handed out
    std::size_t end_ = 0;       // bytes before this came from the file
    bool atEnd_ = false;
    bool startChecked_ = false;
    std::error_code error_;
};

// Collects text and writes it with every newline as CR LF, in large blocks.
class CrLfWriter {
public:
    explicit CrLfWriter(OutputFile& file, std::size_t bufferSize = kTextBufferSize);

    void write(std::string_view text);
    void flushBuffer(); // hands what is buffered to the file (not to the disk)
    const std::error_code& error() const { return error_; }

private:
    void append(const char* data, std::size_t size);

    OutputFile& file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_;
    std::size_t used_ = 0;
    std::error_code error_;
};

} // namespace zerkon
