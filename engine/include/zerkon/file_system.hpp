// Every file operation of the pass goes through this seam, so tests can make any one of them fail.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <system_error>

namespace zerkon {

enum class PathKind { absent, file, other };

// Failures the system reports in words too vague for the user; they still compare equal to std::errc's conditions
// (a file open in another program is std::errc::permission_denied).
enum class FileError { openInAnotherProgram = 1 };
std::error_code make_error_code(FileError error);

class InputFile {
public:
    virtual ~InputFile() = default; // closes quietly if close() was not called
    // Reads up to `size` bytes; 0 at the end of the file or on failure (then `error` is set).
    virtual std::size_t read(char* buffer, std::size_t size, std::error_code& error) = 0;
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

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual PathKind status(const std::string& path, std::error_code& error) = 0;
    virtual std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) = 0;
    // Creates a file that did not exist; fails with std::errc::file_exists when one does.
    virtual std::unique_ptr<OutputFile> createNew(const std::string& path, std::error_code& error) = 0;
    // Fails when `to` exists, on every platform.
    virtual void rename(const std::string& from, const std::string& to, std::error_code& error) = 0;
    virtual void remove(const std::string& path, std::error_code& error) = 0;
    // Gives the file at `existing` a second name. A file system without links (FAT, or one that does not say) fails
    // with std::errc::operation_not_supported, and the pass then falls back on renames.
    virtual void link(const std::string& existing, const std::string& newName, std::error_code& error) {
        (void)existing, (void)newName;
        error = std::make_error_code(std::errc::operation_not_supported);
    }
    // Renames `from` to `to` in one step, replacing the file there: at no moment is there no file under `to`.
    virtual void replace(const std::string& from, const std::string& to, std::error_code& error) {
        (void)from, (void)to;
        error = std::make_error_code(std::errc::operation_not_supported);
    }
};

// The machine's own files, through the C runtime (binary mode: the engine does its own CR LF translation).
FileSystem& machineFileSystem();

} // namespace zerkon

template <> struct std::is_error_code_enum<zerkon::FileError> : std::true_type {};
