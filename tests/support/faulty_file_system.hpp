// A file system that passes everything to the machine's files but can fail one chosen operation, so tests can
// check what a failure at that point leaves on disk.
#pragma once

#include <zerkon/file_system.hpp>

#include <string>

namespace zerkon::testing {

enum class Operation {
    status,
    open,
    create,
    read,
    write,
    flush,
    close,
    rename,
    remove,
    link,
    replace,
    list,
    modificationTime,
    resolveLinks,
    copyOwnership,
    lockFolder,
    syncFolder,
};
constexpr int kOperationCount = static_cast<int>(Operation::syncFolder) + 1;

const char* operationName(Operation operation);

// It has no links, like FAT, so the pass puts the new file in place with renames; LinkingFaultyFileSystem has them.
// A rename that replaces the file there is always passed on: every platform has one.
class FaultyFileSystem : public FileSystem {
public:
    // Fails the `occurrence`-th (from 1) call of `operation` with `error`; 0 fails nothing. With `keepsFailing`, every
    // later call of `operation` fails too, as on a disk that has gone away.
    FaultyFileSystem(Operation operation, int occurrence,
                     std::error_code error = std::make_error_code(std::errc::io_error), bool keepsFailing = false);

    // How many calls of `operation` were made so far: run once with nothing failing to learn how many points to walk.
    int calls(Operation operation) const { return calls_[static_cast<int>(operation)]; }

    // Counts a call and says whether it is the one to fail.
    bool shouldFail(Operation operation, std::error_code& error);

    PathKind status(const std::string& path, std::error_code& error) override;
    std::unique_ptr<InputFile> openForReading(const std::string& path, std::error_code& error) override;
    std::unique_ptr<OutputFile> createNew(const std::string& path, std::error_code& error) override;
    void rename(const std::string& from, const std::string& to, std::error_code& error) override;
    void remove(const std::string& path, std::error_code& error) override;
    void replace(const std::string& from, const std::string& to, std::error_code& error) override;
    std::vector<std::string> list(const std::string& folder, std::error_code& error) override;
    std::time_t modificationTime(const std::string& path, std::error_code& error) override;
    std::string resolveLinks(const std::string& path, std::error_code& error) override;
    void copyOwnership(const std::string& from, const std::string& to, std::error_code& error) override;
    std::unique_ptr<FolderLock> lockFolder(const std::string& folder, std::error_code& error) override;
    void syncFolder(const std::string& folder, std::error_code& error) override;

private:
    Operation failing_;
    int occurrence_;
    std::error_code error_;
    bool keepsFailing_;
    int calls_[kOperationCount] = {};
};

// The machine's links too: the pass makes the backup a second name of the DP file and replaces the DP file in one step.
class LinkingFaultyFileSystem : public FaultyFileSystem {
public:
    using FaultyFileSystem::FaultyFileSystem;
    void link(const std::string& existing, const std::string& newName, std::error_code& error) override;
};

} // namespace zerkon::testing
