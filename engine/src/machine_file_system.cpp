#include <zerkon/file_system.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zerkon {
namespace {

#ifdef _WIN32
int openFile(const char* path, int flags, int mode) { return ::_open(path, flags | _O_BINARY | _O_NOINHERIT, mode); }
long long readFile(int fd, char* buffer, std::size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(size > 0x40000000 ? 0x40000000 : size));
}
long long writeFile(int fd, const char* data, std::size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(size > 0x40000000 ? 0x40000000 : size));
}
int syncFile(int fd) { return ::_commit(fd); }
int closeFile(int fd) { return ::_close(fd); }
using FileStatus = struct _stati64; // 64-bit sizes: a plain stat fails on files over 2 GiB
int statusOf(const char* path, FileStatus& status) { return ::_stati64(path, &status); }
constexpr int kReadFlags = _O_RDONLY;
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_EXCL;
constexpr int kCreateMode = _S_IREAD | _S_IWRITE;
#else
int openFile(const char* path, int flags, int mode) { return ::open(path, flags | O_CLOEXEC, mode); }
long long readFile(int fd, char* buffer, std::size_t size) { return ::read(fd, buffer, size); }
long long writeFile(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }
int syncFile(int fd) { return ::fsync(fd); }
int closeFile(int fd) { return ::close(fd); }
using FileStatus = struct stat;
int statusOf(const char* path, FileStatus& status) { return ::stat(path, &status); }
constexpr int kReadFlags = O_RDONLY;
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL;
constexpr int kCreateMode = 0666;
#endif

#ifdef _WIN32
// Windows reports a file that another program holds open without sharing as a plain "Permission denied"; the
// system's own error code tells the two apart, and the user should hear which it is.
constexpr unsigned long kSharingViolation = 32;
constexpr unsigned long kLockViolation = 33;
std::error_code lastError() {
    if (errno == EACCES && (_doserrno == kSharingViolation || _doserrno == kLockViolation))
        return make_error_code(FileError::openInAnotherProgram);
    return {errno, std::generic_category()};
}
#else
std::error_code lastError() { return {errno, std::generic_category()}; }
#endif

class MachineFile : public InputFile, public OutputFile {
public:
    explicit MachineFile(int fd) : fd_(fd) {}
    ~MachineFile() override {
        if (fd_ >= 0) closeFile(fd_);
    }

    std::size_t read(char* buffer, std::size_t size, std::error_code& error) override {
        for (;;) {
            const long long got = readFile(fd_, buffer, size);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) {
                error = lastError();
                return 0;
            }
        }
    }

    void write(const char* data, std::size_t size, std::error_code& error) override {
        while (size > 0) {
            const long long put = writeFile(fd_, data, size);
            if (put < 0 && errno == EINTR) continue;
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
        const int fd = fd_;
        fd_ = -1;
        if (closeFile(fd) != 0) error = lastError();
    }

private:
    int fd_;
};

class MachineFileSystem : public FileSystem {
public:
    PathKind status(const std::string& path, std::error_code& error) override {
        FileStatus info{};
        if (statusOf(path.c_str(), info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) return PathKind::absent;
            error = lastError();
            return PathKind::other;
        }
        return (info.st_mode & S_IFMT) == S_IFREG ? PathKind::file : PathKind::other;
    }

    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override {
        const int fd = openFile(path.c_str(), kReadFlags, 0);
        if (fd < 0) {
            error = lastError();
            return nullptr;
        }
        return std::make_unique<MachineFile>(fd);
    }

    std::unique_ptr<OutputFile> createNew(const std::string& path, std::error_code& error) override {
        const int fd = openFile(path.c_str(), kCreateFlags, kCreateMode);
        if (fd < 0) {
            error = lastError();
            return nullptr;
        }
        return std::make_unique<MachineFile>(fd);
    }

    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        // POSIX rename replaces an existing target; Windows refuses. Refuse everywhere, so nothing is overwritten.
        std::error_code statusError;
        if (status(to, statusError) != PathKind::absent) {
            error = statusError ? statusError : std::make_error_code(std::errc::file_exists);
            return;
        }
        if (std::rename(from.c_str(), to.c_str()) != 0) error = lastError();
    }

    void remove(const std::string& path, std::error_code& error) override {
        if (std::remove(path.c_str()) != 0) error = lastError();
    }

#ifndef _WIN32
    // Windows has hard links too, but a second name of a read-only file, or of one held open without delete sharing,
    // cannot be removed again when the replace fails; there the pass keeps to renames.
    void link(const std::string& existing, const std::string& newName, std::error_code& error) override {
        if (::link(existing.c_str(), newName.c_str()) != 0) error = lastError();
    }

    void replace(const std::string& from, const std::string& to, std::error_code& error) override {
        if (std::rename(from.c_str(), to.c_str()) != 0) error = lastError();
    }
#endif
};

class FileErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "zerkon-file"; }
    std::string message(int code) const override {
        switch (static_cast<FileError>(code)) {
        case FileError::openInAnotherProgram:
            return "the file is open in another program";
        }
        return "unknown file error";
    }
    std::error_condition default_error_condition(int code) const noexcept override {
        if (static_cast<FileError>(code) == FileError::openInAnotherProgram)
            return std::make_error_condition(std::errc::permission_denied);
        return {code, *this};
    }
};

} // namespace

std::error_code make_error_code(FileError error) {
    static const FileErrorCategory category;
    return {static_cast<int>(error), category};
}

FileSystem& machineFileSystem() {
    static MachineFileSystem fileSystem;
    return fileSystem;
}

} // namespace zerkon
