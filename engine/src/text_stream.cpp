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

bool LineReader::nextAsRead(std::string_view& line) {
    for (std::size_t searched = lineStart_;;) {
        const char* start = buffer_.get() + lineStart_;
        if (const void* newline = std::memchr(buffer_.get() + searched, '\n', end_ - searched)) {
            const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(newline) - start) + 1;
            line = std::string_view(start, length);
            lineStart_ += length;
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

bool LineReader::nextLinesAsRead(std::string_view& lines) {
    for (std::size_t searched = lineStart_;;) {
        const char* const data = buffer_.get();
        for (std::size_t i = end_; i > searched; --i) { // a read mostly stops inside a line, close to its end
            if (data[i - 1] == '\n') {
                lines = std::string_view(data + lineStart_, i - lineStart_);
                lineStart_ = i;
                return true;
            }
        }
        if (atEnd_ || error_) {
            const std::size_t rest = end_ - lineStart_;
            if (rest == 0) return false;
            lines = std::string_view(data + lineStart_, rest); // the last line, without a newline
            lineStart_ = end_;
            return !error_;
        }
        searched = end_ - lineStart_;
        fill();
        searched += lineStart_;
    }
}

std::string_view LineReader::translate(std::string_view lineAsRead) {
    const std::size_t size = lineAsRead.size();
    if (size < 2 || lineAsRead[size - 1] != '\n' || lineAsRead[size - 2] != '\r') return lineAsRead;
    // The line lies in our own buffer: the CR becomes the newline, and the LF after it is left out.
    char* const cr = buffer_.get() + (lineAsRead.data() - buffer_.get()) + size - 2;
    *cr = '\n';
    return lineAsRead.substr(0, size - 1);
}

bool LineReader::next(std::string_view& line) {
    if (!nextAsRead(line)) return false;
    line = translate(line);
    return true;
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

void CrLfWriter::writeAsRead(std::string_view line) {
    const std::size_t size = line.size();
    if (size > 0 && line[size - 1] == '\n' && (size < 2 || line[size - 2] != '\r')) {
        append(line.data(), size - 1);
        append("\r\n", 2);
    } else {
        append(line.data(), size);
    }
}

void CrLfWriter::flushBuffer() {
    if (used_ > 0 && !error_) file_.write(buffer_.get(), used_, error_);
    used_ = 0;
}

} // namespace zerkon
