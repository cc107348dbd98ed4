// Every file operation of the pass goes through this seam, so tests can make any one of them fail.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace zerkon {

enum class PathKind { absent, file, other };

// Who may use a file just created: as the system sets up any new file (0666 less the umask on POSIX, the folder's
// inherited access list on Windows), or only its owner (0600 on POSIX), for a file that takes another one's
// permissions once it is written.
enum class NewFileAccess { usual, ownerOnly };

// What a file is, whatever name it is reached by: the same device and inode (on Windows the volume serial number and
// file index) are the same file, so a name that now holds another file is told from the one that was read.
struct FileIdentity {
    PathKind kind = PathKind::absent;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t links = 1; // names of the file: with more than one, a backup by link or rename would be shared
    bool sameFileAs(const FileIdentity& other) const {
        return kind == other.kind && device == other.device && inode == other.inode;
    }
};

// Failures the system reports in words too vague for the user, or not at all; they still compare equal to std::errc's
// conditions (a file open in another program is std::errc::permission_denied, a file whose owner or group a new file
// could not keep std::errc::operation_not_permitted).
enum class FileError { openInAnotherProgram = 1, othersFile, othersGroup };
std::error_code make_error_code(FileError error);

class InputFile {
public:
    virtual ~InputFile() = default; // closes quietly if close() was not called
    // Reads up to `size` bytes; 0 at the end of the file or on failure (then `error` is set).
    virtual std::size_t read(char* buffer, std::size_t size, std::error_code& error) = 0;
    // The file that is open, whatever has become of its name since.
    virtual FileIdentity identity(std::error_code& error) = 0;
    virtual void close(std::error_code& error) = 0;
};

class OutputFile {
public:
    virtual ~OutputFile() = default; // closes quietly if close() was not called
    virtual void write(const char* data, std::size_t size, std::error_code& error) = 0;
    // Makes what was written durable on the disk.
    virtual void flush(std::error_code& error) = 0;
    virtual void close(std::error_code& error) = 0;
};

// Held while a file of the folder is replaced; released when destroyed, or when the process ends.
class FolderLock {
public:
    virtual ~FolderLock() = default;
};

// A folder is named as the part of a path before its file name: "" is the current folder.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // A folder reads the same with or without a separator at its end.
    virtual PathKind status(const std::string& path, std::error_code& error) = 0;
    // The file under `path` itself: a symbolic link there is one, of kind `other`. Absent is no error.
    virtual FileIdentity identity(const std::string& path, std::error_code& error) = 0;
    // Never waits for a writer (a pipe) and never follows a symbolic link at `path` itself (that fails with
    // std::errc::too_many_symbolic_link_levels): what is opened is asked for its identity before it is read.
    virtual std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) = 0;
    // Creates a file that did not exist; fails with std::errc::file_exists when one does.
    virtual std::unique_ptr<OutputFile> createNew(const std::string& path, NewFileAccess access,
                                                  std::error_code& error) = 0;
    // Fails with std::errc::file_exists when `to` exists, on every platform, even when another program creates it
    // at the same moment.
    virtual void rename(const std::string& from, const std::string& to, std::error_code& error) = 0;
    virtual void remove(const std::string& path, std::error_code& error) = 0;
    // Gives the file at `existing` a second name. A file system without links (FAT, or one that does not say) fails
    // with std::errc::operation_not_supported, and the pass then falls back on renames.
    virtual void link(const std::string& existing, const std::string& newName, std::error_code& error) {
        (void)existing, (void)newName;
        error = std::make_error_code(std::errc::operation_not_supported);
    }
    // Renames `from` to `to` in one step, replacing the file there: at no moment is there no file under `to`.
    virtual void replace(const std::string& from, const std::string& to, std::error_code& error) = 0;

    // The names in `folder`, "." and ".." left out.
    virtual std::vector<std::string> list(const std::string& folder, std::error_code& error) = 0;
    // The names in the folder of `path` that are its name in any letter case, its own among them when it is there.
    // Lists the folder; a command over many of its files answers from one listing instead.
    virtual std::vector<std::string> namesInAnyCase(const std::string& path, std::error_code& error);
    // When the file last changed, a new name or link included: the inode change time on POSIX, the change time on
    // Windows. The modification time would not do to tell when a backup was made: a rename keeps it.
    virtual std::chrono::system_clock::time_point changeTime(const std::string& path, std::error_code& error) = 0;
    // The file a symbolic link at `path` leads to, through every link on the way; `path` itself when it is no link.
    virtual std::string resolveLinks(const std::string& path, std::error_code& error) {
        (void)error;
        return path;
    }
    // Gives the file at `to` what makes the file at `from` what it is: its permission bits (the read-only attribute on
    // Windows) and, where the process may give files away, its owner and group. Returns what could not be given when
    // `error` is set ("the owner", say), for the reason to name it; empty when the permissions are the cause.
    virtual std::string copyIdentity(const std::string& from, const std::string& to, std::error_code& error) {
        (void)from, (void)to, (void)error;
        return {};
    }
    // Fails where a new file under `path` could not be what the file there is: only root may give a file away, so
    // another user's file would become the runner's, and its owner would lose it (FileError::othersFile); nor may
    // anyone else give it a group they are not in, which a file whose group has access needs (FileError::othersGroup).
    // Asked before anything is written. It also keeps a run out of a sticky folder (/tmp) where a second name given to
    // another user's file could not be taken away again.
    virtual void checkReplaceable(const std::string& path, std::error_code& error) { (void)path, (void)error; }
    // Waits until no other pass replaces a file in `folder`, and keeps others waiting until the lock is destroyed.
    virtual std::unique_ptr<FolderLock> lockFolder(const std::string& folder, std::error_code& error) {
        (void)folder, (void)error;
        return std::make_unique<FolderLock>();
    }
    // Makes the names in `folder` durable on the disk, so a file put in place survives a power cut.
    virtual void syncFolder(const std::string& folder, std::error_code& error) { (void)folder, (void)error; }
};

// Passes every call on to the file system below; a wrapper overrides only the calls it changes, and a call added to
// the seam is passed on here once.
class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& below) : below_(below) {}

    PathKind status(const std::string& path, std::error_code& error) override { return below_.status(path, error); }
    FileIdentity identity(const std::string& path, std::error_code& error) override {
        return below_.identity(path, error);
    }
    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override {
        return below_.openForReading(path, error);
    }
    std::unique_ptr<OutputFile> createNew(const std::string& path, NewFileAccess access,
                                          std::error_code& error) override {
        return below_.createNew(path, access, error);
    }
    void rename(const std::string& from, const std::string& to, std::error_code& error) override {
        below_.rename(from, to, error);
    }
    void remove(const std::string& path, std::error_code& error) override { below_.remove(path, error); }
    void link(const std::string& existing, const std::string& newName, std::error_code& error) override {
        below_.link(existing, newName, error);
    }
    void replace(const std::string& from, const std::string& to, std::error_code& error) override {
        below_.replace(from, to, error);
    }
    std::vector<std::string> list(const std::string& folder, std::error_code& error) override {
        return below_.list(folder, error);
    }
    std::vector<std::string> namesInAnyCase(const std::string& path, std::error_code& error) override {
        return below_.namesInAnyCase(path, error);
    }
    std::chrono::system_clock::time_point changeTime(const std::string& path, std::error_code& error) override {
        return below_.changeTime(path, error);
    }
    std::string resolveLinks(const std::string& path, std::error_code& error) override {
        return below_.resolveLinks(path, error);
    }
    std::string copyIdentity(const std::string& from, const std::string& to, std::error_code& error) override {
        return below_.copyIdentity(from, to, error);
    }
    void checkReplaceable(const std::string& path, std::error_code& error) override {
        below_.checkReplaceable(path, error);
    }
    std::unique_ptr<FolderLock> lockFolder(const std::string& folder, std::error_code& error) override {
        return below_.lockFolder(folder, error);
    }
    void syncFolder(const std::string& folder, std::error_code& error) override { below_.syncFolder(folder, error); }

protected:
    FileSystem& below_;
};

// The folder part of `path`, separator included ("a/b/" for "a/b/c.dp", "" for "c.dp"), and the name after it.
std::string folderOf(const std::string& path);
std::string nameOf(const std::string& path);

// The machine's own files, through the C runtime (binary mode: the engine does its own CR LF translation).
FileSystem& machineFileSystem();

} // namespace zerkon

template <> struct std::is_error_code_enum<zerkon::FileError> : std::true_type {};
