// The machine's files on Windows, through the C runtime, and the system's own calls where the runtime has nothing to
// offer: the folder lock, renames that go straight to disk, and what makes a file its owner's.
#include "machine_file.hpp"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace zerkon {
namespace {

// The C runtime reads and writes at most an unsigned int at a time, and is never interrupted by a signal.
unsigned chunkOf(std::size_t size) { return static_cast<unsigned>(size > 0x40000000 ? 0x40000000 : size); }

} // namespace

long long machine::readSome(int fd, char* buffer, std::size_t size) { return ::_read(fd, buffer, chunkOf(size)); }
long long machine::writeSome(int fd, const char* data, std::size_t size) { return ::_write(fd, data, chunkOf(size)); }
int machine::syncFile(int fd) { return ::_commit(fd); }
int machine::closeFile(int fd) { return ::_close(fd); }

// Windows reports a file that another program holds open without sharing as a plain "Permission denied"; the
// system's own error code tells the two apart, and the user should hear which it is.
std::error_code machine::lastError() {
    if (errno == EACCES && (_doserrno == ERROR_SHARING_VIOLATION || _doserrno == ERROR_LOCK_VIOLATION))
        return make_error_code(FileError::openInAnotherProgram);
    return {errno, std::generic_category()};
}

namespace {

using machine::lastError;

// The system's last error in the words of the C runtime, so the pass tells the failures apart as it does errno's.
std::error_code lastSystemError() {
    const DWORD code = ::GetLastError();
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION)
        return make_error_code(FileError::openInAnotherProgram);
    static constexpr std::pair<DWORD, std::errc> kConditions[] = {
        {ERROR_FILE_NOT_FOUND, std::errc::no_such_file_or_directory},
        {ERROR_PATH_NOT_FOUND, std::errc::no_such_file_or_directory},
        {ERROR_INVALID_DRIVE, std::errc::no_such_file_or_directory},
        {ERROR_ALREADY_EXISTS, std::errc::file_exists},
        {ERROR_FILE_EXISTS, std::errc::file_exists},
        {ERROR_ACCESS_DENIED, std::errc::permission_denied},
        {ERROR_PRIVILEGE_NOT_HELD, std::errc::permission_denied},
        {ERROR_WRITE_PROTECT, std::errc::read_only_file_system},
        {ERROR_DISK_FULL, std::errc::no_space_on_device},
        {ERROR_HANDLE_DISK_FULL, std::errc::no_space_on_device},
        {ERROR_NOT_SAME_DEVICE, std::errc::cross_device_link},
        {ERROR_NOT_SUPPORTED, std::errc::operation_not_supported},
        {ERROR_INVALID_FUNCTION, std::errc::operation_not_supported},
        {ERROR_NOT_ENOUGH_MEMORY, std::errc::not_enough_memory},
        {ERROR_OUTOFMEMORY, std::errc::not_enough_memory},
        {ERROR_INVALID_NAME, std::errc::invalid_argument},
        {ERROR_BAD_PATHNAME, std::errc::invalid_argument},
        {ERROR_FILENAME_EXCED_RANGE, std::errc::invalid_argument}};
    for (const auto& [system, condition] : kConditions)
        if (system == code) return std::make_error_code(condition);
    return std::make_error_code(std::errc::io_error);
}

// Only a file on a disk is regular: a folder, a reparse point (a symbolic link, a junction) and a device are not.
FileIdentity identityOfHandle(HANDLE handle, std::error_code& error) {
    if (::GetFileType(handle) != FILE_TYPE_DISK) return {PathKind::other};
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        error = lastSystemError();
        return {};
    }
    const bool regular = !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    return {regular ? PathKind::file : PathKind::other, info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, info.nNumberOfLinks};
}

// A file or folder that exists, opened for `access` and shared with every other program; closed when destroyed.
class Handle {
public:
    Handle(const std::string& path, DWORD access, DWORD flags = FILE_FLAG_BACKUP_SEMANTICS)
        : handle_(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, flags, nullptr)) {}
    ~Handle() {
        if (valid()) ::CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The folder as one text for every way of naming it: its final path (links, short names and "." resolved) where it
// can be opened, else its full path; without a separator at its end and in capitals, as Windows compares names.
std::string folderIdentity(const std::string& folder) {
    const std::string name = folder.empty() ? "." : folder;
    std::string path(32768, '\0');
    DWORD size = 0;
    const Handle handle(name, 0);
    if (handle.valid()) size = ::GetFinalPathNameByHandleA(handle.get(), path.data(), 32768, FILE_NAME_NORMALIZED);
    if (size == 0 || size >= 32768) size = ::GetFullPathNameA(name.c_str(), 32768, path.data(), nullptr);
    if (size == 0 || size >= 32768) return name;
    path.resize(size);
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    for (char& c : path)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return path;
}

// The name of the mutex that stands for a folder. A mutex name holds no backslash after its namespace and at most
// MAX_PATH characters, so the folder is hashed (FNV-1a): two folders that shared a hash would only wait for each other.
std::string folderMutexName(const std::string& folder) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : folderIdentity(folder)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "Local\\zerkon-folder-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

// A mutex is released by the thread that holds it; a pass locks and unlocks on one thread. A process that ends
// holding it leaves it abandoned, and the next waiter takes it.
class MutexFolderLock : public FolderLock {
public:
    explicit MutexFolderLock(HANDLE mutex) : mutex_(mutex) {}
    ~MutexFolderLock() override {
        ::ReleaseMutex(mutex_);
        ::CloseHandle(mutex_);
    }

private:
    HANDLE mutex_;
};

// The security descriptor of `path` for `what`, empty with `error` set when it cannot be read.
std::string securityOf(const std::string& path, SECURITY_INFORMATION what, std::error_code& error) {
    DWORD size = 0;
    ::GetFileSecurityA(path.c_str(), what, nullptr, 0, &size);
    std::string descriptor(size, '\0');
    if (size == 0 || !::GetFileSecurityA(path.c_str(), what, descriptor.data(), size, &size)) {
        error = lastSystemError();
        return {};
    }
    return descriptor;
}

// The access list of `from` given to `to`, protected from the folder's inherited entries when it was. A file system
// that keeps no access lists (FAT) has none to keep.
void copyAccessList(const std::string& from, const std::string& to, std::error_code& error) {
    std::string descriptor = securityOf(from, DACL_SECURITY_INFORMATION, error);
    if (error == std::errc::operation_not_supported) error.clear();
    if (descriptor.empty()) return;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
    if (::GetSecurityDescriptorControl(descriptor.data(), &control, &revision) && (control & SE_DACL_PROTECTED))
        what |= PROTECTED_DACL_SECURITY_INFORMATION;
    if (!::SetFileSecurityA(to.c_str(), what, descriptor.data())) error = lastSystemError();
}

// Only a process that may restore files gives one away; anyone else keeps the new file as their own.
void copyOwnerAndGroup(const std::string& from, const std::string& to) {
    std::error_code ignored;
    std::string descriptor = securityOf(from, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION, ignored);
    if (!descriptor.empty())
        ::SetFileSecurityA(to.c_str(), OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION, descriptor.data());
}

void copyCreationTime(const std::string& from, const std::string& to, std::error_code& error) {
    FILETIME created{};
    const Handle original(from, FILE_READ_ATTRIBUTES);
    if (!original.valid() || !::GetFileTime(original.get(), &created, nullptr, nullptr)) {
        error = lastSystemError();
        return;
    }
    const Handle copy(to, FILE_WRITE_ATTRIBUTES);
    if (!copy.valid() || !::SetFileTime(copy.get(), &created, nullptr, nullptr)) error = lastSystemError();
}

// The pass keeps to renames here: a second name of a read-only file, or of one held open without delete sharing,
// cannot be removed again when a replace fails, so link() stays unsupported. The renames are written through, so the
// folder needs no sync of its own.
class MachineFileSystem : public FileSystem {
public:
    PathKind status(const std::string& path, std::error_code& error) override {
        struct _stati64 info {}; // 64-bit sizes: a plain stat fails on files over 2 GiB
        if (::_stati64(path.c_str(), &info) != 0) {
            const int failure = errno;
            // Windows finds no folder under a name that ends in a separator; POSIX does.
            std::string bare = path;
            while (bare.size() > 1 && (bare.back() == '\\' || bare.back() == '/') && bare[bare.size() - 2] != ':')
                bare.pop_back();
            if (bare != path && ::_stati64(bare.c_str(), &info) == 0)
                return (info.st_mode & S_IFMT) == S_IFDIR ? PathKind::other : PathKind::absent;
            if (failure == ENOENT || failure == ENOTDIR) return PathKind::absent;
            errno = failure;
            error = lastError();
            return PathKind::other;
        }
        return (info.st_mode & S_IFMT) == S_IFREG ? PathKind::file : PathKind::other;
    }

    // The name itself: a reparse point there is opened, not followed.
    FileIdentity identity(const std::string& path, std::error_code& error) override {
        const Handle file(path, 0, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
        if (file.valid()) return identityOfHandle(file.get(), error);
        const std::error_code failure = lastSystemError();
        if (failure != std::errc::no_such_file_or_directory) error = failure;
        return {};
    }

    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override {
        return machine::adopt(::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT), error);
    }

    // A new file takes the folder's inherited access list either way; copyIdentity() replaces it. It is shared for
    // deletion, unlike the C runtime's files: an interrupt has it removed by its name while it is being written, and
    // the system deletes it once the writer's handle is closed.
    std::unique_ptr<OutputFile> createNew(const std::string& path, NewFileAccess, std::error_code& error) override {
        const HANDLE handle =
            ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            error = lastSystemError();
            return nullptr;
        }
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        if (fd < 0) ::CloseHandle(handle); // leaves errno to adopt()
        return machine::adopt(fd, error);
    }

    // Without MOVEFILE_REPLACE_EXISTING the system refuses a name that exists, even one taken at the same moment.
    // Written through, the new name is on the disk when the call returns, so a power cut right after keeps it.
    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        if (!::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) error = lastSystemError();
    }

    void replace(const std::string& from, const std::string& to, std::error_code& error) override {
        if (!::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            error = lastSystemError();
    }

    void remove(const std::string& path, std::error_code& error) override {
        if (std::remove(path.c_str()) == 0) return;
        error = lastError();
        // Windows keeps a read-only file from being deleted, POSIX does not: clear the mark and try again.
        struct _stati64 info {};
        if (errno != EACCES || ::_stati64(path.c_str(), &info) != 0 || (info.st_mode & _S_IWRITE)) return;
        if (::_chmod(path.c_str(), _S_IREAD | _S_IWRITE) != 0) return;
        if (std::remove(path.c_str()) == 0) {
            error.clear();
            return;
        }
        error = lastError();
        ::_chmod(path.c_str(), _S_IREAD);
    }

    // The C runtime's st_ctime is the creation time here; the change time, which a rename sets, needs the handle.
    std::chrono::system_clock::time_point changeTime(const std::string& path, std::error_code& error) override {
        const Handle file(path, GENERIC_READ);
        FILE_BASIC_INFO info{};
        if (!file.valid() || !::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &info, sizeof info)) {
            error = lastSystemError();
            return {};
        }
        constexpr long long kTicksFrom1601To1970 = 116444736000000000LL; // in the 100 ns ticks Windows counts
        const std::chrono::duration<long long, std::ratio<1, 10'000'000>> sinceEpoch(info.ChangeTime.QuadPart -
                                                                                     kTicksFrom1601To1970);
        return std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
    }

    // A new file would take the folder's inherited access list, the folder's time and no attributes. It gets the
    // current file's creation time, access list, owner and group (where the process may give files away) and, last,
    // its attributes: read-only would keep the rest from being written.
    std::string copyIdentity(const std::string& from, const std::string& to, std::error_code& error) override {
        const DWORD attributes = ::GetFileAttributesA(from.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            error = lastSystemError();
            return "the attributes";
        }
        copyCreationTime(from, to, error);
        if (error) return "the creation time";
        copyAccessList(from, to, error);
        if (error) return "the access list";
        copyOwnerAndGroup(from, to);
        constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        const DWORD kept = attributes & kKept;
        if (!::SetFileAttributesA(to.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL)) error = lastSystemError();
        return error ? "the attributes" : "";
    }

    // Runs on one folder wait for each other through a mutex named after it: a lock file would be one more file in
    // the user's folder, and one left behind by a killed run would stay.
    std::unique_ptr<FolderLock> lockFolder(const std::string& folder, std::error_code& error) override {
        const HANDLE mutex = ::CreateMutexA(nullptr, FALSE, folderMutexName(folder).c_str());
        if (mutex == nullptr) {
            error = lastSystemError();
            return nullptr;
        }
        DWORD waited = ::WaitForSingleObject(mutex, machine::kQuietWaitMilliseconds);
        if (waited == WAIT_TIMEOUT) {
            machine::sayWaitingForFolder(folder);
            waited = ::WaitForSingleObject(mutex, INFINITE);
        }
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
            error = lastSystemError();
            ::CloseHandle(mutex);
            return nullptr;
        }
        return std::make_unique<MutexFolderLock>(mutex);
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

FileIdentity machine::identityOf(int fd, std::error_code& error) {
    return identityOfHandle(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)), error);
}

FileSystem& machineFileSystem() {
    static MachineFileSystem fileSystem;
    return fileSystem;
}

} // namespace zerkon
