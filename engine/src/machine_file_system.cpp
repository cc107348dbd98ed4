#include <zerkon/file_system.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <dirent.h>
#include <sys/file.h>
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
constexpr const char* kSeparators = "/\\:";
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
constexpr const char* kSeparators = "/";
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

#ifndef _WIN32
// The folder opened for reading, so it can be locked and synced; "" is the current folder.
int openFolder(const std::string& folder) {
    return ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
}

class MachineFolderLock : public FolderLock {
public:
    explicit MachineFolderLock(int fd) : fd_(fd) {}
    ~MachineFolderLock() override { ::close(fd_); } // closing lets go of the lock

private:
    int fd_;
};

// Renames without ever replacing `to`, in one step where the file system can, else by a link and an unlink.
int renameWithoutReplacing(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
#endif
    if (::link(from, to) != 0) {
        if (errno != EPERM && errno != EOPNOTSUPP) return -1;
        // No links either (FAT): nothing better than a check just before a rename.
        FileStatus info{};
        if (statusOf(to, info) == 0) {
            errno = EEXIST;
            return -1;
        }
        return std::rename(from, to);
    }
    if (::unlink(from) == 0) return 0;
    const int error = errno;
    ::unlink(to);
    errno = error;
    return -1;
}
#endif

class MachineFileSystem : public FileSystem {
public:
    PathKind status(const std::string& path, std::error_code& error) override {
        FileStatus info{};
        if (statusOf(path.c_str(), info) != 0) {
            const int failure = errno;
#ifdef _WIN32
            // Windows finds no folder under a name that ends in a separator; POSIX does.
            std::string bare = path;
            while (bare.size() > 1 && (bare.back() == '\\' || bare.back() == '/') && bare[bare.size() - 2] != ':')
                bare.pop_back();
            if (bare != path && statusOf(bare.c_str(), info) == 0)
                return (info.st_mode & S_IFMT) == S_IFDIR ? PathKind::other : PathKind::absent;
#endif
            if (failure == ENOENT || failure == ENOTDIR) return PathKind::absent;
            errno = failure;
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
#ifdef _WIN32
        // Windows refuses to rename onto an existing file by itself; the check only gives the refusal its words.
        if (status(to, error) != PathKind::absent) {
            if (!error) error = std::make_error_code(std::errc::file_exists);
            return;
        }
        if (std::rename(from.c_str(), to.c_str()) != 0) error = lastError();
#else
        if (renameWithoutReplacing(from.c_str(), to.c_str()) != 0) error = lastError();
#endif
    }

    void remove(const std::string& path, std::error_code& error) override {
        if (std::remove(path.c_str()) == 0) return;
        error = lastError();
#ifdef _WIN32
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
#endif
    }

    std::time_t modificationTime(const std::string& path, std::error_code& error) override {
        FileStatus info{};
        if (statusOf(path.c_str(), info) != 0) {
            error = lastError();
            return 0;
        }
        return info.st_mtime;
    }

    void copyOwnership(const std::string& from, const std::string& to, std::error_code& error) override {
        FileStatus original{};
        FileStatus copy{};
        if (statusOf(from.c_str(), original) != 0 || statusOf(to.c_str(), copy) != 0) {
            error = lastError();
            return;
        }
#ifdef _WIN32
        if (!(original.st_mode & _S_IWRITE) && ::_chmod(to.c_str(), _S_IREAD) != 0) error = lastError();
#else
        const bool sameOwner = original.st_uid == copy.st_uid && original.st_gid == copy.st_gid;
        bool ownerKept = sameOwner;
        // Only root may give a file away; anyone else keeps the file as their own.
        if (!sameOwner) {
            ownerKept = ::chown(to.c_str(), original.st_uid, original.st_gid) == 0;
            if (!ownerKept && errno != EPERM) {
                error = lastError();
                return;
            }
        }
        // A change of owner may clear the set-ID bits, so the bits come after it; they belong to the owner, and go
        // where the owner could not be kept.
        const mode_t bits = original.st_mode & (ownerKept ? 07777 : 0777);
        if ((!sameOwner || bits != (copy.st_mode & 07777)) && ::chmod(to.c_str(), bits) != 0) error = lastError();
#endif
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

    std::vector<std::string> list(const std::string& folder, std::error_code& error) override {
        std::vector<std::string> names;
        DIR* const entries = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!entries) {
            error = lastError();
            return names;
        }
        errno = 0;
        while (const dirent* entry = ::readdir(entries)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        if (errno != 0) error = lastError();
        ::closedir(entries);
        return names;
    }

    std::string resolveLinks(const std::string& path, std::error_code& error) override {
        std::string current = path;
        for (int hops = 0; hops < 40; ++hops) {
            struct stat info {};
            if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current; // status tells why
            std::string target(4096, '\0');
            const ssize_t size = ::readlink(current.c_str(), target.data(), target.size());
            if (size < 0) {
                error = lastError();
                return {};
            }
            target.resize(static_cast<std::size_t>(size));
            current = target.front() == '/' ? target : folderOf(current) + target;
        }
        error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
        return {};
    }

    std::unique_ptr<FolderLock> lockFolder(const std::string& folder, std::error_code& error) override {
        const int fd = openFolder(folder);
        // A folder that may be written but not read cannot be locked; the pass still goes on there, as it always did.
        if (fd < 0 && errno == EACCES) return std::make_unique<FolderLock>();
        if (fd < 0) {
            error = lastError();
            return nullptr;
        }
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            error = lastError();
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<MachineFolderLock>(fd);
    }

    void syncFolder(const std::string& folder, std::error_code& error) override {
        const int fd = openFolder(folder);
        if (fd < 0) {
            if (errno != EACCES) error = lastError();
            return;
        }
        if (::fsync(fd) != 0 && errno != EINVAL) error = lastError(); // EINVAL: a file system without folder syncs
        ::close(fd);
    }
#else
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

std::string folderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of(kSeparators);
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string nameOf(const std::string& path) { return path.substr(folderOf(path).size()); }

FileSystem& machineFileSystem() {
    static MachineFileSystem fileSystem;
    return fileSystem;
}

} // namespace zerkon
