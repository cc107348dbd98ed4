#include "text_stream.hpp"

#include <cstring>

namespace zerkon {
namespace {

class WideTextCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "zerkon-text"; }
    std::string message(int) const override {
        return "it is UTF-16 or UTF-32 text (it starts with a byte-order mark), not DP text";
    }
};

} // namespace

LineReader::LineReader(InputFile& file, std::size_t bufferSize)
    : file_(file), buffer_(new char[bufferSize]), size_(bufferSize) {}

bool LineReader::next(std::string_view& line) {
    for (std::size_t searched = lineStart_;;) {
        char* const start = buffer_.get() + lineStart_;
        if (void* found = std::memchr(buffer_.get() + searched, '\n', end_ - searched)) {
            char* const newline = static_cast<char*>(found);
            std::size_t length = static_cast<std::size_t>(newline - start) + 1;
            lineStart_ += length;
            if (length >= 2 && newline[-1] == '\r') { // the CR becomes the newline, and the LF after it is left out
                newline[-1] = '\n';
                --length;
            }
            line = std::string_view(start, length);
            return true;
        }
        if (atEnd_ || error_) {
            const std::size_t rest = end_ - lineStart_;
            if (rest == 0) return false;
            line = std::string_view(start, rest); // the last line, without a newline
            lineStart_ = end_;
            return !error_;
        }
        searched = end_ - lineStart_; // the bytes already searched move with the line
        fill();
        searched += lineStart_;
    }
}

void LineReader::fill() {
    startChecked_ = startChecked_ || lineStart_ > 0; // a line was handed out: no byte-order mark came before it
    if (lineStart_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + lineStart_, end_ - lineStart_);
        end_ -= lineStart_;
        lineStart_ = 0;
    }
    if (end_ == size_) { // a line longer than the buffer
        std::unique_ptr<char[]> larger(new char[size_ * 2]);
        std::memcpy(larger.get(), buffer_.get(), end_);
        buffer_ = std::move(larger);
        size_ *= 2;
    }
    const std::size_t got = file_.read(buffer_.get() + end_, size_ - end_, error_);
    if (got == 0) atEnd_ = true;
    end_ += got;
    if (!startChecked_) refuseWideText();
}

void LineReader::refuseWideText() {
    const auto* start = reinterpret_cast<const unsigned char*>(buffer_.get());
    const bool utf16 = end_ >= 2 && ((start[0] == 0xFF && start[1] == 0xFE) || (start[0] == 0xFE && start[1] == 0xFF));
    const bool utf32BigEndian = end_ >= 4 && start[0] == 0 && start[1] == 0 && start[2] == 0xFE && start[3] == 0xFF;
    static const WideTextCategory category;
    if (utf16 || utf32BigEndian) error_ = std::error_code(1, category); // UTF-32 little-endian starts as UTF-16 does
    startChecked_ = error_ || atEnd_ || end_ >= 4;
}

CrLfWriter::CrLfWriter(OutputFile& file, std::size_t bufferSize)
    : file_(file), buffer_(new char[bufferSize]), size_(bufferSize) {}

void CrLfWriter::append(const char* data, std::size_t size) {
    while (size > size_ - used_) {
        const std::size_t part = size_ - used_;
        std::memcpy(buffer_.get() + used_, data, part);
        used_ = size_;
        flushBuffer();
        data += part;
        size -= part;
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
}

void CrLfWriter::write(std::string_view text) {
    while (!text.empty()) {
        const void* found = std::memchr(text.data(), '\n', text.size());
        if (!found) {
            append(text.data(), text.size());
            return;
        }
        const std::size_t newline = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
        append(text.data(), newline);
        append("\r\n", 2);
        text.remove_prefix(newline + 1);
    }
}

void CrLfWriter::flushBuffer() {
    if (used_ > 0 && !error_) file_.write(buffer_.get(), used_, error_);
    used_ = 0;
}

} // namespace zerkon
