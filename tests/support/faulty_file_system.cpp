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
        if (owner_.shouldFail(Operation::write, error)) return;
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
    static constexpr const char* kNames[kOperationCount] = {"status",
                                                            "open",
                                                            "create",
                                                            "read",
                                                            "write",
                                                            "flush",
                                                            "close",
                                                            "rename",
                                                            "remove",
                                                            "link",
                                                            "replace",
                                                            "list",
                                                            "modification time",
                                                            "resolve links",
                                                            "copy ownership",
                                                            "lock folder",
                                                            "sync folder"};
    return kNames[static_cast<int>(operation)];
}

FaultyFileSystem::FaultyFileSystem(Operation operation, int occurrence, std::error_code error, bool keepsFailing)
    : failing_(operation), occurrence_(occurrence), error_(error), keepsFailing_(keepsFailing) {}

bool FaultyFileSystem::shouldFail(Operation operation, std::error_code& error) {
    const int call = ++calls_[static_cast<int>(operation)];
    if (operation != failing_ || occurrence_ == 0) return false;
    if (call != occurrence_ && !(keepsFailing_ && call > occurrence_)) return false;
    error = error_;
    return true;
}

PathKind FaultyFileSystem::status(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::status, error)) return PathKind::other;
    return machineFileSystem().status(path, error);
}

std::unique_ptr<InputFile> FaultyFileSystem::openForReading(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::open, error)) return nullptr;
    auto file = machineFileSystem().openForReading(path, error);
    return file ? std::make_unique<FaultyInput>(std::move(file), *this) : nullptr;
}

std::unique_ptr<OutputFile> FaultyFileSystem::createNew(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::create, error)) return nullptr;
    auto file = machineFileSystem().createNew(path, error);
    return file ? std::make_unique<FaultyOutput>(std::move(file), *this) : nullptr;
}

void FaultyFileSystem::rename(const std::string& from, const std::string& to, std::error_code& error) {
    if (shouldFail(Operation::rename, error)) return;
    machineFileSystem().rename(from, to, error);
}

void FaultyFileSystem::remove(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::remove, error)) return;
    machineFileSystem().remove(path, error);
}

std::vector<std::string> FaultyFileSystem::list(const std::string& folder, std::error_code& error) {
    if (shouldFail(Operation::list, error)) return {};
    return machineFileSystem().list(folder, error);
}

std::time_t FaultyFileSystem::modificationTime(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::modificationTime, error)) return 0;
    return machineFileSystem().modificationTime(path, error);
}

std::string FaultyFileSystem::resolveLinks(const std::string& path, std::error_code& error) {
    if (shouldFail(Operation::resolveLinks, error)) return {};
    return machineFileSystem().resolveLinks(path, error);
}

void FaultyFileSystem::copyOwnership(const std::string& from, const std::string& to, std::error_code& error) {
    if (shouldFail(Operation::copyOwnership, error)) return;
    machineFileSystem().copyOwnership(from, to, error);
}

std::unique_ptr<FolderLock> FaultyFileSystem::lockFolder(const std::string& folder, std::error_code& error) {
    if (shouldFail(Operation::lockFolder, error)) return nullptr;
    return machineFileSystem().lockFolder(folder, error);
}

void FaultyFileSystem::syncFolder(const std::string& folder, std::error_code& error) {
    if (shouldFail(Operation::syncFolder, error)) return;
    machineFileSystem().syncFolder(folder, error);
}

void LinkingFaultyFileSystem::link(const std::string& existing, const std::string& newName, std::error_code& error) {
    if (shouldFail(Operation::link, error)) return;
    machineFileSystem().link(existing, newName, error);
}

void FaultyFileSystem::replace(const std::string& from, const std::string& to, std::error_code& error) {
    if (shouldFail(Operation::replace, error)) return;
    machineFileSystem().replace(from, to, error);
}

} // namespace zerkon::testing
