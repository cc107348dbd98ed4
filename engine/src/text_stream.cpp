#include "text_stream.hpp"

#include <cstring>

namespace zerkon {

LineReader::LineReader(InputFile& file, std::size_t bufferSize) : file_(file), buffer_(bufferSize) {}

bool LineReader::next(std::string_view& line) {
    for (;;) {
        const char* start = buffer_.data() + lineStart_;
        const std::size_t available = translatedEnd_ - lineStart_;
        if (const void* newline = std::memchr(start, '\n', available)) {
            const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(newline) - start) + 1;
            line = std::string_view(start, length);
            lineStart_ += length;
            return true;
        }
        if (atEnd_ || error_) {
            if (available == 0) return false;
            line = std::string_view(start, available); // the last line, without a newline
            lineStart_ = translatedEnd_;
            return !error_;
        }
        fill();
    }
}

void LineReader::fill() {
    if (lineStart_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + lineStart_, rawEnd_ - lineStart_);
        translatedEnd_ -= lineStart_;
        rawEnd_ -= lineStart_;
        lineStart_ = 0;
    }
    if (rawEnd_ == buffer_.size()) buffer_.resize(buffer_.size() * 2); // a line longer than the buffer
    const std::size_t got = file_.read(buffer_.data() + rawEnd_, buffer_.size() - rawEnd_, error_);
    if (got == 0) atEnd_ = true;
    rawEnd_ += got;
    translate();
}

void LineReader::translate() {
    char* const data = buffer_.data();
    std::size_t from = translatedEnd_;
    std::size_t to = translatedEnd_;
    while (from < rawEnd_) {
        const void* found = std::memchr(data + from, '\r', rawEnd_ - from);
        const std::size_t cr = found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : rawEnd_;
        if (to != from) std::memmove(data + to, data + from, cr - from);
        to += cr - from;
        from = cr;
        if (cr == rawEnd_) break;
        if (cr + 1 == rawEnd_ && !atEnd_) break; // the next read tells whether an LF follows
        if (cr + 1 < rawEnd_ && data[cr + 1] == '\n') {
            data[to++] = '\n';
            from += 2;
        } else {
            data[to++] = '\r';
            from += 1;
        }
    }
    const std::size_t waiting = rawEnd_ - from; // a CR at the end of the data read so far, or nothing
    if (waiting > 0 && to != from) std::memmove(data + to, data + from, waiting);
    translatedEnd_ = to;
    rawEnd_ = to + waiting;
}

CrLfWriter::CrLfWriter(OutputFile& file, std::size_t bufferSize) : file_(file), limit_(bufferSize) {
    buffer_.reserve(bufferSize + 2);
}

void CrLfWriter::write(std::string_view text) {
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view piece = text.substr(0, newline);
        buffer_.append(piece);
        if (newline != std::string_view::npos) {
            buffer_ += "\r\n";
            text.remove_prefix(newline + 1);
        } else {
            text = {};
        }
        if (buffer_.size() >= limit_) flushBuffer();
    }
}

void CrLfWriter::flushBuffer() {
    if (!buffer_.empty() && !error_) file_.write(buffer_.data(), buffer_.size(), error_);
    buffer_.clear();
}

} // namespace zerkon
