#include "unsynced_file_system.hpp"

namespace zerkon::bench {
namespace {

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

void UnsyncedFileSystem::link(const std::string& existing, const std::string& newName, std::error_code& error) {
    machineFileSystem().link(existing, newName, error);
}

void UnsyncedFileSystem::replace(const std::string& from, const std::string& to, std::error_code& error) {
    machineFileSystem().replace(from, to, error);
}

} // namespace zerkon::bench
