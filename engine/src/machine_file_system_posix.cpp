// The machine's files on POSIX systems.
#include "machine_file.hpp"

#include <zerkon/outcome.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <list>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace zerkon {

// A signal that comes in the middle of a read or write is no failure: the call is made again.
long long machine::readSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}
long long machine::writeSome(int fd, const char* data, std::size_t size) {
    for (;;) {
        const ssize_t put = ::write(fd, data, size);
        if (put >= 0 || errno != EINTR) return put;
    }
}
int machine::syncFile(int fd) { return ::fsync(fd); }
int machine::closeFile(int fd) { return ::close(fd); }
std::error_code machine::lastError() { return {errno, std::generic_category()}; }

namespace {

using machine::lastError;

FileIdentity identityOfStatus(const struct stat& info) {
    return {S_ISREG(info.st_mode) ? PathKind::file : PathKind::other, static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino), static_cast<std::uint64_t>(info.st_nlink)};
}

// The folder opened for reading, so it can be locked and synced; "" is the current folder.
int openFolder(const std::string& folder) {
    return ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
}

// The folders this process holds locked, each with its descriptor, which the folder's sync uses instead of opening the
// folder again. A descriptor is closed only under the mutex, so a sync never uses one that is being closed.
struct HeldFolders {
    std::mutex mutex;
    std::list<std::pair<std::string, int>> folders;
};

class MachineFolderLock : public FolderLock {
public:
    MachineFolderLock(HeldFolders& held, const std::string& folder, int fd) : held_(held) {
        const std::lock_guard<std::mutex> guard(held_.mutex);
        entry_ = held_.folders.emplace(held_.folders.end(), folder, fd);
    }
    ~MachineFolderLock() override {
        const std::lock_guard<std::mutex> guard(held_.mutex);
        ::close(entry_->second); // closing lets go of the lock
        held_.folders.erase(entry_);
    }

private:
    HeldFolders& held_;
    std::list<std::pair<std::string, int>>::iterator entry_;
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
        struct stat info {};
        if (::stat(to, &info) == 0) {
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

#ifdef __linux__
constexpr const char* kAccessList = "system.posix_acl_access";

bool startsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

// Reads what the system hands out whole, an attribute's list or value: measured first, then read, and again when it
// grew in between. False on failure, with the reason in errno.
template <typename Read> bool readWhole(const Read& read, std::string& bytes) {
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0) return false;
        bytes.assign(static_cast<std::size_t>(size), '\0');
        const ssize_t got = size > 0 ? read(bytes.data(), bytes.size()) : 0;
        if (got >= 0) {
            bytes.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

// The names of the extended attributes of `path`; none where the file system keeps none.
std::vector<std::string> attributeNames(const std::string& path, std::error_code& error) {
    std::string list;
    if (!readWhole([&](char* buffer, std::size_t size) { return ::listxattr(path.c_str(), buffer, size); }, list)) {
        if (errno != ENOTSUP) error = lastError();
        return {};
    }
    std::vector<std::string> names;
    for (std::size_t start = 0; start < list.size(); start = list.find('\0', start) + 1)
        names.emplace_back(list.c_str() + start);
    return names;
}

// Gives `to` the extended attributes of `from` that a file takes with it: the access list (when `accessList`) or
// else those of the user, of the system's trusted programs (listed to root only) and of the security modules; the
// rest of system.* belongs to the file system. A security attribute the process may not set is passed by, as the
// module labels the new file itself. Returns the attribute that could not be given.
std::string copyAttributes(const std::string& from, const std::vector<std::string>& names, const std::string& to,
                           bool accessList, std::error_code& error) {
    for (const std::string& name : names) {
        const bool copied =
            accessList ? name == kAccessList
                       : startsWith(name, "user.") || startsWith(name, "trusted.") || startsWith(name, "security.");
        if (!copied) continue;
        std::string value;
        const auto read = [&](char* buffer, std::size_t size) {
            return ::getxattr(from.c_str(), name.c_str(), buffer, size);
        };
        if (!readWhole(read, value)) {
            if (errno == ENODATA) continue; // gone meanwhile
        } else if (::setxattr(to.c_str(), name.c_str(), value.data(), value.size(), 0) == 0 ||
                   (startsWith(name, "security.") && (errno == EPERM || errno == EACCES))) {
            continue;
        }
        error = lastError();
        return "the extended attribute " + quoted(name);
    }
    // A new file in a folder with a default access list inherits one that the original may not have.
    if (accessList && std::find(names.begin(), names.end(), kAccessList) == names.end() &&
        ::removexattr(to.c_str(), kAccessList) != 0 && errno != ENODATA && errno != ENOTSUP) {
        error = lastError();
        return "the extended attribute " + quoted(kAccessList);
    }
    return {};
}
#endif

// Whether a new file in `folder` may be given the group `group`: one of the process's own, or the folder's when the
// folder gives its group to every new file in it (set-group-ID).
bool mayGiveGroup(const std::string& folder, gid_t group) {
    if (group == ::getegid()) return true;
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && ::getgroups(count, groups.data()) == count &&
        std::find(groups.begin(), groups.end(), group) != groups.end())
        return true;
    struct stat folderInfo {};
    return ::stat(folder.empty() ? "." : folder.c_str(), &folderInfo) == 0 && (folderInfo.st_mode & S_ISGID) &&
           folderInfo.st_gid == group;
}

class MachineFileSystem : public FileSystem {
public:
    PathKind status(const std::string& path, std::error_code& error) override {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) return PathKind::absent;
            error = lastError();
            return PathKind::other;
        }
        // A symbolic link is what it leads to, and one that leads nowhere still takes its name.
        if (S_ISLNK(info.st_mode) && ::stat(path.c_str(), &info) != 0) {
            if (errno == ENOENT) return PathKind::other;
            if (errno == ENOTDIR) return PathKind::absent;
            error = lastError();
            return PathKind::other;
        }
        return S_ISREG(info.st_mode) ? PathKind::file : PathKind::other;
    }

    FileIdentity identity(const std::string& path, std::error_code& error) override {
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0) return identityOfStatus(info);
        if (errno != ENOENT && errno != ENOTDIR) error = lastError();
        return {};
    }

    // A pipe opened without O_NONBLOCK would wait for a writer for ever; a regular file reads the same with it.
    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override {
        return machine::adopt(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW), error);
    }

    std::unique_ptr<OutputFile> createNew(const std::string& path, NewFileAccess access,
                                          std::error_code& error) override {
        const mode_t mode = access == NewFileAccess::ownerOnly ? 0600 : 0666;
        return machine::adopt(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode), error);
    }

    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        if (renameWithoutReplacing(from.c_str(), to.c_str()) != 0) error = lastError();
    }

    void remove(const std::string& path, std::error_code& error) override {
        if (std::remove(path.c_str()) != 0) error = lastError();
    }

    std::chrono::system_clock::time_point changeTime(const std::string& path, std::error_code& error) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            error = lastError();
            return {};
        }
        const auto sinceEpoch =
            std::chrono::seconds(info.st_ctim.tv_sec) + std::chrono::nanoseconds(info.st_ctim.tv_nsec);
        return std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
    }

    // The owner first, since a change of owner may clear the set-ID bits and a file's capabilities; then the
    // extended attributes, while the owner may still write the file, as user.* needs; then the bits; the access list
    // last, as a chmod after it would set its mask from the bits.
    std::string copyIdentity(const std::string& from, const std::string& to, std::error_code& error) override {
        struct stat original {};
        struct stat copy {};
        if (::stat(from.c_str(), &original) != 0 || ::stat(to.c_str(), &copy) != 0) {
            error = lastError();
            return {};
        }
        const bool sameOwner = original.st_uid == copy.st_uid && original.st_gid == copy.st_gid;
        // Only root may give a file away; anyone else keeps the file as their own.
        const bool ownerKept = sameOwner || ::chown(to.c_str(), original.st_uid, original.st_gid) == 0;
        if (!ownerKept && errno != EPERM) {
            error = lastError();
            return "the owner";
        }
#ifdef __linux__
        const std::vector<std::string> names = attributeNames(from, error);
        if (error) return "the extended attributes";
        if (std::string what = copyAttributes(from, names, to, false, error); error) return what;
#endif
        // The set-ID bits belong to the owner, and go where the owner could not be kept.
        const mode_t bits = original.st_mode & (ownerKept ? 07777 : 0777);
        if ((!sameOwner || bits != (copy.st_mode & 07777)) && ::chmod(to.c_str(), bits) != 0) {
            error = lastError();
            return {};
        }
#ifdef __linux__
        return copyAttributes(from, names, to, true, error);
#else
        return {};
#endif
    }

    void checkReplaceable(const std::string& path, std::error_code& error) override {
        struct stat fileInfo {};
        if (::lstat(path.c_str(), &fileInfo) != 0) {
            if (errno != ENOENT) error = lastError(); // a file gone meanwhile is for the steps that need it to say
            return;
        }
        if (::geteuid() == 0) return;
        if (fileInfo.st_uid != ::geteuid()) {
            error = make_error_code(FileError::othersFile);
        } else if ((fileInfo.st_mode & S_IRWXG) && !mayGiveGroup(folderOf(path), fileInfo.st_gid)) {
            error = make_error_code(FileError::othersGroup);
        }
    }

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
        // A run that waits for another says so once, after a second of silence.
        constexpr int kPollMilliseconds = 50;
        bool blocking = false;
        for (int waited = 0; ::flock(fd, blocking ? LOCK_EX : LOCK_EX | LOCK_NB) != 0;) {
            if (errno == EINTR) continue;
            if (errno != EWOULDBLOCK || blocking) {
                error = lastError();
                ::close(fd);
                return nullptr;
            }
            if (waited >= machine::kQuietWaitMilliseconds) {
                machine::sayWaitingForFolder(folder);
                blocking = true;
                continue;
            }
            ::usleep(kPollMilliseconds * 1000);
            waited += kPollMilliseconds;
        }
        return std::make_unique<MachineFolderLock>(held_, folder, fd);
    }

    void syncFolder(const std::string& folder, std::error_code& error) override {
        const std::lock_guard<std::mutex> guard(held_.mutex);
        const auto held = std::find_if(held_.folders.begin(), held_.folders.end(),
                                       [&](const std::pair<std::string, int>& entry) { return entry.first == folder; });
        const bool opened = held == held_.folders.end();
        const int fd = opened ? openFolder(folder) : held->second;
        if (fd < 0) {
            if (errno != EACCES) error = lastError();
            return;
        }
        if (::fsync(fd) != 0 && errno != EINVAL) error = lastError(); // EINVAL: a file system without folder syncs
        if (opened) ::close(fd);
    }

private:
    HeldFolders held_;
};

} // namespace

FileIdentity machine::identityOf(int fd, std::error_code& error) {
    struct stat info {};
    if (::fstat(fd, &info) == 0) return identityOfStatus(info);
    error = lastError();
    return {};
}

FileSystem& machineFileSystem() {
    static MachineFileSystem fileSystem;
    return fileSystem;
}

} // namespace zerkon
