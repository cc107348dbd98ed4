// The machine's files on Windows, through the C runtime.
#include "machine_file.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <sys/stat.h>

namespace zerkon {
namespace {

using FileStatus = struct _stati64; // 64-bit sizes: a plain stat fails on files over 2 GiB
int statusOf(const char* path, FileStatus& status) { return ::_stati64(path, &status); }

// The C runtime reads and writes at most an unsigned int at a time, and is never interrupted by a signal.
unsigned chunkOf(std::size_t size) { return static_cast<unsigned>(size > 0x40000000 ? 0x40000000 : size); }

int openFile(const std::string& path, int flags) {
    return ::_open(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

} // namespace

long long machine::readSome(int fd, char* buffer, std::size_t size) { return ::_read(fd, buffer, chunkOf(size)); }
long long machine::writeSome(int fd, const char* data, std::size_t size) { return ::_write(fd, data, chunkOf(size)); }
int machine::syncFile(int fd) { return ::_commit(fd); }
int machine::closeFile(int fd) { return ::_close(fd); }

// Windows reports a file that another program holds open without sharing as a plain "Permission denied"; the
// system's own error code tells the two apart, and the user should hear which it is.
std::error_code machine::lastError() {
    constexpr unsigned long kSharingViolation = 32;
    constexpr unsigned long kLockViolation = 33;
    if (errno == EACCES && (_doserrno == kSharingViolation || _doserrno == kLockViolation))
        return make_error_code(FileError::openInAnotherProgram);
    return {errno, std::generic_category()};
}

namespace {

using machine::lastError;

// The pass keeps to renames here: a second name of a read-only file, or of one held open without delete sharing,
// cannot be removed again when a replace fails, so link() stays unsupported. Folders need no lock or sync of their
// own here.
class MachineFileSystem : public FileSystem {
public:
    PathKind status(const std::string& path, std::error_code& error) override {
        FileStatus info{};
        if (statusOf(path.c_str(), info) != 0) {
            const int failure = errno;
            // Windows finds no folder under a name that ends in a separator; POSIX does.
            std::string bare = path;
            while (bare.size() > 1 && (bare.back() == '\\' || bare.back() == '/') && bare[bare.size() - 2] != ':')
                bare.pop_back();
            if (bare != path && statusOf(bare.c_str(), info) == 0)
                return (info.st_mode & S_IFMT) == S_IFDIR ? PathKind::other : PathKind::absent;
            if (failure == ENOENT || failure == ENOTDIR) return PathKind::absent;
            errno = failure;
            error = lastError();
            return PathKind::other;
        }
        return (info.st_mode & S_IFMT) == S_IFREG ? PathKind::file : PathKind::other;
    }

    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override {
        return machine::adopt(openFile(path, _O_RDONLY), error);
    }

    std::unique_ptr<OutputFile> createNew(const std::string& path, std::error_code& error) override {
        return machine::adopt(openFile(path, _O_WRONLY | _O_CREAT | _O_EXCL), error);
    }

    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        // Windows refuses to rename onto an existing file by itself; the check only gives the refusal its words.
        if (status(to, error) != PathKind::absent) {
            if (!error) error = std::make_error_code(std::errc::file_exists);
            return;
        }
        if (std::rename(from.c_str(), to.c_str()) != 0) error = lastError();
    }

    // MoveFileEx with MOVEFILE_REPLACE_EXISTING, underneath.
    void replace(const std::string& from, const std::string& to, std::error_code& error) override {
        std::filesystem::rename(from, to, error);
    }

    void remove(const std::string& path, std::error_code& error) override {
        if (std::remove(path.c_str()) == 0) return;
        error = lastError();
        // Windows keeps a read-only file from being deleted, POSIX does not: clear the mark and try again.
        FileStatus info{};
        if (errno != EACCES || statusOf(path.c_str(), info) != 0 || (info.st_mode & _S_IWRITE)) return;
        if (::_chmod(path.c_str(), _S_IREAD | _S_IWRITE) != 0) return;
        if (std::remove(path.c_str()) == 0) {
            error.clear();
            return;
        }
        error = lastError();
        ::_chmod(path.c_str(), _S_IREAD);
    }

    std::time_t modificationTime(const std::string& path, std::error_code& error) override {
        FileStatus info{};
        if (statusOf(path.c_str(), info) != 0) {
            error = lastError();
            return 0;
        }
        return info.st_mtime;
    }

    // Windows has no owner to keep here; the read-only attribute stands for the permission bits.
    void copyOwnership(const std::string& from, const std::string& to, std::error_code& error) override {
        FileStatus original{};
        FileStatus copy{};
        if (statusOf(from.c_str(), original) != 0 || statusOf(to.c_str(), copy) != 0) {
            error = lastError();
            return;
        }
        if (!(original.st_mode & _S_IWRITE) && ::_chmod(to.c_str(), _S_IREAD) != 0) error = lastError();
    }

    std::vector<std::string> list(const std::string& folder, std::error_code& error) override {
        std::vector<std::string> names;
        _finddata_t entry{};
        const intptr_t search = ::_findfirst((folder + "*").c_str(), &entry);
        if (search == -1) {
            if (errno != ENOENT) error = lastError();
            return names;
        }
        do {
            const std::string name = entry.name;
            if (name != "." && name != "..") names.push_back(name);
        } while (::_findnext(search, &entry) == 0);
        ::_findclose(search);
        return names;
    }
};

} // namespace

FileSystem& machineFileSystem() {
    static MachineFileSystem fileSystem;
    return fileSystem;
}

} // namespace zerkon
