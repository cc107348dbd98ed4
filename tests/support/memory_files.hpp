// Files held in memory, for tests of the streaming code that need no disk.
#pragma once

#include <zerkon/file_system.hpp>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace zerkon::testing {

// Hands out its bytes at most `step` at a time, so every line end can be made to fall across a read.
class StringInput : public InputFile {
public:
    explicit StringInput(std::string bytes, std::size_t step = std::numeric_limits<std::size_t>::max())
        : bytes_(std::move(bytes)), step_(step) {}
    std::size_t read(char* buffer, std::size_t size, std::error_code&) override {
        const std::size_t count = std::min({size, step_, bytes_.size() - position_});
        std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        return count;
    }
    FileIdentity identity(std::error_code&) override { return {PathKind::file, 0, 0, 1}; }
    void close(std::error_code&) override {}

private:
    std::string bytes_;
    std::size_t step_;
    std::size_t position_ = 0;
};

class StringOutput : public OutputFile {
public:
    std::string bytes;
    void write(const char* data, std::size_t size, std::error_code&) override { bytes.append(data, size); }
    void flush(std::error_code&) override {}
    void close(std::error_code&) override {}
};

} // namespace zerkon::testing
