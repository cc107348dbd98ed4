// One open file of the machine's. Each platform's file system gives the calls it is made of.
#pragma once

#include <zerkon/file_system.hpp>

#include <utility>

namespace zerkon::machine {

// Each fails with a negative result (-1), leaving the reason in errno for lastError().
long long readSome(int fd, char* buffer, std::size_t size);
long long writeSome(int fd, const char* data, std::size_t size);
int syncFile(int fd);
int closeFile(int fd);
std::error_code lastError();
// The open file's identity; a pipe or a device is of kind `other`.
FileIdentity identityOf(int fd, std::error_code& error);

// Told to the front end's notice once a run has waited a second for another run's lock on `folder`.
void sayWaitingForFolder(const std::string& folder);
// How long a run waits for a folder's lock before it says so.
constexpr int kQuietWaitMilliseconds = 1000;

class File : public InputFile, public OutputFile {
public:
    explicit File(int fd) : fd_(fd) {}
    ~File() override {
        if (fd_ >= 0) closeFile(fd_);
    }

    std::size_t read(char* buffer, std::size_t size, std::error_code& error) override {
        const long long got = readSome(fd_, buffer, size);
        if (got < 0) error = lastError();
        return got < 0 ? 0 : static_cast<std::size_t>(got);
    }

    FileIdentity identity(std::error_code& error) override { return identityOf(fd_, error); }

    void write(const char* data, std::size_t size, std::error_code& error) override {
        while (size > 0) {
            const long long put = writeSome(fd_, data, size);
            if (put <= 0) {
                error = put < 0 ? lastError() : std::make_error_code(std::errc::no_space_on_device);
                return;
            }
            data += put;
            size -= static_cast<std::size_t>(put);
        }
    }

    void flush(std::error_code& error) override {
        if (syncFile(fd_) != 0) error = lastError();
    }

    void close(std::error_code& error) override {
        if (closeFile(std::exchange(fd_, -1)) != 0) error = lastError();
    }

private:
    int fd_;
};

// The file opened as `fd`, or nullptr with the reason when the open failed (`fd` is negative). Memory that runs out
// here closes the file, so the caller can remove a file it has just created.
inline std::unique_ptr<File> adopt(int fd, std::error_code& error) {
    if (fd < 0) {
        error = lastError();
        return nullptr;
    }
    try {
        return std::make_unique<File>(fd);
    } catch (...) {
        closeFile(fd);
        throw;
    }
}

} // namespace zerkon::machine
