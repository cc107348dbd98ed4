#include "faulty_file_system.hpp"

namespace zerkon::testing {
namespace {

class FaultyInput : public InputFile {
public:
    FaultyInput(std::unique_ptr<InputFile> file, FaultyFileSystem& owner) : file_(std::move(file)), owner_(owner) {}
    std::size_t read(char* buffer, std::size_t size, std::error_code& error) override {
        if (owner_.shouldFail(Operation::read, error)) return 0;
        return file_->read(buffer, size, error);
    }
    FileIdentity identity(std::error_code& error) override {
        if (owner_.shouldFail(Operation::identity, error)) return {};
        return file_->identity(error);
    }
    void close(std::error_code& error) override {
        if (owner_.shouldFail(Operation::close, error)) return;
        file_->close(error);
    }

private:
    std::unique_ptr<InputFile> file_;
    FaultyFileSystem& owner_;
};

class FaultyOutput : public OutputFile {
public:
    FaultyOutput(std::unique_ptr<OutputFile> file, FaultyFileSystem& owner) : file_(std::move(file)), owner_(owner) {}
    void write(const char* data, std::size_t size, std::error_code& error) override {
        if (owner_.shouldFail(Operation::write, error)) {
            std::error_code ignored;
            file_->write(data, size / 2, ignored); // a disk that fills up keeps part of the write
            return;
        }
        file_->write(data, size, error);
    }
    void flush(std::error_code& error) override {
        if (owner_.shouldFail(Operation::flush, error)) return;
        file_->flush(error);
    }
    void close(std::error_code& error) override {
        if (owner_.shouldFail(Operation::close, error)) return;
        file_->close(error);
    }

private:
    std::unique_ptr<OutputFile> file_;
    FaultyFileSystem& owner_;
};

} // namespace

const char* operationName(Operation operation) {
    // clang-format off
    static constexpr const char* kNames[kOperationCount] = {
        "status",         "identity",          "open",        "create",      "read",
        "write",          "flush",             "close",       "rename",      "remove",
        "link",           "replace",           "list",        "change time", "resolve links",
        "copy identity",  "check replaceable", "lock folder", "sync folder"};
    // clang-format on
    return kNames[static_cast<int>(operation)];
}

FaultyFileSystem& FaultyFileSystem::failOn(Operation operation, int occurrence, std::error_code error,
                                           bool keepsFailing) {
    hasFailing_ = true;
    failing_ = operation;
    occurrence_ = occurrence;
    error_ = error;
    keepsFailing_ = keepsFailing;
    return *this;
}

FaultyFileSystem& FaultyFileSystem::failCall(int n, bool keepsFailing) {
    hasFailing_ = false;
    occurrence_ = n;
    error_ = std::make_error_code(std::errc::io_error);
    keepsFailing_ = keepsFailing;
    return *this;
}

FaultyFileSystem& FaultyFileSystem::actOn(Operation operation, int occurrence, std::function<void()> action) {
    acting_ = operation;
    actingOccurrence_ = occurrence;
    action_ = std::move(action);
    return *this;
}

FaultyFileSystem& FaultyFileSystem::withoutLinks() {
    links_ = false;
    return *this;
}

bool FaultyFileSystem::shouldFail(Operation operation, std::error_code& error) {
    const int ofOperation = ++calls_[static_cast<int>(operation)];
    const int ofAll = ++allCalls_;
    if (action_ && operation == acting_ && ofOperation == actingOccurrence_) action_();
    if (hasFailing_ && operation != failing_) return false;
    const int call = hasFailing_ ? ofOperation : ofAll;
    if (occurrence_ == 0 || call < occurrence_ || (call > occurrence_ && !keepsFailing_)) return false;
    error = error_;
    return true;
}

PathKind FaultyFileSystem::status(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::status, error)) return PathKind::other;
    return below_.status(path, error);
}

FileIdentity FaultyFileSystem::identity(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::identity, error)) return {};
    return below_.identity(path, error);
}

std::unique_ptr<InputFile> FaultyFileSystem::openForReading(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::open, error)) return nullptr;
    auto file = below_.openForReading(path, error);
    return file ? std::make_unique<FaultyInput>(std::move(file), *this) : nullptr;
}

std::unique_ptr<OutputFile> FaultyFileSystem::createNew(const std::string& path, NewFileAccess access,
                                                        std::error_code& error) {
    if (shouldFail(Operation::create, error)) return nullptr;
    auto file = below_.createNew(path, access, error);
    return file ? std::make_unique<FaultyOutput>(std::move(file), *this) : nullptr;
}

void FaultyFileSystem::rename(const std::string& from, const std::string& to, std::error_code& error) {
    if (!shouldFail(Operation::rename, error)) below_.rename(from, to, error);
}

void FaultyFileSystem::remove(const std::string& path, std::error_code& error) {
    if (!shouldFail(Operation::remove, error)) below_.remove(path, error);
}

void FaultyFileSystem::link(const std::string& existing, const std::string& newName, std::error_code& error) {
    if (!links_) return FileSystem::link(existing, newName, error);
    if (!shouldFail(Operation::link, error)) below_.link(existing, newName, error);
}

void FaultyFileSystem::replace(const std::string& from, const std::string& to, std::error_code& error) {
    if (!shouldFail(Operation::replace, error)) below_.replace(from, to, error);
}

std::vector<std::string> FaultyFileSystem::list(const std::string& folder, std::error_code& error) {
    if (shouldFail(Operation::list, error)) return {};
    return below_.list(folder, error);
}

std::chrono::system_clock::time_point FaultyFileSystem::changeTime(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::changeTime, error)) return {};
    return below_.changeTime(path, error);
}

std::string FaultyFileSystem::resolveLinks(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::resolveLinks, error)) return {};
    return below_.resolveLinks(path, error);
}

std::string FaultyFileSystem::copyIdentity(const std::string& from, const std::string& to, std::error_code& error) {
    return shouldFail(Operation::copyIdentity, error) ? std::string() : below_.copyIdentity(from, to, error);
}

void FaultyFileSystem::checkReplaceable(const std::string& path, std::error_code& error) {
    if (!shouldFail(Operation::checkReplaceable, error)) below_.checkReplaceable(path, error);
}

std::unique_ptr<FolderLock> FaultyFileSystem::lockFolder(const std::string& folder, std::error_code& error) {
    if (shouldFail(Operation::lockFolder, error)) return nullptr;
    return below_.lockFolder(folder, error);
}

void FaultyFileSystem::syncFolder(const std::string& folder, std::error_code& error) {
    if (!shouldFail(Operation::syncFolder, error)) below_.syncFolder(folder, error);
}

} // namespace zerkon::testing
