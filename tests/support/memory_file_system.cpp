#include "memory_file_system.hpp"

#include <algorithm>
#include <cstring>

namespace zerkon::testing {
namespace {

class MemoryInput : public InputFile {
public:
    MemoryInput(MemoryFileSystem& files, std::shared_ptr<MemoryFileSystem::File> content)
        : files_(files), content_(std::move(content)) {}

    std::size_t read(char* buffer, std::size_t size, std::error_code& error) override {
        if (files_.fails(error)) return 0;
        const std::size_t count = std::min(size, content_->bytes.size() - offset_);
        std::memcpy(buffer, content_->bytes.data() + offset_, count);
        offset_ += count;
        return count;
    }
    void close(std::error_code& error) override { files_.fails(error); }

private:
    MemoryFileSystem& files_;
    std::shared_ptr<MemoryFileSystem::File> content_;
    std::size_t offset_ = 0;
};

class MemoryOutput : public OutputFile {
public:
    MemoryOutput(MemoryFileSystem& files, std::shared_ptr<MemoryFileSystem::File> content)
        : files_(files), content_(std::move(content)) {}

    void write(const char* data, std::size_t size, std::error_code& error) override {
        if (files_.fails(error)) {
            content_->bytes.append(data, size / 2); // a disk that fills up keeps part of the write
            return;
        }
        content_->bytes.append(data, size);
    }
    void flush(std::error_code& error) override { files_.fails(error); }
    void close(std::error_code& error) override { files_.fails(error); }

private:
    MemoryFileSystem& files_;
    std::shared_ptr<MemoryFileSystem::File> content_;
};

} // namespace

void MemoryFileSystem::put(const std::string& path, std::string content, std::time_t modified) {
    files_[path] = std::make_shared<File>(File{std::move(content), modified});
}

std::map<std::string, std::string> MemoryFileSystem::snapshot() const {
    std::map<std::string, std::string> copy;
    for (const auto& [path, file] : files_)
        copy[path] = file->bytes;
    return copy;
}

bool MemoryFileSystem::fails(std::error_code& error) {
    ++operations_;
    if (failAt_ == 0 || operations_ < failAt_ || (operations_ > failAt_ && !failForever_)) return false;
    error = std::make_error_code(std::errc::io_error);
    return true;
}

PathKind MemoryFileSystem::status(const std::string& path, std::error_code& error) {
    if (fails(error)) return PathKind::other;
    return has(path) ? PathKind::file : PathKind::absent;
}

std::unique_ptr<InputFile> MemoryFileSystem::openForReading(const std::string& path, std::error_code& error) {
    if (fails(error)) return nullptr;
    const auto found = files_.find(path);
    if (found == files_.end()) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return nullptr;
    }
    return std::make_unique<MemoryInput>(*this, found->second);
}

std::unique_ptr<OutputFile> MemoryFileSystem::createNew(const std::string& path, std::error_code& error) {
    if (fails(error)) return nullptr;
    if (has(path)) {
        error = std::make_error_code(std::errc::file_exists);
        return nullptr;
    }
    auto content = std::make_shared<File>(File{std::string(), ++clock_});
    files_[path] = content;
    return std::make_unique<MemoryOutput>(*this, content);
}

void MemoryFileSystem::rename(const std::string& from, const std::string& to, std::error_code& error) {
    if (fails(error)) return;
    if (!has(from)) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else if (has(to)) {
        error = std::make_error_code(std::errc::file_exists);
    } else {
        files_[to] = files_[from];
        files_.erase(from);
    }
}

void MemoryFileSystem::remove(const std::string& path, std::error_code& error) {
    if (fails(error)) return;
    if (files_.erase(path) == 0) error = std::make_error_code(std::errc::no_such_file_or_directory);
}

void MemoryFileSystem::link(const std::string& existing, const std::string& newName, std::error_code& error) {
    if (fails(error)) return;
    if (!linksSupported_) {
        error = std::make_error_code(std::errc::operation_not_supported);
    } else if (!has(existing)) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else if (has(newName)) {
        error = std::make_error_code(std::errc::file_exists);
    } else {
        files_[newName] = files_[existing]; // one content under two names
    }
}

void MemoryFileSystem::replace(const std::string& from, const std::string& to, std::error_code& error) {
    if (fails(error)) return;
    if (!linksSupported_) {
        error = std::make_error_code(std::errc::operation_not_supported);
    } else if (!has(from)) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else {
        files_[to] = files_[from];
        files_.erase(from);
    }
}

std::vector<std::string> MemoryFileSystem::list(const std::string& folder, std::error_code& error) {
    std::vector<std::string> names;
    if (fails(error)) return names;
    for (const auto& entry : files_)
        if (folderOf(entry.first) == folder) names.push_back(nameOf(entry.first));
    return names;
}

std::time_t MemoryFileSystem::modificationTime(const std::string& path, std::error_code& error) {
    if (fails(error)) return 0;
    const auto found = files_.find(path);
    if (found != files_.end()) return found->second->modified;
    error = std::make_error_code(std::errc::no_such_file_or_directory);
    return 0;
}

void MemoryFileSystem::copyOwnership(const std::string&, const std::string&, std::error_code& error) { fails(error); }

std::unique_ptr<FolderLock> MemoryFileSystem::lockFolder(const std::string&, std::error_code& error) {
    return fails(error) ? nullptr : std::make_unique<FolderLock>();
}

void MemoryFileSystem::syncFolder(const std::string&, std::error_code& error) { fails(error); }

} // namespace zerkon::testing
