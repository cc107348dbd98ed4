#include "memory_file_system.hpp"

#include <algorithm>
#include <cstring>

namespace zerkon::bench {
namespace {

class MemoryInput : public InputFile {
public:
    explicit MemoryInput(const std::string& content) : content_(content) {}
    std::size_t read(char* buffer, std::size_t size, std::error_code&) override {
        const std::size_t count = std::min(size, content_.size() - position_);
        std::memcpy(buffer, content_.data() + position_, count);
        position_ += count;
        return count;
    }
    void close(std::error_code&) override {}

private:
    const std::string& content_;
    std::size_t position_ = 0;
};

class MemoryOutput : public OutputFile {
public:
    explicit MemoryOutput(std::string& content) : content_(content) {}
    void write(const char* data, std::size_t size, std::error_code&) override { content_.append(data, size); }
    void flush(std::error_code&) override {}
    void close(std::error_code&) override {}

private:
    std::string& content_;
};

class UnsyncedOutput : public OutputFile {
public:
    explicit UnsyncedOutput(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}
    void write(const char* data, std::size_t size, std::error_code& error) override { file_->write(data, size, error); }
    void flush(std::error_code&) override {}
    void close(std::error_code& error) override { file_->close(error); }

private:
    std::unique_ptr<OutputFile> file_;
};

} // namespace

PathKind MemoryFileSystem::status(const std::string& path, std::error_code&) {
    return files.count(path) ? PathKind::file : PathKind::absent;
}

std::unique_ptr<InputFile> MemoryFileSystem::openForReading(const std::string& path, std::error_code& error) {
    const auto found = files.find(path);
    if (found == files.end()) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return nullptr;
    }
    return std::make_unique<MemoryInput>(found->second);
}

std::unique_ptr<OutputFile> MemoryFileSystem::createNew(const std::string& path, std::error_code& error) {
    const auto [created, isNew] = files.emplace(path, std::string());
    if (!isNew) {
        error = std::make_error_code(std::errc::file_exists);
        return nullptr;
    }
    created->second.reserve(reserve);
    return std::make_unique<MemoryOutput>(created->second);
}

void MemoryFileSystem::rename(const std::string& from, const std::string& to, std::error_code& error) {
    const auto found = files.find(from);
    if (found == files.end() || files.count(to)) {
        error =
            std::make_error_code(found == files.end() ? std::errc::no_such_file_or_directory : std::errc::file_exists);
        return;
    }
    files[to] = std::move(found->second);
    files.erase(from);
}

void MemoryFileSystem::remove(const std::string& path, std::error_code& error) {
    if (!files.erase(path)) error = std::make_error_code(std::errc::no_such_file_or_directory);
}

PathKind UnsyncedFileSystem::status(const std::string& path, std::error_code& error) {
    return machineFileSystem().status(path, error);
}

std::unique_ptr<InputFile> UnsyncedFileSystem::openForReading(const std::string& path, std::error_code& error) {
    return machineFileSystem().openForReading(path, error);
}

std::unique_ptr<OutputFile> UnsyncedFileSystem::createNew(const std::string& path, std::error_code& error) {
    auto file = machineFileSystem().createNew(path, error);
    return file ? std::make_unique<UnsyncedOutput>(std::move(file)) : nullptr;
}

void UnsyncedFileSystem::rename(const std::string& from, const std::string& to, std::error_code& error) {
    machineFileSystem().rename(from, to, error);
}

void UnsyncedFileSystem::remove(const std::string& path, std::error_code& error) {
    machineFileSystem().remove(path, error);
}

} // namespace zerkon::bench
