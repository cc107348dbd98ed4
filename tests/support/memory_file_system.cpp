#include "memory_file_system.hpp"

#include <algorithm>
#include <cstring>

namespace zerkon::testing {
namespace {

class MemoryInput : public InputFile {
public:
    MemoryInput(std::shared_ptr<MemoryFileSystem::File> content, const MemoryFileSystem& files)
        : content_(std::move(content)), files_(files) {}

    std::size_t read(char* buffer, std::size_t size, std::error_code&) override {
        const std::size_t count = std::min(size, content_->bytes.size() - offset_);
        std::memcpy(buffer, content_->bytes.data() + offset_, count);
        offset_ += count;
        return count;
    }
    FileIdentity identity(std::error_code&) override { return files_.identityOf(content_); }
    void close(std::error_code&) override {}

private:
    std::shared_ptr<MemoryFileSystem::File> content_;
    const MemoryFileSystem& files_;
    std::size_t offset_ = 0;
};

class MemoryOutput : public OutputFile {
public:
    explicit MemoryOutput(std::shared_ptr<MemoryFileSystem::File> content) : content_(std::move(content)) {}

    void write(const char* data, std::size_t size, std::error_code&) override { content_->bytes.append(data, size); }
    void flush(std::error_code&) override {}
    void close(std::error_code&) override {}

private:
    std::shared_ptr<MemoryFileSystem::File> content_;
};

} // namespace

std::shared_ptr<MemoryFileSystem::File> MemoryFileSystem::newFile(std::string content, std::time_t changed) {
    return std::make_shared<File>(File{std::move(content), changed, ++inodes_});
}

MemoryFileSystem::MemoryFileSystem(const std::map<std::string, std::string>& files) {
    for (const auto& [path, content] : files)
        put(path, content);
}

void MemoryFileSystem::put(const std::string& path, std::string content, std::time_t changed) {
    files_[path] = newFile(std::move(content), changed);
}

// A file no name holds any more still has its inode, with no links.
FileIdentity MemoryFileSystem::identityOf(const std::shared_ptr<File>& file) const {
    const auto links =
        std::count_if(files_.begin(), files_.end(), [&](const auto& entry) { return entry.second == file; });
    return {PathKind::file, 1, file->inode, static_cast<std::uint64_t>(links)};
}

FileIdentity MemoryFileSystem::identity(const std::string& path, std::error_code&) {
    const auto found = files_.find(path);
    return found == files_.end() ? FileIdentity{} : identityOf(found->second);
}

std::map<std::string, std::string> MemoryFileSystem::snapshot() const {
    std::map<std::string, std::string> copy;
    for (const auto& [path, file] : files_)
        copy[path] = file->bytes;
    return copy;
}

PathKind MemoryFileSystem::status(const std::string& path, std::error_code&) {
    return has(path) ? PathKind::file : PathKind::absent;
}

std::unique_ptr<InputFile> MemoryFileSystem::openForReading(const std::string& path, std::error_code& error) {
    const auto found = files_.find(path);
    if (found == files_.end()) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return nullptr;
    }
    return std::make_unique<MemoryInput>(found->second, *this);
}

std::unique_ptr<OutputFile> MemoryFileSystem::createNew(const std::string& path, NewFileAccess,
                                                        std::error_code& error) {
    if (has(path)) {
        error = std::make_error_code(std::errc::file_exists);
        return nullptr;
    }
    auto content = newFile(std::string(), ++clock_);
    files_[path] = content;
    return std::make_unique<MemoryOutput>(content);
}

// A replace that leaves an existing name alone.
void MemoryFileSystem::rename(const std::string& from, const std::string& to, std::error_code& error) {
    if (has(from) && has(to))
        error = std::make_error_code(std::errc::file_exists);
    else
        replace(from, to, error);
}

void MemoryFileSystem::remove(const std::string& path, std::error_code& error) {
    if (files_.erase(path) == 0) error = std::make_error_code(std::errc::no_such_file_or_directory);
}

void MemoryFileSystem::link(const std::string& existing, const std::string& newName, std::error_code& error) {
    if (!has(existing)) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else if (has(newName)) {
        error = std::make_error_code(std::errc::file_exists);
    } else {
        files_[newName] = files_[existing]; // one content under two names
        files_[newName]->changed = ++clock_;
    }
}

void MemoryFileSystem::replace(const std::string& from, const std::string& to, std::error_code& error) {
    if (!has(from)) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else {
        files_[to] = files_[from];
        files_.erase(from);
        files_[to]->changed = ++clock_;
    }
}

std::vector<std::string> MemoryFileSystem::list(const std::string& folder, std::error_code&) {
    std::vector<std::string> names;
    for (const auto& entry : files_)
        if (folderOf(entry.first) == folder) names.push_back(nameOf(entry.first));
    return names;
}

std::chrono::system_clock::time_point MemoryFileSystem::changeTime(const std::string& path, std::error_code& error) {
    const auto found = files_.find(path);
    if (found != files_.end()) return std::chrono::system_clock::from_time_t(found->second->changed);
    error = std::make_error_code(std::errc::no_such_file_or_directory);
    return {};
}

} // namespace zerkon::testing
